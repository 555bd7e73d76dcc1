// The real tarvenix-cli program against a scripted peer on a pseudo-terminal:
// the bytes it puts on the line, what it prints and its exit status.

#include "cli_process.h"

#include "config/config_entries.h"
#include "config/configuration.h"
#include "link/gbk_codec.h"

#include <QFile>
#include <QSerialPort>
#include <QTemporaryDir>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <sys/types.h>
#include <regex>
#include <string>
#include <vector>

namespace tarvenix::test {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

constexpr const char* readInfoFrame = "FD 66 66 66 66 DD DD DD CF";

QStringList withPort(const PtyPair& pty, QStringList arguments)
{
    return QStringList{"--port", QString::fromStdString(pty.devicePath())} + arguments;
}

class CliProcess : public ::testing::Test {
protected:
    std::string save(const FormSnapshot& form, const QString& name = QStringLiteral("panels.mbvkt"))
    {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(saveConfiguration(path.toStdString(), form));
        return path.toStdString();
    }

    // A file with bad rows in both tables; one of them holds Chinese text.
    std::string saveBadFile()
    {
        FormSnapshot form;
        form.keyRows[0] = {2, 1, "12"};
        form.keyRows[1].dataText = "XYZ";
        form.keyRows[6] = {3, 0, std::string(59, '1')};
        form.voiceRows[2] = {5, "a1"};
        form.voiceRows[9] = {0, toGbk(QStringLiteral("灯光"))};
        return save(form, QStringLiteral("bad.mbvkt"));
    }

