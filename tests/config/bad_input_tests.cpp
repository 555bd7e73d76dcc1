// Configuration files no one meant to write: huge lines, bytes that are no
// GBK, and paths that hold no regular file. A load never fails; it takes
// from the file what the reading rules find in it, and a save keeps every
// line it does not own.
#include "config/configuration.h"
#include "config_test_support.h"

#include <gtest/gtest.h>

#include <random>
#include <string_view>

#include <sys/stat.h>

namespace tarvenix {
namespace {

namespace fs = std::filesystem;
using test::fileBytes;
using test::formOfEmptyFile;
using test::putFile;
using test::TempFolder;

using namespace test::gbk;
const std::string zhong = "\xD6\xD0";                                               // 中

constexpr std::size_t tenMegabytes = 10u << 20;

std::string repeated(std::string_view piece, std::size_t times)
{
    std::string out;
    out.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i)
        out.append(piece);
    return out;
}

// 10 MB of random bytes without CR and LF: one line.
const std::string& randomLine()
{
    static const std::string line = [] {
        std::mt19937 generator(20240611);
        std::string bytes(tenMegabytes, '\0');
        for (char& c : bytes) {
            do
                c = static_cast<char>(generator() & 0xFF);
            while (c == '\r' || c == '\n');
        }
        return bytes;
    }();
    return line;
}

// Line texts without their ends.
std::vector<std::string> linesOf(std::string_view bytes)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t stop = bytes.find_first_of("\r\n", start);
        if (stop == std::string_view::npos) {
            lines.emplace_back(bytes.substr(start));
            break;
        }
        lines.emplace_back(bytes.substr(start, stop - start));
        start = stop + (bytes.compare(stop, 2, "\r\n") == 0 ? 2 : 1);
    }
    return lines;
}

// Every line of before is in after, in the same order.
::testing::AssertionResult keepsEveryLine(std::string_view before, std::string_view after)
{
    const auto old = linesOf(before);
    const auto now = linesOf(after);
    std::size_t at = 0;
    for (std::size_t i = 0; i < old.size(); ++i) {
        while (at < now.size() && now[at] != old[i])
            ++at;
        if (at == now.size())
            return ::testing::AssertionFailure() << "line " << i + 1 << " of " << old.size() << " is gone";
        ++at;
    }
    return ::testing::AssertionSuccess();
}

struct BadFile {
    const char* what;
    std::string bytes;
    FormSnapshot form; // what a load gives
};

std::vector<BadFile> badFiles()
{
    std::vector<BadFile> cases;
    FormSnapshot form = formOfEmptyFile();

    // One line of 10 MB with no line end: no section, no entry.
    cases.push_back({"a 10 MB line of random bytes", randomLine(), form});

    // A 10 MB line between entries holds nothing, and the entries around it
    // still count.
    form = formOfEmptyFile();
    form.portText = "3";
    form.baudText = "9600";
    cases.push_back({"a 10 MB line that is no entry",
                     "[" + serial + "]\r\n" + port + "=3\r\nx" + randomLine() + "\r\n" + baud
                         + "=9600\r\n",
                     form});

    // A 10 MB value reads as the 10239 bytes the read buffer holds, cut
    // before a double-byte character that would not fit whole.
    form = formOfEmptyFile();
    form.keyRows[0].dataText = repeated(zhong, profileReadLimit / 2);
    form.keyRows[1].dataText = "AB";
    cases.push_back({"a 10 MB value",
                     "[" + keyArea + "]\r\n" + keyData + "01=" + repeated(zhong, tenMegabytes / 2) + "\r\n" + keyData
                         + "02=AB\r\n",
                     form});

    // Bytes that are no GBK text. A value keeps them as they stand; a lead
    // byte takes the byte after it only where that byte can be a trail byte,
    // so it swallows the ']' of a section line, never a line end or a '='.
    form = formOfEmptyFile();
    form.portText = "\x81\xFF\x80";
    form.baudText = "96\x81";
    form.keyRows[0].dataText = "\xFF";
    form.keyRows[1].dataText = "AB\x81";
    form.keyRows[2].dataText = "\x80";
    cases.push_back({"invalid GBK",
                     "\x80\r\n\xFF\r\n\x81\r\n"                                  // lone bytes as lines
                     "[" + serial + "]\r\n" + port + "=\x81\xFF\x80\r\n"         // in a value
                     + baud + "=96\x81\r\n"                                      // a lead byte before CR LF
                     "[" + keyArea + "]\r\n" + keyData + "01=\xFF\r\n"
                     + keyData + "02=AB\x81\n"                                  // ... before LF
                     + keyBox + "01\x81=5\r\n"                                  // ... before '=': another key
                     + keyData + "03=\x80\r\n"
                     "[" + voiceArea + "\x81]\r\n"                               // ']' swallowed: no section
                     + voiceData + "1=AA\r\n"
                     "\xFF[" + voiceArea + "]\r\n"                               // not '[' first: no section
                     + voiceData + "2=BB\r\n" + baud + "=\x81",                  // lead byte at the very end
                     form});
    return cases;
}

