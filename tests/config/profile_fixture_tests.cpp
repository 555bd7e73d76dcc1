// Every case folder of tests/data/profile, recorded from the Windows profile
// functions, replayed against this program's own file code.
#include "config/configuration.h"
#include "config_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

namespace tarvenix {
namespace {

namespace fs = std::filesystem;
using test::fileBytes;
using test::fromHex;
using test::TempFolder;
using test::toHex;

const fs::path fixtureRoot = fs::path(TARVENIX_TEST_DATA) / "profile";

std::vector<std::string> fixtureNames()
{
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(fixtureRoot, ec)) {
        if (entry.is_directory())
            names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> textLines(std::string_view text)
{
    std::vector<std::string> lines;
    std::istringstream in{std::string(text)};
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> words(const std::string& line)
{
    std::istringstream in(line);
    std::vector<std::string> out;
    for (std::string word; in >> word;)
        out.push_back(word);
    return out;
}

// The recorded failure code of a write is Windows' own; this program only
// reports success or failure.
std::string withoutErrorCode(std::string line)
{
    const std::size_t err = line.find(" err=");
    if (err != std::string::npos)
        line.erase(err);
    return line;
}

// The program's start-up load and exit save, reported the way the
// recording reports them.
std::vector<std::string> runForm(const fs::path& file)
{
    std::vector<std::string> report;
    const ProfileFile before(fileBytes(file).value_or(""));
    const FormSnapshot form = loadConfiguration(file);
    const auto& entries = configEntries();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::string read = before.read(entries[i].section, entries[i].key);
        report.push_back("L " + std::to_string(i + 1) + " " + toHex(entries[i].key) + " ret="
                         + std::to_string(read.size()) + " val=" + toHex(read)
                         + " set=" + toHex(configValue(form, entries[i])));
    }
    const bool saved = saveConfiguration(file, form);
    for (std::size_t i = 0; i < entries.size(); ++i)
        report.push_back("S " + std::to_string(i + 1) + " " + toHex(entries[i].key)
                         + " ret=" + (saved ? "1" : "0"));
    return report;
}

std::vector<std::string> runScript(const std::string& ops, const fs::path& file)
{
    std::vector<std::string> report;
    int n = 0;
    for (const std::string& line : textLines(ops)) {
        if (line.empty() || line.front() == '#')
            continue;
        const std::vector<std::string> w = words(line);
        const std::string number = std::to_string(++n);
        if (w.size() == 4 && w[0] == "W") {
            const bool ok = writeProfileString(file, fromHex(w[1]), fromHex(w[2]), fromHex(w[3]));
            report.push_back("W " + number + " " + w[1] + " " + w[2] + " " + w[3] + " ret=" + (ok ? "1" : "0"));
        } else if (w.size() == 3 && w[0] == "R") {
            const std::string value = readProfileString(file, fromHex(w[1]), fromHex(w[2]));
            report.push_back("R " + number + " " + w[1] + " " + w[2] + " ret=" + std::to_string(value.size())
                             + " val=" + toHex(value));
        } else {
            ADD_FAILURE() << "unreadable operation: " << line;
        }
    }
    return report;
}

class ProfileFixture : public ::testing::TestWithParam<std::string> {};

TEST_P(ProfileFixture, MatchesTheWindowsRecording)
{
    const fs::path folder = fixtureRoot / GetParam();
    TempFolder work;
    fs::path file = work / "config.ini";
    if (const auto where = fileBytes(folder / "path.txt"); where && where->find("missing_dir") != std::string::npos)
        file = work / "missing" / "config.ini";
    if (const auto before = fileBytes(folder / "before.ini"))
        test::putFile(file, *before);

    const std::string ops = fileBytes(folder / "ops.txt").value_or("");
    const std::vector<std::string> actual =
        textLines(ops).at(0) == "form" ? runForm(file) : runScript(ops, file);

    std::vector<std::string> expected;
    for (const std::string& line : textLines(fileBytes(folder / "reads.txt").value_or("")))
        expected.push_back(withoutErrorCode(line));
    ASSERT_EQ(actual.size(), expected.size());
    int mismatches = 0;
    for (std::size_t i = 0; i < expected.size() && mismatches < 10; ++i) {
        EXPECT_EQ(actual[i], expected[i]) << "reads.txt line " << i + 1;
        mismatches += actual[i] != expected[i];
    }

    // Nothing but the file may be left behind: no temporary file, and no
    // folder created for a file whose folder is missing.
    if (const auto after = fileBytes(folder / "after.ini")) {
        EXPECT_EQ(fileBytes(file).value_or("<no file>"), *after);
        EXPECT_EQ(work.entries(), std::vector<std::string>{"config.ini"});
    } else {
        EXPECT_FALSE(fs::exists(file));
        EXPECT_EQ(work.entries(), std::vector<std::string>{});
    }
}

INSTANTIATE_TEST_SUITE_P(Recorded, ProfileFixture, ::testing::ValuesIn(fixtureNames()),
                         [](const auto& info) { return info.param; });

TEST(ProfileFixtureFolder, HoldsTheRecordedCases)
{
    EXPECT_GE(fixtureNames().size(), 14u) << fixtureRoot;
}

} // namespace
} // namespace tarvenix
