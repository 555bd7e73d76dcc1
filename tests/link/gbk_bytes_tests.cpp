// The GBK codec against what Windows code page 936 gives. The same tests run
// on Linux (iconv) and, through ./test-windows.sh, on Windows under Wine
// (the system's own conversion); the checksum of the whole table was taken
// under Wine.
#include "link/gbk_bytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

namespace tarvenix {
namespace {

using namespace std::string_view_literals;
namespace fs = std::filesystem;

const fs::path fixtureRoot = fs::path(TARVENIX_TEST_DATA) / "profile";

std::string hexOf(std::string_view bytes)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : bytes) {
        out.push_back(digits[c >> 4]);
        out.push_back(digits[c & 0x0F]);
    }
    return out;
}

std::string bytesOfHex(std::string_view hex)
{
    if (hex == "-")
        return {};
    const auto nibble = [](char c) { return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10; };
    std::string out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        out.push_back(static_cast<char>(nibble(hex[i]) * 16 + nibble(hex[i + 1])));
    return out;
}

std::string fileText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Every valid double-byte code: lead 0x81..0xFE, trail 0x40..0xFE without 0x7F.
std::vector<std::string> everyPair()
{
    std::vector<std::string> pairs;
    for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
        for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail != 0x7F)
                pairs.push_back({static_cast<char>(lead), static_cast<char>(trail)});
        }
    }
    return pairs;
}

