// The INI document on its own, for the shapes of file the recorded cases do
// not show: blank lines, LF-only files, GBK trail bytes in section names,
// blanks around names, lines outside any section.
#include "config/profile_file.h"

#include <gtest/gtest.h>

#include <string>

namespace tarvenix {
namespace {

struct ReadCase {
    const char* what;
    std::string file;
    std::string section;
    std::string key;
    std::string value;
};

TEST(ProfileFile, ReadsValuesFromEveryShapeOfLine)
{
    const std::string longValue(profileReadLimit - 1, 'A');
    const ReadCase cases[] = {
        {"blanks around names and '='", "[A]\r\n  Port  =  3  \r\n", "A", "port", "3"},
        {"blank lines and LF-only lines", "\n[A]\n\r\n\nk=1\n", "A", "k", "1"},
        {"lone CR ends a line", "[A]\rk=1\rj=2", "A", "j", "2"},
        {"tab blanks", "[A]\r\nk=\t5\t\r\n", "A", "k", "5"},
        {"blanks around a section name", "[ A ]\r\nk=1\r\n", "A", "k", "1"},
        {"names given with blanks", "[A]\r\nk=1\r\n", " A ", " k ", "1"},
        {"key before any section", "k=1\r\n[A]\r\n", "A", "k", ""},
        {"key of the next section", "[A]\r\n[B]\r\nk=1\r\n", "A", "k", ""},
        {"first of two equal sections counts", "[A]\r\nx=1\r\n[a]\r\ny=2\r\n", "A", "y", ""},
        {"line without '=' is no entry", "[A]\r\nk\r\nk=2\r\n", "A", "k", "2"},
        {"comment line", "[A]\r\n;k=1\r\nk=2\r\n", "A", "k", "2"},
        {"section line without ']' is an entry line", "[A]\r\n[B=1\r\n", "A", "[B", "1"},
        {"last ']' closes the section name", "[a]b]\r\nk=1\r\n", "a]b", "k", "1"},
        {"trail ']' in a section name", "[\x81\x5D]\r\nk=1\r\n", "\x81\x5D", "k", "1"},
        {"trail '[' ']' '\\' '|' in a section name", "[\x81\x5B\x81\x5D\x81\x5C\x81\x7C]\r\nk=1\r\n",
         "\x81\x5B\x81\x5D\x81\x5C\x81\x7C", "k", "1"},
        {"trail 'A' is not folded", "[\x81\x41]\r\nk=1\r\n", "\x81\x61", "k", ""},
        {"trail 'a' in a key is not folded", "[A]\r\n\x81\x61=1\r\n", "a", "\x81\x41", ""},
        {"ASCII after a double-byte character is folded", "[\xD6\xD0X]\r\nk=1\r\n", "\xD6\xD0x", "k", "1"},
        {"a lead byte before '=' does not hide it", "[A]\r\nk\x81=v\r\n", "A", "k\x81", "v"},
        {"a value cut at the buffer keeps whole characters", "[A]\r\nk=" + longValue + "\xD6\xD0" "\r\n", "A",
         "k", longValue},
        {"quotes are removed before the cut", "[A]\r\nk=\"" + longValue + "BC\"\r\n", "A", "k",
         longValue + "B"},
    };
    for (const ReadCase& c : cases)
        EXPECT_EQ(ProfileFile(c.file).read(c.section, c.key), c.value) << c.what;
}

struct WriteCase {
    const char* what;
    std::string before;
    std::string section;
    std::string key;
    std::string value;
    std::string after;
};

TEST(ProfileFile, WritesOnlyTheLineItUpdatesOrAdds)
{
    const WriteCase cases[] = {
        {"blank lines between sections stay below a new key",
         "[A]\r\na=1\r\n\r\n[B]\r\nb=2\r\n", "A", "c", "3",
         "[A]\r\na=1\r\nc=3\r\n\r\n[B]\r\nb=2\r\n"},
        {"a new key in a section holding only blank lines",
         "[A]\r\n\r\n[B]\r\n", "A", "c", "3", "[A]\r\nc=3\r\n\r\n[B]\r\n"},
        {"LF lines keep their LF, written lines get CR LF",
         "[A]\na=1\nb=2\n", "A", "a", "5", "[A]\na=5\r\nb=2\n"},
        {"a new key after an LF-only file", "[A]\na=1\n", "A", "b", "2", "[A]\na=1\nb=2\r\n"},
        {"an updated last line without line end gets one",
         "[A]\r\na=1", "A", "a", "2", "[A]\r\na=2\r\n"},
        {"a new section after a last line without line end",
         "[A]\r\na=1", "B", "b", "2", "[A]\r\na=1\r\n[B]\r\nb=2\r\n"},
        {"a new section in an empty file", "", "B", "b", "2", "[B]\r\nb=2\r\n"},
        {"blanks around the old key go, its spelling stays",
         "[A]\r\n  Port = 3  \r\n", "a", "PORT", "4", "[A]\r\nPort=4\r\n"},
        {"only the first of two equal keys is updated",
         "[A]\r\nk=1\r\nk=2\r\n", "A", "k", "3", "[A]\r\nk=3\r\nk=2\r\n"},
        {"a key is looked for in the first of two equal sections only",
         "[A]\r\nx=1\r\n[A]\r\ny=2\r\n", "A", "y", "3", "[A]\r\nx=1\r\ny=3\r\n[A]\r\ny=2\r\n"},
        {"lines before the first section are kept and not searched",
         "k=1\r\n[A]\r\n", "A", "k", "2", "k=1\r\n[A]\r\nk=2\r\n"},
        {"a value is written as given, blanks and quotes included",
         "", "A", "k", " \"x\" ", "[A]\r\nk= \"x\" \r\n"},
        {"a trail ']' in the section name finds its section",
         "[\x81\x5D]\r\nk=1\r\n[B]\r\n", "\x81\x5D", "j", "2", "[\x81\x5D]\r\nk=1\r\nj=2\r\n[B]\r\n"},
        {"names and values end at a zero byte like C strings",
         "", std::string("A\0B", 3), std::string("k\0j", 3), std::string("v\0w", 3), "[A]\r\nk=v\r\n"},
    };
    for (const WriteCase& c : cases) {
        ProfileFile file(c.before);
        file.write(c.section, c.key, c.value);
        EXPECT_EQ(file.bytes(), c.after) << c.what;
    }
}

TEST(ProfileFile, KeepsBytesThatAreNoTextAtAll)
{
    std::string bytes;
    for (int i = 0; i < 256; ++i)
        bytes.push_back(static_cast<char>(i));
    bytes += "\r\n\x81"; // a lead byte without its trail at the very end
    ProfileFile file(bytes);
    EXPECT_EQ(file.bytes(), bytes);
    file.write("A", "k", "1");
    EXPECT_EQ(file.bytes(), bytes + "\r\n[A]\r\nk=1\r\n");
    EXPECT_EQ(ProfileFile(file.bytes()).read("A", "k"), "1");
}

} // namespace
} // namespace tarvenix