    QTemporaryDir dir;
    PtyPair pty;
};

TEST_F(CliProcess, CommandsPutTheirFramesOnTheLine)
{
    struct Case {
        QStringList arguments;
        std::string line;
        std::string out;
    };
    const std::string port = pty.devicePath();
    const Case cases[] = {
        {withPort(pty, {"--yes", "enter-config"}), "FD 66 66 66 66 AA AA AA CF", ""},
        // Options of the tool may follow the sub-command.
        {{"enter-config", "--yes", "--port", QString::fromStdString(port)}, "FD 66 66 66 66 AA AA AA CF", ""},
        {withPort(pty, {"--yes", "set-mode", "fixed-a"}), "FD 66 66 66 66 66 88 AA CF", ""},
        {withPort(pty, {"--yes", "set-mode", "4"}), "FD 66 66 66 66 66 88 BB CF", ""},
        {withPort(pty, {"--yes", "set-mode", "自定义AB码"}), "FD 66 66 66 66 66 66 AB CF", ""},
        {withPort(pty, {"--yes", "set-address", "fe"}), "FD 66 66 66 88 DD FF FE CF", ""},
        {withPort(pty, {"--yes", "set-baud", "115200"}), "FD 66 66 66 66 11 52 00 CF", ""},
        {withPort(pty, {"--yes", "set-vibration", "46"}), "FD 66 66 66 88 DD EE 46 CF", ""},
        {withPort(pty, {"--yes", "set-interval", "0x1E"}), "FD 66 66 66 88 DD CC 1E CF", ""},
        {withPort(pty, {"--yes", "erase-keys"}), "FD 66 66 66 66 AA BB F1 CF", "完成擦除\n"},
        {withPort(pty, {"--yes", "erase-voice"}), "FD 66 66 66 66 AA BB F2 CF", "完成擦除\n"},
        {withPort(pty, {"send", "fd cf 01 0a"}), "FD CF 01 0A", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const CliRun run = runCliProcess(c.arguments, &pty);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(spaced(run.line), c.line);
        EXPECT_EQ(run.out, c.out);
        EXPECT_EQ(run.err, "");
    }
}

TEST_F(CliProcess, ReadInfoPrintsTheDecodedAnswerOfOnePanelOnly)
{
    struct Case {
        std::string reply;
        int exitCode;
        std::string out;
        std::string errPart;
    };
    const Case cases[] = {
        {"01 77 88 02", 0, "01 77 88 02\n面板地址为：01\n面板按键模式为：固定A码\n", ""},
        {"3C 77 88 04", 0, "3C 77 88 04\n面板地址为：3C\n面板按键模式为：Modbus模式\n", ""},
        // Two panels in the configuration state answer at once: one window of
        // eight bytes, shown but not decoded.
        {"01 77 88 00 02 77 88 00", 1, "01 77 88 00 02 77 88 00\n", "no panel information reply"},
        {"", 3, "", "no panel answered within 300 ms"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reply);
        // A generous time-out where a panel answers: the answer ends the wait.
        const QString timeout = c.reply.empty() ? QStringLiteral("300") : QStringLiteral("3000");
        const CliRun run = runCliProcess(withPort(pty, {"--yes", "read-info", "--timeout", timeout}), &pty,
                                         c.reply.empty() ? Peer() : answerOnce(bytesOf(readInfoFrame), bytesOf(c.reply)));
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
        EXPECT_EQ(spaced(run.line), readInfoFrame);
        EXPECT_EQ(run.out, c.out);
        if (c.errPart.empty()) {
            EXPECT_EQ(run.err, "");
        } else {
            EXPECT_THAT(run.err, HasSubstr(c.errPart));
        }
    }
}

TEST_F(CliProcess, WriteKeysSendsTheEnabledRowsOfTheFile)
{
    FormSnapshot form;
    form.keyRows[0] = {2, 1, "12 34 AB"}; // row 1, key 2, on
    form.keyRows[1] = {0, 1, "FF"};       // no key: not sent
    form.keyRows[2] = {8, 0, "01"};       // row 3, key 8, off
    form.keyRows[4] = {4, 1, ""};         // no data: not sent
    form.keyRows[47] = {8, 0, "01"};      // the last row
    form.voiceRows[0] = {1, "AA"};        // the other table stays at home
    const std::string file = save(form);

    const CliRun run = runCliProcess(withPort(pty, {"--yes", "write-keys", QString::fromStdString(file)}), &pty);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(spaced(run.line), "FD 66 66 66 66 AA AB A1 CF "
                                "FD CF 01 21 12 34 AB "
                                "FD CF 03 80 01 "
                                "FD CF 30 80 01 "
                                "FD 66 66 66 66 AA AB B1 CF");
    EXPECT_EQ(run.out, "写入完成\n");
    EXPECT_EQ(run.err, ""); // no progress bar when standard error is no terminal
}

TEST_F(CliProcess, WriteVoiceReadsAHandWrittenGbkFile)
{
    const QString path = dir.filePath(QStringLiteral("配置.vkt"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    const std::string bytes = toGbk(QStringLiteral("[串口配置]\r\n端口号=3\r\n[语音学习区配置]\r\n"
                                                   "语音内容框1=5\r\n语音数据框1=AA BB CC\r\n"
                                                   "语音内容框48=148\r\n语音数据框48=01\r\n"));
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    file.close();

    const CliRun run = runCliProcess(withPort(pty, {"--yes", "write-voice", path}), &pty);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(spaced(run.line), "FD 66 66 66 66 AA AB A2 CF "
                                "FD CF 41 05 AA BB CC "
                                "FD CF 70 94 01 "
                                "FD 66 66 66 66 AA AB B2 CF");
}

TEST_F(CliProcess, CheckReportsEveryBadRowOfBothTables)
{
    const std::string file = saveBadFile();
    const CliRun run = runCliProcess({"check", QString::fromStdString(file)});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "");
    const std::string prefix = "tarvenix-cli: " + file + ": ";
    EXPECT_EQ(run.err,
              prefix + "key table row 2 (数据02): 请检查输入的数据是否为十六进制: \"XYZ\"\n"
              + prefix + "key table row 7 (数据07): 请检查数据长度: \"" + std::string(59, '1') + "\"\n"
              + prefix + "voice table row 3 (语音数据框3): 请检查输入的数据是否为十六进制: \"a1\"\n"
              + prefix + "voice table row 10 (语音数据框10): 请检查输入的数据是否为十六进制: \"灯光\"\n"
              + prefix + "4 bad rows; a write would send nothing\n");
}

TEST_F(CliProcess, CheckCountsTheRowsAGoodFileWouldWrite)
{
    FormSnapshot form;
    form.keyRows[0] = {2, 1, "12"};
    form.keyRows[1] = {0, 1, "34"};
    form.voiceRows[5] = {7, "AB"};
    const CliRun run = runCliProcess({"check", QString::fromStdString(save(form))});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "key table: 1 of 48 rows to write\nvoice table: 1 of 48 rows to write\n");
}

TEST_F(CliProcess, AWriteFromABadFileSendsNothing)
{
    const std::string file = saveBadFile();
    const CliRun keys = runCliProcess(withPort(pty, {"--yes", "write-keys", QString::fromStdString(file)}), &pty);
    EXPECT_EQ(keys.exitCode, 1);
    EXPECT_EQ(spaced(keys.line), "");
    EXPECT_THAT(keys.err, HasSubstr("key table row 2 (数据02)"));
    EXPECT_THAT(keys.err, HasSubstr("key table row 7 (数据07)"));
    EXPECT_THAT(keys.err, Not(HasSubstr("voice table")));
    EXPECT_THAT(keys.err, HasSubstr("2 bad rows; nothing was sent"));

    const CliRun voice = runCliProcess(withPort(pty, {"--yes", "write-voice", QString::fromStdString(file)}), &pty);
    EXPECT_EQ(voice.exitCode, 1);
    EXPECT_EQ(spaced(voice.line), "");
    EXPECT_THAT(voice.err, HasSubstr("voice table row 10 (语音数据框10)"));
    EXPECT_THAT(voice.err, HasSubstr("2 bad rows; nothing was sent"));
}

TEST_F(CliProcess, FilesThatCannotBeReadAreErrors)
{
    const std::string missing = dir.filePath(QStringLiteral("missing.mbvkt")).toStdString();
    const CliRun run = runCliProcess(withPort(pty, {"--yes", "write-keys", QString::fromStdString(missing)}), &pty);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "tarvenix-cli: " + missing + ": No such file or directory\n");
    EXPECT_EQ(spaced(run.line), "");

    const CliRun folder = runCliProcess({"check", dir.path()});
    EXPECT_EQ(folder.exitCode, 1);
    EXPECT_EQ(folder.err, "tarvenix-cli: " + dir.path().toStdString() + ": Is a directory\n");
}

TEST_F(CliProcess, APortThatCannotBeOpenedIsAnErrorWithTheSystemsReason)
{
    const CliRun missing = runCliProcess({"--port", "/dev/tarvenix-no-such-port", "--yes", "enter-config"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err, "tarvenix-cli: cannot open /dev/tarvenix-no-such-port: No such file or directory\n");

    // Another program holds the port.
    QSerialPort holder(QString::fromStdString(pty.devicePath()));
    ASSERT_TRUE(holder.open(QIODevice::ReadWrite));
    const CliRun held = runCliProcess(withPort(pty, {"--yes", "erase-keys"}), &pty);
    EXPECT_EQ(held.exitCode, 1);
    const std::regex oneLine("tarvenix-cli: cannot open " + pty.devicePath() + ": [^\n]+\n");
    EXPECT_TRUE(std::regex_match(held.err, oneLine)) << held.err;
    EXPECT_EQ(spaced(held.line), "");
}

TEST_F(CliProcess, UsageErrorsExitWithStatusTwo)
{
    struct Case {
        QStringList arguments;
        std::string errPart;
    };
    const Case cases[] = {
        {{}, "A subcommand is required"},
        {{"bogus"}, "unknown sub-command: bogus"},
        {{"-p", "x", "set-mode"}, "MODE is required"},
        {{"-p", "x", "set-mode", "5"}, "5: expected 0..4 or a mode name"},
        {{"-p", "x", "set-address", "FF"}, "FF: expected two hexadecimal digits 00..FE"},
        {{"-p", "x", "set-baud", "19200"}, "19200: expected one of 9600, 38400, 115200"},
        {{"-p", "x", "send", "FDC"}, "FDC: expected hex digits"},
        {{"-p", "x", "--baud", "fast", "enter-config"}, "--baud"},
        {{"-p", "x", "read-info", "--timeout", "-5"}, "--timeout"},
        {{"write-keys"}, "FILE is required"},
        {{"enter-config"}, "--port is required by enter-config"},
        {{"--yes", "erase-voice"}, "--port is required by erase-voice"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const CliRun run = runCliProcess(c.arguments);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_THAT(run.err, HasSubstr(c.errPart));
        EXPECT_THAT(run.err, HasSubstr("Run with --help for more information."));
    }
}

TEST_F(CliProcess, HelpOnEveryLevel)
{
    const QStringList levels[] = {{"--help"}, {"-h"}, {"read-info", "--help"}, {"write-keys", "-h"}, {"monitor", "--help"}};
    for (const QStringList& arguments : levels) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        const CliRun run = runCliProcess(arguments);
        EXPECT_EQ(run.exitCode, 0);
        const std::string usage = "Usage: tarvenix-cli"
            + (arguments.size() == 2 ? " " + arguments.front().toStdString() : std::string());
        EXPECT_THAT(run.out, HasSubstr(usage));
        EXPECT_EQ(run.err, "");
    }
}

TEST_F(CliProcess, WithoutYesTheWindowsQuestionIsAskedOnTheTerminal)
{
    struct Case {
        std::string input;
        bool sent;
    };
    const Case cases[] = {{"y\n", true}, {"YES\n", true}, {"n\n", false}, {"\n", false}, {"", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        const CliRun run = runCliProcess(withPort(pty, {"enter-config"}), &pty, {}, c.input);
        EXPECT_THAT(run.err, HasSubstr("信息：\n总线上_所有_面板将进入配置状态； [y/N] "));
        EXPECT_EQ(spaced(run.line), c.sent ? "FD 66 66 66 66 AA AA AA CF" : "");
        EXPECT_EQ(run.exitCode, c.sent ? 0 : 1);
        if (!c.sent) {
            EXPECT_THAT(run.err, HasSubstr("tarvenix-cli: cancelled; nothing was sent\n"));
        }
    }
}

TEST_F(CliProcess, ATableWriteAsksOnceAndTellsTheEnd)
{
    FormSnapshot form;
    form.keyRows[0] = {1, 1, "0A"};
    const QString file = QString::fromStdString(save(form));

    // The notice after the write is shown, not asked.
    const CliRun done = runCliProcess(withPort(pty, {"write-keys", file}), &pty, {}, "y\n");
    EXPECT_EQ(done.exitCode, 0) << done.err;
    EXPECT_EQ(done.err, "信息：\n确认写入 [y/N] ");
    EXPECT_EQ(done.out, "写入完成\n");
    EXPECT_EQ(spaced(done.line), "FD 66 66 66 66 AA AB A1 CF FD CF 01 11 0A FD 66 66 66 66 AA AB B1 CF");

    // Cancel at the question: the start frame has gone out already.
    const CliRun cancelled = runCliProcess(withPort(pty, {"write-keys", file}), &pty, {}, "n\n");
    EXPECT_EQ(cancelled.exitCode, 1);
    EXPECT_EQ(spaced(cancelled.line), "FD 66 66 66 66 AA AB A1 CF");
    EXPECT_THAT(cancelled.err, HasSubstr("tarvenix-cli: cancelled after 1 frame(s) had been sent\n"));

    const CliRun erase = runCliProcess(withPort(pty, {"erase-keys"}), &pty, {}, "y\n");
    EXPECT_EQ(erase.err, "确认擦除\n确认擦除 [y/N] ");
    EXPECT_EQ(erase.out, "完成擦除\n");
}

// Sends the bytes once the monitor says it listens, then the next ones
// 100 ms later: two reply windows.
Peer twoWindows(ByteList first, ByteList second)
{
    auto step = std::make_shared<int>(0);
    auto firstAt = std::make_shared<qint64>(0);
    return [=](PeerView& view) {
        if (*step == 0 && view.err.find("monitoring") != std::string::npos) {
            view.pty->write(first);
            *firstAt = view.elapsedMs;
            *step = 1;
        } else if (*step == 1 && view.elapsedMs - *firstAt > 100) {
            view.pty->write(second);
            *step = 2;
        }
    };
}

const std::regex monitorOutput(
    "(\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d)  01 77 88 04\n"
    "              面板地址为：01\n"
    "              面板按键模式为：Modbus模式\n"
    "(\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d)  AA BB 0A\n");

TEST_F(CliProcess, MonitorPrintsOneStampedLinePerReplyWindow)
{
    const CliRun run = runCliProcess(withPort(pty, {"monitor", "--duration", "1500"}), &pty,
                                      twoWindows(bytesOf("01 77 88 04"), bytesOf("AA BB 0A")));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    std::smatch match;
    ASSERT_TRUE(std::regex_match(run.out, match, monitorOutput)) << run.out;
    EXPECT_LT(match[1].str(), match[2].str());
    EXPECT_EQ(spaced(run.line), ""); // the monitor never sends
}

TEST_F(CliProcess, MonitorEndsInOrderOnCtrlCAndSigterm)
{
    for (int signal : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal);
        const Peer windows = twoWindows(bytesOf("01 77 88 04"), bytesOf("AA BB 0A"));
        bool signalled = false;
        const CliRun run = runCliProcess(withPort(pty, {"monitor"}), &pty, [&](PeerView& view) {
                                              windows(view);
                                              if (!signalled && view.out.find("AA BB") != std::string::npos) {
                                                  ::kill(static_cast<pid_t>(view.pid), signal);
                                                  signalled = true;
                                              }
                                          });
        EXPECT_FALSE(run.crashed);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_TRUE(std::regex_match(run.out, monitorOutput)) << run.out;
    }
}

TEST_F(CliProcess, MonitorFailsWhenThePortGoesAway)
{
    auto line = std::make_unique<PtyPair>();
    const std::string device = line->devicePath();
    const CliRun run = runCliProcess({"--port", QString::fromStdString(device), "monitor", "--duration", "5000"},
                                     nullptr, [&](PeerView& view) {
                                         if (line && view.err.find("monitoring") != std::string::npos)
                                             line.reset(); // the adapter is pulled out
                                     });
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_THAT(run.err, HasSubstr("tarvenix-cli: " + device + " went away: "));
}

} // namespace
} // namespace tarvenix::test
