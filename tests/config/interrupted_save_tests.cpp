// A save that is killed half-way, or whose last step fails, leaves the old
// file or the new one, never a mix of the two.
#include "config/configuration.h"
#include "config_test_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <random>

#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

// The final rename of a save, failing on request. This binary's own
// definition takes the place of the C library's for every caller linked
// into it; the save code is left exactly as it ships.
namespace {
std::atomic<bool> renameFails{false};
}

extern "C" int rename(const char* from, const char* to) noexcept
{
    if (renameFails) {
        errno = EIO;
        return -1;
    }
    return ::renameat(AT_FDCWD, from, AT_FDCWD, to);
}

namespace tarvenix {
namespace {

namespace fs = std::filesystem;
using test::fileBytes;
using test::putFile;
using test::TempFolder;

// A full form whose every data text is long, so that a save writes some
// hundred kilobytes; fill makes two such forms differ in every text and in
// their length.
FormSnapshot longForm(char fill, std::size_t length)
{
    FormSnapshot form;
    form.portText = std::string(1, fill);
    form.baudText = "9600";
    for (int i = 0; i < learningRowCount; ++i) {
        form.keyRows[i] = KeyLearningRow{i % keyChoiceCount, i % stateChoiceCount, std::string(length, fill)};
        form.voiceRows[i] = VoiceLearningRow{i, std::string(length, fill)};
    }
    return form;
}

std::vector<std::string> temporaryFiles(const TempFolder& folder)
{
    std::vector<std::string> names;
    for (const std::string& name : folder.entries()) {
        if (name != "a.mbvkt")
            names.push_back(name);
    }
    return names;
}

TEST(InterruptedSave, AFailedRenameLeavesTheOldFileAndNoTemporaryFile)
{
    TempFolder folder;
    const fs::path file = folder / "a.mbvkt";
    const std::string old = "; written by hand\r\n[x]\r\nk=1\r\n";
    putFile(file, old);

    renameFails = true;
    const bool saved = saveConfiguration(file, longForm('A', 100));
    const bool written = writeProfileString(file, "x", "k", "2");
    renameFails = false;

    EXPECT_FALSE(saved);
    EXPECT_FALSE(written);
    EXPECT_EQ(fileBytes(file), old);
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"a.mbvkt"});

    // Nothing of the failed attempts stands in the way of the next save.
    ASSERT_TRUE(saveConfiguration(file, longForm('A', 100)));
    EXPECT_EQ(loadConfiguration(file), longForm('A', 100));
}

// A folder in place of the file cannot be replaced, full or not.
TEST(InterruptedSave, AFolderInPlaceOfTheFileStaysAndNoTemporaryFileIsLeft)
{
    TempFolder folder;
    const fs::path target = folder / "a.mbvkt";
    fs::create_directory(target);
    putFile(target / "inside", "kept");

    EXPECT_FALSE(saveConfiguration(target, longForm('A', 10)));
    EXPECT_FALSE(writeProfileString(target, "x", "k", "1"));
    EXPECT_EQ(fileBytes(target / "inside"), "kept");
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"a.mbvkt"});
}

// A child process saves two forms in turn, as fast as it can, and is
// killed: at random moments after its first save landed, and at moments
// when its temporary file is known to exist. Meanwhile and afterwards the
// file is always exactly one of the two saves.
TEST(InterruptedSave, AKilledSaveLeavesTheOldOrTheNewFile)
{
    TempFolder folder;
    const fs::path file = folder / "a.mbvkt";
    const FormSnapshot a = longForm('A', 2000);
    const FormSnapshot b = longForm('B', 2100);
    ASSERT_TRUE(saveConfiguration(file, b));
    const std::string bytesB = fileBytes(file).value_or("");
    ASSERT_TRUE(saveConfiguration(file, a));
    const std::string bytesA = fileBytes(file).value_or("");
    ASSERT_NE(bytesA.size(), bytesB.size());

    std::size_t mixed = 0;
    // The file as it stands; anything but one of the two saves is counted.
    const auto look = [&] {
        const std::string now = fileBytes(file).value_or("");
        if (now != bytesA && now != bytesB)
            ++mixed;
        return now;
    };

    std::mt19937 random(20240611);
    std::size_t landed = 0;
    std::size_t killedMidSave = 0;
    constexpr int rounds = 24;
    for (int round = 0; round < rounds; ++round) {
        const bool holdsA = look() == bytesA;
        std::fflush(nullptr);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (bool nextA = !holdsA;; nextA = !nextA)
                saveConfiguration(file, nextA ? a : b);
        }

        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        if (round % 2 == 0) {
            // Even rounds read the file until the child's first save has
            // landed, then on for a random while, and kill it.
            bool saved = false;
            while (!saved && std::chrono::steady_clock::now() < giveUp)
                saved = (look() == bytesA) != holdsA;
            landed += saved ? 1 : 0;
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(random() % 40);
            while (std::chrono::steady_clock::now() < deadline)
                look();
        } else {
            // Odd rounds watch for the child's temporary file: the kill then
            // lands between its creation and the rename.
            const std::string ownTemporary = "a.mbvkt.tmp-" + std::to_string(child) + "-";
            bool found = false;
            while (!found && std::chrono::steady_clock::now() < giveUp) {
                for (const std::string& name : temporaryFiles(folder))
                    found = found || name.starts_with(ownTemporary);
            }
            killedMidSave += found ? 1 : 0;
        }
        ASSERT_EQ(::kill(child, SIGKILL), 0);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "round " << round;
        look();
    }

    EXPECT_EQ(mixed, 0u) << "times the file was neither save";
    EXPECT_EQ(landed, static_cast<std::size_t>(rounds / 2)) << "the children saved";
    EXPECT_EQ(killedMidSave, static_cast<std::size_t>(rounds / 2));
    // A kill leaves at most its own temporary file beside the target; it
    // never replaces the target and does not hinder the next save.
    const auto leftovers = temporaryFiles(folder);
    EXPECT_LE(leftovers.size(), static_cast<std::size_t>(rounds));
    for (const std::string& name : leftovers)
        EXPECT_TRUE(name.starts_with("a.mbvkt.tmp-")) << name;
    ASSERT_TRUE(saveConfiguration(file, a));
    EXPECT_EQ(fileBytes(file), bytesA);
}

} // namespace
} // namespace tarvenix
