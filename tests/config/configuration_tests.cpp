// Loading and saving the whole form: the entry table, value kinds, files of
// every condition, and the all-or-nothing save.
#include "config/atomic_file.h"
#include "config/configuration.h"
#include "config_test_support.h"

#include <gtest/gtest.h>

#include <csignal>
#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#ifndef _WIN32
#include <sys/resource.h>
#endif

namespace tarvenix {
namespace {

namespace fs = std::filesystem;
using test::fileBytes;
using test::formOfEmptyFile;
using test::putFile;
using test::TempFolder;

using namespace test::gbk;

std::string section(const std::string& name)
{
    return "[" + name + "]\r\n";
}

std::string entry(const std::string& key, const std::string& value)
{
    return key + "=" + value + "\r\n";
}

// A form that uses every kind of value: GBK text, an empty data box, no
// selection, first and last items.
FormSnapshot variedForm()
{
    FormSnapshot form;
    form.portText = "3";
    form.baudText = "9600";
    for (int i = 0; i < learningRowCount; ++i) {
        form.keyRows[i] = KeyLearningRow{i % keyChoiceCount, i % stateChoiceCount, "AB" + std::to_string(i)};
        form.voiceRows[i] = VoiceLearningRow{i * 3, "CD " + std::to_string(i)};
    }
    form.keyRows[4].dataText = "";           // row 5
    form.keyRows[2].keyIndex = -1;           // row 3, nothing selected
    form.keyRows[2].stateIndex = -1;
    form.voiceRows[6].phraseIndex = -1;      // row 7
    form.voiceRows[47].phraseIndex = phraseChoiceCount - 1;
    form.voiceRows[1].dataText = "\xD6\xD0\x81\x5D"; // 中 and a character with trail ']'
    return form;
}

TEST(ConfigEntries, NameEveryKeyInFileOrder)
{
    const auto& entries = configEntries();
    struct Expected {
        std::size_t order; // 1-based, as the file is written
        std::string section;
        std::string key;
        ConfigControl control;
        int row;
        ConfigValueKind kind;
    };
    using enum ConfigControl;
    using enum ConfigValueKind;
    const Expected expected[] = {
        {1, serial, port, portEdit, 0, text},
        {2, serial, baud, baudEdit, 0, text},
        {3, keyArea, keyData + "01", keyRowDataEdit, 1, text},
        {9, keyArea, keyData + "07", keyRowDataEdit, 7, text},
        {12, keyArea, keyData + "10", keyRowDataEdit, 10, text},
        {50, keyArea, keyData + "48", keyRowDataEdit, 48, text},
        {51, keyArea, keyBox + "01", keyRowKeyCombo, 1, index},
        {57, keyArea, keyBox + "07", keyRowKeyCombo, 7, index},
        {98, keyArea, keyBox + "48", keyRowKeyCombo, 48, index},
        {99, keyArea, keyState + "01", keyRowStateCombo, 1, index},
        {108, keyArea, keyState + "10", keyRowStateCombo, 10, index},
        {146, keyArea, keyState + "48", keyRowStateCombo, 48, index},
        {147, voiceArea, voicePhrase + "1", voiceRowPhraseCombo, 1, index},
        {153, voiceArea, voicePhrase + "7", voiceRowPhraseCombo, 7, index},
        {194, voiceArea, voicePhrase + "48", voiceRowPhraseCombo, 48, index},
        {195, voiceArea, voiceData + "1", voiceRowDataEdit, 1, text},
        {201, voiceArea, voiceData + "7", voiceRowDataEdit, 7, text},
        {242, voiceArea, voiceData + "48", voiceRowDataEdit, 48, text},
    };
    for (const Expected& e : expected) {
        const ConfigEntry& actual = entries.at(e.order - 1);
        EXPECT_EQ(actual.section, e.section) << e.order;
        EXPECT_EQ(actual.key, e.key) << e.order;
        EXPECT_EQ(actual.control, e.control) << e.order;
        EXPECT_EQ(actual.row, e.row) << e.order;
        EXPECT_EQ(actual.kind, e.kind) << e.order;
    }
}

TEST(Configuration, IndexTextsSelectLikeTheComboBoxes)
{
    struct Case {
        const char* text;
        int items;
        int selection;
    };
    const Case cases[] = {
        {"12", keyChoiceCount, 8},       // past the end: the last item
        {"-7", stateChoiceCount, -1},    // below -1: no selection
        {"-1", phraseChoiceCount, -1},
        {"abc", keyChoiceCount, 0},      // no number: the first item
        {"", keyChoiceCount, 0},
        {"2x", keyChoiceCount, 2},
        {"+3", phraseChoiceCount, 3},
        {"\xA3\xB3", keyChoiceCount, 3},            // full-width 3
        {"\xA3\xAD\xA3\xB1", stateChoiceCount, -1}, // full-width -1
        {"\xA1\xA1\xA3\xAB\xA3\xB7", phraseChoiceCount, 7}, // ideographic space, full-width +7
        {"-0", keyChoiceCount, 0},
        {"99999999999", phraseChoiceCount, 148},
        {"-99999999999", phraseChoiceCount, -1},
        {"1", 0, -1}, // a box without items never has a selection
    };
    for (const Case& c : cases)
        EXPECT_EQ(selectionFromIndexText(c.text, c.items), c.selection) << c.text << " of " << c.items;
}

TEST(Configuration, SavedFormLoadsBackUnchanged)
{
    TempFolder folder;
    const fs::path file = folder / "a.mbvkt";
    const FormSnapshot form = variedForm();
    ASSERT_TRUE(saveConfiguration(file, form));
    EXPECT_EQ(loadConfiguration(file), form);

    const std::string bytes = fileBytes(file).value_or("");
    EXPECT_NE(bytes.find("\r\n" + entry(keyData + "05", "")), std::string::npos); // empty data box
    EXPECT_NE(bytes.find("\r\n" + entry(keyBox + "03", "-1")), std::string::npos);
    EXPECT_NE(bytes.find("\r\n" + entry(keyState + "03", "-1")), std::string::npos);
    EXPECT_NE(bytes.find("\r\n" + entry(voicePhrase + "7", "-1")), std::string::npos);
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"a.mbvkt"}) << "no temporary file may be left";