std::size_t codePointCount(std::string_view utf8)
{
    return static_cast<std::size_t>(
        std::count_if(utf8.begin(), utf8.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

bool isPrivateUse(std::string_view oneCharacter)
{
    // U+E000..U+F8FF: EE 80 80 .. EF A3 BF
    return oneCharacter.size() == 3 && oneCharacter >= "\uE000" && oneCharacter <= "\uF8FF";
}

TEST(GbkBytes, DecodesAsWindowsDoes)
{
    struct Case { std::string_view gbk; std::string_view utf8; };
    for (auto c : {
             Case{"AZ az 09 \\~", "AZ az 09 \\~"},                 // 0x5C and 0x7E stay ASCII
             Case{"\x80", "€"},                                      // the euro sign
             Case{"\xFF", "\uF8F5"},                                 // Windows' own private-use character
             Case{"\xB4\xAE\xBF\xDA\xC5\xE4\xD6\xC3", "串口配置"},
             Case{"\x81\x40\x81\x5B\x81\x5C\x81\x5D", "丂乕乗乚"},  // trail bytes '@' '[' '\' ']'
             Case{"\xA1\xA4\xA1\xAA\xA8\x44\xA1\xA1", "·—―　"},
             Case{"\xAA\xA1\xFE\xFE\xA1\x40\xA2\xE3\xD7\xFA\xFE\x50", "\uE000\uE4C5\uE4C6\uE76C\uE810\uE815"},
             // Broken characters are one '?' each, and nothing vanishes.
             Case{"\x81", "?"},
             Case{"AB\xB0", "AB?"},
             Case{"\x81\x30" "1", "?1"},  // the pair is one broken character
             Case{"\x81\x7F\x81\xFF", "??"},
             Case{"\x81\x00" "A"sv, "?\0A"sv}, // a NUL is never a trail byte
         })
        EXPECT_EQ(utf8FromGbk(c.gbk), c.utf8) << hexOf(c.gbk);
}

TEST(GbkBytes, EncodesAsWindowsDoesWithoutBestFit)
{
    struct Case { std::string_view utf8; std::string_view gbk; bool encodable; };
    for (auto c : {
             Case{"", "", true},
             Case{"k=v;#[]\\%", "k=v;#[]\\%", true},
             Case{"€\uF8F5", "\x80\xFF", true},
             Case{"写入乗乚亅", "\xD0\xB4\xC8\xEB\x81\x5C\x81\x5D\x81\x7C", true},
             Case{"é·", "\xA8\xA6\xA1\xA4", true},
             Case{"\uE000\uE864", "\xAA\xA1\xFE\xA0", true},
             // Not in code page 936: one '?' each. Windows' best fit would
             // write U+0100 as the bytes of U+0101.
             Case{"\u0100", "?", false},
             Case{"a가b", "a?b", false},
             Case{"\u00A0\u30FB\uFFFD", "???", false},
             Case{"😀", "?", false},                  // one character, though two UTF-16 units
             Case{"?", "?", true},
             // Malformed UTF-8: each broken sequence is one '?'.
             Case{"\xE4\xB8", "?", false},              // 中 cut short
             Case{"\xE4\xB8" "A", "?A", false},
             Case{"\xC0\xAF", "??", false},             // an overlong '/'
             Case{"\xED\xA0\x80", "???", false},        // a surrogate half
             Case{"a\x80" "b\xFF", "a?b?", false},
         }) {
        EXPECT_EQ(gbkFromUtf8(c.utf8), c.gbk) << hexOf(c.utf8);
        EXPECT_EQ(isUtf8GbkEncodable(c.utf8), c.encodable) << hexOf(c.utf8);
    }
}

// FNV-1a over the UTF-8 of every pair in code order, one line each. Taken on
// Windows (under Wine) from its code page 936 conversion: Linux must match.
constexpr std::uint64_t windowsTableChecksum = 0x92B7AF339E20F025ULL;

TEST(GbkBytes, EveryDoubleByteCodeIsOneCharacterAndComesBackAsItWas)
{
    std::uint64_t checksum = 0xCBF29CE484222325ULL;
    std::size_t privateUse = 0;
    for (const std::string& pair : everyPair()) {
        const std::string text = utf8FromGbk(pair);
        ASSERT_EQ(codePointCount(text), 1u) << hexOf(pair);
        ASSERT_NE(text, "?") << hexOf(pair);
        ASSERT_EQ(gbkFromUtf8(text), pair) << hexOf(pair) << " " << text;
        privateUse += isPrivateUse(text) ? 1 : 0;
        for (char c : text + "\n") {
            checksum ^= static_cast<unsigned char>(c);
            checksum *= 0x100000001B3ULL;
        }
    }
    EXPECT_EQ(privateUse, 2149u);
    EXPECT_EQ(checksum, windowsTableChecksum) << std::hex << std::showbase << checksum;
}

// Each "# <op> [a] [b] [c]" line of the recorded scripts is the readable form
// of the hex arguments on the line after it: the comment is UTF-8, the
// arguments are the GBK bytes Windows was given.
TEST(GbkBytes, AgreesWithTheReadableNamesOfTheRecordedScripts)
{
    std::size_t checked = 0;
    for (const auto& folder : fs::directory_iterator(fixtureRoot)) {
        std::istringstream script(fileText(folder.path() / "ops.txt"));
        std::string comment;
        for (std::string line; std::getline(script, line); comment = line) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (line.empty() || line[0] == '#' || comment.rfind("# ", 0) != 0)
                continue;
            std::istringstream words(line);
            std::string op;
            std::vector<std::string> args;
            words >> op;
            for (std::string arg; words >> arg;)
                args.push_back(arg);
            // "# W [section] [key] [value]": names hold no "] [", a value may
            // hold brackets of its own, so the last item runs to the end.
            std::string_view readable = comment;
            readable.remove_prefix(readable.find('[') + 1);
            readable.remove_suffix(readable.size() - readable.rfind(']'));
            for (std::size_t i = 0; i < args.size(); ++i) {
                const std::size_t end = i + 1 < args.size() ? readable.find("] [") : readable.size();
                ASSERT_NE(end, std::string_view::npos) << comment;
                const std::string_view expected = readable.substr(0, end);
                const std::string gbk = bytesOfHex(args[i]);
                EXPECT_EQ(utf8FromGbk(gbk), expected) << folder.path().filename() << ": " << line;
                EXPECT_EQ(gbkFromUtf8(expected), gbk) << folder.path().filename() << ": " << comment;
                readable.remove_prefix(std::min(readable.size(), end + 3));
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 100u);
}

TEST(GbkBytes, DecodesTheRecordedFilesToTheirText)
{
    struct Case { const char* file; std::string_view utf8; };
    for (auto c : {
             Case{"gbk_values/after.ini",
                  "[学习区配置]\r\n数据01=中文测试\r\n数据02=乕乗乚亅丂\r\n数据03=全角：＝［］\r\n乗乚=键\r\n"
                  "数据04=写入乗乚亅\r\n乚键=x\r\n"},
             Case{"dup_keys/after.ini", "[串口配置]\r\n端口号=7\r\n波特率=9600\r\n端口号=2\r\n"},
             Case{"example_form/before.ini",
                  "[串口配置]\r\n端口号=3\r\n波特率=9600\r\n[学习区配置]\r\n数据01=AB12CD34\r\n按键框01=2\r\n"
                  "按键状态框01=1\r\n[语音学习区配置]\r\n语音内容框1=5\r\n语音数据框1=AABBCC\r\n"},
         })
        EXPECT_EQ(utf8FromGbk(fileText(fixtureRoot / c.file)), c.utf8) << c.file;

    // Every recorded file is whole GBK: it reads without a broken character
    // and writes back to the same bytes.
    std::size_t files = 0;
    for (const auto& folder : fs::directory_iterator(fixtureRoot)) {
        for (const char* name : {"before.ini", "after.ini"}) {
            const fs::path path = folder.path() / name;
            if (!fs::exists(path))
                continue;
            const std::string bytes = fileText(path);
            const std::string text = utf8FromGbk(bytes);
            EXPECT_EQ(std::count(text.begin(), text.end(), '?'), std::count(bytes.begin(), bytes.end(), '?')) << path;
            EXPECT_TRUE(isUtf8GbkEncodable(text)) << path;
            EXPECT_EQ(gbkFromUtf8(text), bytes) << path;
            ++files;
        }
    }
    EXPECT_GT(files, 20u);
}

#ifdef _WIN32

// On Windows the table comes from the system one character at a time; the
// system's conversion of whole texts must give the same.
std::wstring systemDecode(std::string_view gbk)
{
    const int n = MultiByteToWideChar(936, 0, gbk.data(), static_cast<int>(gbk.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(936, 0, gbk.data(), static_cast<int>(gbk.size()), out.data(), n);
    return out;
}

std::string systemUtf8(std::wstring_view text)
{
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                      nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

TEST(GbkBytesOnWindows, WholeTextsDecodeAsTheSystemDecodesThem)
{
    std::string all;
    for (const std::string& pair : everyPair())
        all += pair;
    std::vector<std::string> texts = {all, "\x80\xFF", "\x81", "AB\xB0", "\x81\x30" "1", "\x81\x7F\x81\xFF",
                                      std::string("\x81\x00" "A", 3)};
    for (const auto& folder : fs::directory_iterator(fixtureRoot)) {
        if (fs::exists(folder.path() / "after.ini"))
            texts.push_back(fileText(folder.path() / "after.ini"));
    }
    for (const std::string& text : texts)
        EXPECT_EQ(utf8FromGbk(text), systemUtf8(systemDecode(text))) << hexOf(text.substr(0, 16));
}

TEST(GbkBytesOnWindows, EveryBasicPlaneCharacterEncodesAsTheSystemEncodesIt)
{
    std::size_t encodable = 0;
    for (unsigned c = 0x80; c <= 0xFFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF)
            continue;
        const wchar_t wide = static_cast<wchar_t>(c);
        char bytes[4] = {};
        BOOL usedDefault = FALSE;
        const int n = WideCharToMultiByte(936, WC_NO_BEST_FIT_CHARS, &wide, 1, bytes, sizeof bytes, nullptr,
                                          &usedDefault);
        const std::string system = usedDefault ? "?" : std::string(bytes, static_cast<std::size_t>(n));
        const std::string utf8 = systemUtf8(std::wstring_view(&wide, 1));
        ASSERT_EQ(gbkFromUtf8(utf8), system) << std::hex << c;
        ASSERT_EQ(isUtf8GbkEncodable(utf8), !usedDefault) << std::hex << c;
        encodable += usedDefault ? 0 : 1;
    }
    EXPECT_EQ(encodable, 2u + 23940u);
}

#endif

} // namespace
} // namespace tarvenix