TEST(BadInput, FilesLoadAsTheReadingRulesSayAndSavesKeepEveryLine)
{
    for (const BadFile& c : badFiles()) {
        TempFolder folder;
        const fs::path file = folder / "bad.mbvkt";
        putFile(file, c.bytes);

        EXPECT_EQ(loadConfiguration(file), c.form) << c.what;

        // Saving the loaded form rewrites the entries it read with the
        // values they already had (a 10 MB value as its first 10239
        // bytes); every other line of the file stays.
        ASSERT_TRUE(saveConfiguration(file, c.form)) << c.what;
        const std::string saved = fileBytes(file).value_or("");
        std::string expectedBefore = c.bytes;
        if (std::string_view(c.what) == "a 10 MB value") {
            const std::size_t value = expectedBefore.find('=') + 1;
            expectedBefore.replace(value, tenMegabytes, c.form.keyRows[0].dataText);
        }
        EXPECT_TRUE(keepsEveryLine(expectedBefore, saved)) << c.what;
        EXPECT_EQ(loadConfiguration(file), c.form) << c.what;
        EXPECT_EQ(folder.entries(), std::vector<std::string>{"bad.mbvkt"}) << c.what;
    }
}

// Paths that hold no regular file (a plain folder and random bytes are
// covered with the other loads): each loads as a file without any key, a
// save refuses it and leaves it as it was, and nothing waits on a pipe.
TEST(BadInput, PathsThatHoldNoFileLoadEmptyAndAreNotReplaced)
{
#ifdef _WIN32
    GTEST_SKIP() << "named pipes in the file system and symbolic links are POSIX things";
#else
    TempFolder folder;
    const fs::path fullFolder = folder / "full.mbvkt";
    fs::create_directory(fullFolder);
    putFile(fullFolder / "inside", "kept");
    const fs::path pipe = folder / "pipe.mbvkt";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const fs::path loop = folder / "loop.mbvkt";
    fs::create_symlink(loop, loop);
    const fs::path toFolder = folder / "to-folder.mbvkt";
    fs::create_directory_symlink(fullFolder, toFolder);

    FormSnapshot form = formOfEmptyFile();
    form.portText = "3";
    for (const fs::path& path : {fullFolder, pipe, loop, toFolder}) {
        EXPECT_EQ(loadConfiguration(path), formOfEmptyFile()) << path;
        EXPECT_FALSE(saveConfiguration(path, form)) << path;
    }
    EXPECT_EQ(fileBytes(fullFolder / "inside"), "kept");
    EXPECT_TRUE(fs::is_fifo(pipe));
    EXPECT_TRUE(fs::is_symlink(loop));
    EXPECT_TRUE(fs::is_symlink(toFolder));
    EXPECT_EQ(folder.entries(),
              (std::vector<std::string>{"full.mbvkt", "loop.mbvkt", "pipe.mbvkt", "to-folder.mbvkt"}));
#endif
}

} // namespace
} // namespace tarvenix