    // Saving the same form again changes nothing.
    ASSERT_TRUE(saveConfiguration(file, form));
    EXPECT_EQ(fileBytes(file), bytes);
}

TEST(Configuration, NewFileHoldsThreeSectionsAndEveryKeyInTableOrder)
{
    TempFolder folder;
    const fs::path file = folder / "new.mbvkt";
    const FormSnapshot form = variedForm();
    ASSERT_TRUE(saveConfiguration(file, form));

    std::string expected;
    std::string_view current;
    for (const ConfigEntry& e : configEntries()) {
        if (e.section != current)
            expected += section(std::string(e.section));
        current = e.section;
        expected += entry(e.key, configValue(form, e));
    }
    EXPECT_EQ(fileBytes(file), expected);
    EXPECT_EQ(expected.find(section(serial)), 0u);
    EXPECT_LT(expected.find(section(keyArea)), expected.find(section(voiceArea)));
}

// Windows would make 242 separate updates of the file, each one reading
// the file afresh; the one in-memory pass must leave exactly the same bytes,
// whatever the file looked like.
TEST(Configuration, SaveEqualsOneWritePerEntry)
{
    const std::string before = "; notes\n\n[" + serial + "]\r" + port + " = 5\n\n[x]\r\ny=1\r\n\r\n["
        + keyArea + "]\r\n" + keyData + "07=AB\r\n" + keyData + "07=CD\r\n  \r\n[" + keyArea + "]\r\n"
        + keyData + "01=EF\r\n\x81";
    const FormSnapshot form = variedForm();

    std::string single = before;
    for (const ConfigEntry& e : configEntries()) {
        ProfileFile file(single);
        file.write(e.section, e.key, configValue(form, e));
        single = file.bytes();
    }

    TempFolder folder;
    const fs::path batch = folder / "batch.mbvkt";
    putFile(batch, before);
    ASSERT_TRUE(saveConfiguration(batch, form));
    EXPECT_EQ(fileBytes(batch), single);
    EXPECT_EQ(loadConfiguration(batch), form);
}

TEST(Configuration, LoadTrimsBlanksAndQuotesOfStoredTexts)
{
    TempFolder folder;
    const fs::path file = folder / "a.mbvkt";
    putFile(file, section(serial) + entry(port, "  COM3  ") + entry(baud, "\"9600\"")
                      + section(keyArea) + entry(keyData + "01", "\t'AB 12'  ") + entry(keyData + "02", "\" AB \"")
                      + section(voiceArea) + entry(voiceData + "1", "\"AB'"));
    const FormSnapshot form = loadConfiguration(file);
    EXPECT_EQ(form.portText, "COM3");
    EXPECT_EQ(form.baudText, "9600");
    EXPECT_EQ(form.keyRows[0].dataText, "AB 12");
    EXPECT_EQ(form.keyRows[1].dataText, " AB "); // blanks inside the quotes stay
    EXPECT_EQ(form.voiceRows[0].dataText, "\"AB'"); // quotes that do not match stay
}

