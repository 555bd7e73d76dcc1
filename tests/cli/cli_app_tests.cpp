// The tool's library in this process: what only shows on a terminal (the
// progress bar) and what needs the line to fail in the middle of a run.

#include "cli/cli_app.h"

#include "config/configuration.h"
#include "support/pty_pair.h"

#include <QTemporaryDir>
#include <QTimer>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace tarvenix::cli {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

struct Ran {
    int status = -1;
    std::string out;
    std::string err;
};

Ran runInProcess(std::vector<std::string> arguments, bool stderrIsTerminal = false)
{
    arguments.insert(arguments.begin(), "tarvenix-cli");
    std::vector<const char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(argument.c_str());
    std::ostringstream out;
    std::ostringstream err;
    std::istringstream in;
    Console console{out, err, in, stderrIsTerminal};
    Ran ran;
    ran.status = runCli(static_cast<int>(argv.size()), argv.data(), console);
    ran.out = out.str();
    ran.err = err.str();
    return ran;
}

std::string saveKeyRows(const QTemporaryDir& dir, int rows)
{
    FormSnapshot form;
    for (int n = 0; n < rows; ++n)
        form.keyRows[static_cast<std::size_t>(n)] = {1 + n % 8, 1, "0A0B"};
    const std::string path = dir.filePath(QStringLiteral("keys.mbvkt")).toStdString();
    EXPECT_TRUE(saveConfiguration(path, form));
    return path;
}

TEST(CliOnATerminal, TheProgressBarFollowsTheWriteAndEndsItsLineBeforeTheNotice)
{
    QTemporaryDir dir;
    test::PtyPair pty;
    const Ran ran = runInProcess({"--port", pty.devicePath(), "--yes", "write-keys", saveKeyRows(dir, 1)}, true);
    EXPECT_EQ(ran.status, exitOk) << ran.err;
    EXPECT_EQ(ran.out, "写入完成\n");
    const std::string full = "\r[" + std::string(40, '#') + "] 100%";
    EXPECT_THAT(ran.err, StartsWith("\r[ "));
    EXPECT_THAT(ran.err, HasSubstr("\r[" + std::string(0, '#') + std::string(40, ' ') + "]   2%"));
    EXPECT_THAT(ran.err, HasSubstr("\r[" + std::string(20, '#') + std::string(20, ' ') + "]  52%"));
    EXPECT_THAT(ran.err, HasSubstr("]  99%"));
    EXPECT_EQ(ran.err.substr(ran.err.size() - full.size() - 1), full + "\n");
}

TEST(CliOnATerminal, ALineThatGoesAwayDuringARunIsAnError)
{
    struct Case {
        std::vector<std::string> arguments;
        std::string reason;
    };
    QTemporaryDir dir;
    const Case cases[] = {
        // The table write stops at the first frame that cannot be written.
        {{"write-keys", saveKeyRows(dir, 12)}, "tarvenix-cli: 串口写入失败，写入未完成 ("},
        // A panel command's frame is dropped without a word in the window;
        // here it still is an error.
        {{"set-mode", "2"}, "tarvenix-cli: a frame could not be written to "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.front());
        auto pty = std::make_unique<test::PtyPair>();
        std::vector<std::string> arguments{"--port", pty->devicePath(), "--yes"};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        // Gone during the first pause of either sequence.
        QTimer::singleShot(10, [&pty] { pty.reset(); });
        const Ran ran = runInProcess(arguments);
        EXPECT_EQ(ran.status, exitFailed);
        EXPECT_THAT(ran.err, StartsWith(c.reason));
        EXPECT_EQ(ran.err.find('\n'), ran.err.size() - 1) << "one line";
        EXPECT_EQ(ran.out, "");
    }
}

} // namespace
} // namespace tarvenix::cli