TEST(Configuration, KeyRowsHaveLeadingZerosAndVoiceRowsHaveNone)
{
    TempFolder folder;
    const fs::path file = folder / "a.mbvkt";
    // Each row's value sits once under the right spelling and once under the
    // wrong one; only the right one may be read.
    putFile(file, section(keyArea) + entry(keyData + "7", "WRONG") + entry(keyData + "07", "AB")
                      + entry(keyBox + "7", "5") + entry(keyBox + "07", "2")
                      + entry(keyData + "10", "CD") + section(voiceArea)
                      + entry(voicePhrase + "07", "9") + entry(voicePhrase + "7", "4")
                      + entry(voiceData + "07", "WRONG") + entry(voiceData + "7", "EF"));
    const FormSnapshot form = loadConfiguration(file);
    EXPECT_EQ(form.keyRows[6].dataText, "AB");
    EXPECT_EQ(form.keyRows[6].keyIndex, 2);
    EXPECT_EQ(form.keyRows[9].dataText, "CD");
    EXPECT_EQ(form.voiceRows[6].phraseIndex, 4);
    EXPECT_EQ(form.voiceRows[6].dataText, "EF");

    // A save updates the right spellings and leaves the wrong ones alone.
    ASSERT_TRUE(saveConfiguration(file, formOfEmptyFile()));
    const std::string bytes = fileBytes(file).value_or("");
    EXPECT_NE(bytes.find(entry(keyData + "7", "WRONG")), std::string::npos);
    EXPECT_NE(bytes.find(entry(keyData + "07", "")), std::string::npos);
    EXPECT_NE(bytes.find(entry(voicePhrase + "07", "9")), std::string::npos);
    EXPECT_NE(bytes.find(entry(voicePhrase + "7", "0")), std::string::npos);
}

TEST(Configuration, UnknownSectionsKeysAndCommentsStayInPlace)
{
    TempFolder folder;
    const fs::path file = folder / "a.mbvkt";
    const std::string head = "; written by hand\r\n\r\n[Other]\r\nx = 1\r\n\r\n";
    const std::string serialPart = section(serial) + entry(port, "3") + "extra=keep me\r\n";
    const std::string tail = "\r\n[Tail]\r\n; last\r\n";
    putFile(file, head + serialPart + tail);

    ASSERT_TRUE(saveConfiguration(file, variedForm()));
    const std::string bytes = fileBytes(file).value_or("");
    // Everything before the serial section, the serial section's own lines
    // with the new baud key right after them, then the untouched tail, then
    // the two new sections.
    const std::string expectedStart = head + section(serial) + entry(port, "3") + "extra=keep me\r\n"
        + entry(baud, "9600") + tail + section(keyArea);
    EXPECT_EQ(bytes.substr(0, expectedStart.size()), expectedStart);
    EXPECT_EQ(loadConfiguration(file), variedForm());
}

TEST(Configuration, FileWithoutTheVoiceSectionLoadsTheRest)
{
    TempFolder folder;
    const fs::path file = folder / "a.mbvkt";
    putFile(file, section(serial) + entry(port, "3") + entry(baud, "9600") + section(keyArea)
                      + entry(keyData + "01", "AB12CD34") + entry(keyBox + "01", "2") + entry(keyState + "01", "1"));
    FormSnapshot expected = formOfEmptyFile();
    expected.portText = "3";
    expected.baudText = "9600";
    expected.keyRows[0] = KeyLearningRow{2, 1, "AB12CD34"};
    EXPECT_EQ(loadConfiguration(file), expected);
}

TEST(Configuration, AnythingButAnIniFileLoadsAsAnEmptyFile)
{
    TempFolder folder;
    const fs::path directory = folder / "dir.mbvkt";
    fs::create_directory(directory);

    const fs::path randomFile = folder / "random.mbvkt";
    std::mt19937 generator(20240607);
    std::string random(64 * 1024, '\0');
    for (char& c : random)
        c = static_cast<char>(generator() & 0xFF);
    putFile(randomFile, random);

    for (const fs::path& path : {folder / "missing.mbvkt", directory, randomFile, folder / "no" / "such.mbvkt"})
        EXPECT_EQ(loadConfiguration(path), formOfEmptyFile()) << path;

    // A folder cannot be saved into; random bytes are kept and the form
    // added after them.
    EXPECT_FALSE(saveConfiguration(directory, variedForm()));
    EXPECT_TRUE(fs::is_directory(directory));
    ASSERT_TRUE(saveConfiguration(randomFile, variedForm()));
    EXPECT_EQ(fileBytes(randomFile).value_or("").substr(0, random.size()), random);
    EXPECT_EQ(loadConfiguration(randomFile), variedForm());
}

TEST(Configuration, SaveKeepsPermissionsAndSymbolicLinks)
{
#ifdef _WIN32
    GTEST_SKIP() << "Windows files carry no permission bits, and symbolic links need administrator rights";
#endif
    TempFolder folder;
    const fs::path file = folder / "a.mbvkt";
    putFile(file, section(serial));
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    const fs::path link = folder / "link.mbvkt";
    fs::create_symlink(file, link);

    ASSERT_TRUE(saveConfiguration(link, variedForm()));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(loadConfiguration(file), variedForm());
    EXPECT_EQ(fs::status(file).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

// --- The save is all or nothing -------------------------------------------

#ifndef _WIN32
// Root writes into read-only folders and files regardless; tests that rely
// on permissions find out first whether they hold here.
bool permissionsStopWrites(const TempFolder& folder)
{
    const fs::path probeFolder = folder / "probe";
    fs::create_directory(probeFolder);
    fs::permissions(probeFolder, fs::perms::owner_read | fs::perms::owner_exec);
    const int fd = ::open((probeFolder / "x").c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (fd >= 0)
        ::close(fd);
    fs::permissions(probeFolder, fs::perms::owner_all);
    fs::remove_all(probeFolder);
    return fd < 0;
}
#endif

TEST(AtomicSave, ReadOnlyFolderLeavesTheOldFileUntouched)
{
#ifdef _WIN32
    GTEST_SKIP() << "Windows ignores the read-only attribute of a folder";
#else
    TempFolder folder;
    if (!permissionsStopWrites(folder))
        GTEST_SKIP() << "running with privileges that write into read-only folders; "
                        "AtomicSave.FailedWriteLeavesTheOldFileUntouched covers the failure path";
    const fs::path locked = folder / "locked";
    fs::create_directory(locked);
    const fs::path file = locked / "a.mbvkt";
    const std::string old = section(serial) + entry(port, "7");
    putFile(file, old);
    fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);

    EXPECT_FALSE(saveConfiguration(file, variedForm()));
    EXPECT_FALSE(writeProfileString(file, serial, port, "8"));
    fs::permissions(locked, fs::perms::owner_all);
    EXPECT_EQ(fileBytes(file), old);
    EXPECT_EQ(std::distance(fs::directory_iterator(locked), fs::directory_iterator()), 1);
#endif
}

TEST(AtomicSave, ReadOnlyFileIsNotReplaced)
{
    TempFolder folder;
#ifndef _WIN32 // on Windows the read-only attribute holds for every user
    if (!permissionsStopWrites(folder))
        GTEST_SKIP() << "running with privileges that ignore a read-only file";
#endif
    const fs::path file = folder / "a.mbvkt";
    const std::string old = section(serial) + entry(port, "7");
    putFile(file, old);
    fs::permissions(file, fs::perms::owner_read);

    EXPECT_FALSE(saveConfiguration(file, variedForm()));
    EXPECT_EQ(fileBytes(file), old);
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"a.mbvkt"});
}

// Works for every user: the file size limit makes writing the temporary
// file fail half-way, as a full disk would.
TEST(AtomicSave, FailedWriteLeavesTheOldFileUntouched)
{
#ifdef _WIN32
    GTEST_SKIP() << "Windows has no file size limit with which to make a write fail half-way";
#else
    TempFolder folder;
    const fs::path file = folder / "a.mbvkt";
    const std::string old = section(serial) + entry(port, "7");
    putFile(file, old);

    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 1024; // far below the 242 entries
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool ok = saveConfiguration(file, variedForm());
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(ok);
    EXPECT_EQ(fileBytes(file), old);
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"a.mbvkt"});
#endif
}

TEST(AtomicSave, FolderThatCannotHoldFilesCreatesNothing)
{
    TempFolder folder;
    const fs::path notAFolder = folder / "plain";
    putFile(notAFolder, "not a folder");

    EXPECT_FALSE(saveConfiguration(notAFolder / "a.mbvkt", variedForm()));
    EXPECT_FALSE(saveConfiguration(folder / "missing" / "a.mbvkt", variedForm()));
    EXPECT_EQ(fileBytes(notAFolder), "not a folder");
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"plain"});
}

} // namespace
} // namespace tarvenix
