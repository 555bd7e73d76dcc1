#include "cli_app.h"

#include "cli_values.h"
#include "panel_port.h"

#include "commands/command_table.h"
#include "config/config_entries.h"
#include "config/configuration.h"
#include "learning/table_plans.h"
#include "link/event_loop_pauser.h"
#include "link/gbk_codec.h"
#include "link/receive_monitor.h"
#include "link/termination_signals.h"

#include <CLI/CLI.hpp>

#include <QEventLoop>
#include <QTimer>

#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace tarvenix::cli {

namespace {

constexpr std::string_view programName = "tarvenix-cli";

struct Options {
    std::string port;
    int baud = 9600;
    bool yes = false;
    int timeoutMs = 500;
    int durationMs = 0; // 0: until a stop signal
    std::string value;  // MODE, HH, RATE or HEX
    std::string file;
};

// The panel commands, in the order of the window's buttons.
struct PanelVerb {
    std::string_view name;
    PanelCommand command;
    std::string_view help;
    std::string_view argument; // "" for the two fixed commands
};

constexpr std::array<PanelVerb, 7> panelVerbs = {{
    {"enter-config", PanelCommand::EnterConfig, "Put every panel on the bus into its configuration state", ""},
    {"read-info", PanelCommand::ReadInfo,
     "Ask the panel in the configuration state for its address and key code mode; exit status 3 when "
     "no panel answers",
     ""},
    {"set-mode", PanelCommand::SetMode, "Set the key code mode of every panel on the bus", "MODE"},
    {"set-address", PanelCommand::SetAddress, "Set the bus address of every panel on the bus", "HH"},
    {"set-baud", PanelCommand::SetBaudRate,
     "Set the bus baud rate of the panels in the configuration state (not --baud)", "RATE"},
    {"set-vibration", PanelCommand::SetVibration,
     "Set the vibration length of the panels in the configuration state (ms in hex)", "HH"},
    {"set-interval", PanelCommand::SetInterval,
     "Set the gap between the data items of one key press (ms in hex)",
     "HH"},
}};

enum class Table { Keys, Voice };

std::string utf8(const QString& text)
{
    return text.toStdString();
}

std::string tableName(Table table)
{
    return table == Table::Keys ? "key table" : "voice table";
}

// The key under which the file keeps a row's data ("数据07", "语音数据框7").
std::string dataKeyName(Table table, int row)
{
    const ConfigControl control = table == Table::Keys ? ConfigControl::keyRowDataEdit : ConfigControl::voiceRowDataEdit;
    for (const ConfigEntry& entry : configEntries()) {
        if (entry.control == control && entry.row == row)
            return utf8(fromGbk(entry.key));
    }
    return {};
}

// The window's message for the problem, on one line: "请检查数据长度".
std::string problemText(DataVerdict verdict)
{
    std::string text = terminalText(problemMessagePrefix(verdict));
    while (!text.empty() && text.back() == '\n')
        text.pop_back();
    return text;
}

class Run {
public:
    Run(Console& console, const Options& options)
        : console_(console), options_(options), prompter_(console, options.yes)
    {
    }

    int panelCommand(PanelCommand command);
    int readInfo();
    int writeTable(Table table);
    int eraseTable(Table table);
    int monitor();
    int send();
    int check();

private:
    void fail(std::string_view reason);
    bool openPort();
    std::optional<FormSnapshot> loadFile();
    int reportProblems(const std::vector<std::pair<Table, RowProblem>>& problems, std::string_view consequence);
    PlanOutcome execute(const Plan& plan);
    int finish(PlanOutcome outcome);

    Console& console_;
    const Options& options_;
    PanelPort port_;
    EventLoopPauser pauser_;
    ConsolePrompter prompter_;
};

void Run::fail(std::string_view reason)
{
    console_.endProgressLine();
    console_.err << programName << ": " << reason << '\n' << std::flush;
}

bool Run::openPort()
{
    // Arguments arrive in the locale's encoding; the port text is read as the
    // window reads portEdit, from GBK (full-width digits included).
    const std::string portText = toGbk(QString::fromLocal8Bit(options_.port.data(),
                                                              static_cast<qsizetype>(options_.port.size())));
    if (port_.open(portText, options_.baud))
        return true;
    fail("cannot open " + utf8(port_.device()) + ": " + utf8(port_.reason()));
    return false;
}

PlanOutcome Run::execute(const Plan& plan)
{
    prompter_.serve(plan);
    ProgressBar bar(console_);
    PlanHost host{port_, pauser_, prompter_, console_.stderrIsTerminal ? &bar : nullptr, nullptr};
    const PlanOutcome outcome = runPlan(plan, host);
    console_.endProgressLine();
    return outcome;
}

int Run::finish(PlanOutcome outcome)
{
    const std::string device = utf8(port_.device());
    const std::string why = port_.reason().isEmpty() ? std::string() : ": " + utf8(port_.reason());
    switch (outcome) {
    case PlanOutcome::Completed:
        // The panel commands drop a frame that cannot be written without a
        // word, as the window does; a script has to know.
        if (port_.failedWrites() > 0) {
            fail("a frame could not be written to " + device + why);
            return exitFailed;
        }
        return exitOk;
    case PlanOutcome::Cancelled:
        fail(port_.framesWritten() == 0
                 ? std::string("cancelled; nothing was sent")
                 : "cancelled after " + std::to_string(port_.framesWritten()) + " frame(s) had been sent");
        return exitFailed;
    case PlanOutcome::PortClosed:
    case PlanOutcome::WriteFailed:
        fail(prompter_.failure() + " (" + device + why + ")");
        return exitFailed;
    case PlanOutcome::Aborted:
        fail("stopped");
        return exitFailed;
    }
    return exitFailed;
}

int Run::panelCommand(PanelCommand command)
{
    const CommandDefinition& definition = commandDefinition(command);
    const int index = definition.combo == CommandCombo::None
        ? -1
        : comboIndexArgument(definition.combo, options_.value).value_or(-1);
    const Plan plan = commandPlan(command, index, comboText(definition.combo, index));
    if (!openPort())
        return exitFailed;
    return finish(execute(plan));
}

int Run::readInfo()
{
    if (!openPort())
        return exitFailed;

    // Only what arrives from the moment the frame goes out can be the answer;
    // the first reply window after it is the one that counts.
    std::optional<ReplyWindow> answer;
    QEventLoop* waiting = nullptr;
    bool listening = false;
    ReceiveMonitor windows;
    QObject::connect(&windows, &ReceiveMonitor::windowEnded, [&](const ReplyWindow& window) {
        if (!answer)
            answer = window;
        if (waiting)
            waiting->quit();
    });
    port_.beforeWrite = [&] { listening = true; };
    QObject context;
    QObject::connect(&port_.link(), &SerialLink::bytesReceived, &context, [&](const QByteArray& bytes) {
        if (listening && !answer)
            windows.onBytesReceived(bytes);
    });
    QObject::connect(&port_.link(), &SerialLink::portLost, &context, [&] {
        if (waiting)
            waiting->quit();
    });

    const PlanOutcome outcome = execute(commandPlan(PanelCommand::ReadInfo, -1, {}));
    port_.beforeWrite = nullptr;
    if (outcome != PlanOutcome::Completed || port_.failedWrites() > 0)
        return finish(outcome);

    if (!answer && port_.isOpen()) {
        // Up to the time-out for the first byte; a window that has opened by
        // then still gets its full length.
        QEventLoop loop;
        waiting = &loop;
        QTimer::singleShot(options_.timeoutMs, &loop, [&] {
            if (!windows.windowOpen())
                loop.quit();
        });
        loop.exec();
        waiting = nullptr;
    }
    if (!answer) {
        if (!port_.isOpen()) {
            fail(utf8(port_.device()) + " went away: " + utf8(port_.reason()));
            return exitFailed;
        }
        fail("no panel answered within " + std::to_string(options_.timeoutMs) + " ms");
        return exitNoAnswer;
    }

    console_.out << answer->hex << '\n';
    for (const std::string& line : answer->decodedLines())
        console_.out << line << '\n';
    console_.out << std::flush;
    if (!answer->isPanelReply()) {
        fail("the answer is no panel information reply (two panels in the configuration state answer at once)");
        return exitFailed;
    }
    return exitOk;
}

std::optional<FormSnapshot> Run::loadFile()
{
    // The configuration load is silent about a file it cannot read (the
    // window shows an empty form); a script wants to hear about it.
    const std::filesystem::path path(options_.file);
    std::ifstream probe(path, std::ios::binary);
    if (!probe) {
        fail(options_.file + ": " + std::strerror(errno));
        return std::nullopt;
    }
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        fail(options_.file + ": " + std::strerror(EISDIR));
        return std::nullopt;
    }
    probe.close();
    return loadConfiguration(path);
}

int Run::reportProblems(const std::vector<std::pair<Table, RowProblem>>& problems, std::string_view consequence)
{
    for (const auto& [table, problem] : problems) {
        fail(options_.file + ": " + tableName(table) + " row " + std::to_string(problem.row) + " ("
             + dataKeyName(table, problem.row) + "): " + problemText(problem.verdict) + ": \""
             + utf8(fromGbk(problem.dataText)) + "\"");
    }
    fail(options_.file + ": " + std::to_string(problems.size()) + (problems.size() == 1 ? " bad row; " : " bad rows; ")
         + std::string(consequence));
    return exitFailed;
}

int Run::writeTable(Table table)
{
    const std::optional<FormSnapshot> form = loadFile();
    if (!form)
        return exitFailed;
    const TableWritePlan write
        = table == Table::Keys ? keyTableWritePlan(form->keyRows) : voiceTableWritePlan(form->voiceRows);
    if (!write.plan) {
        std::vector<std::pair<Table, RowProblem>> problems;
        for (const RowProblem& problem : write.problems)
            problems.emplace_back(table, problem);
        return reportProblems(problems, "nothing was sent");
    }
    if (!openPort())
        return exitFailed;
    return finish(execute(*write.plan));
}

int Run::eraseTable(Table table)
{
    const Plan plan = table == Table::Keys ? keyTableErasePlan() : voiceTableErasePlan();
    if (!openPort())
        return exitFailed;
    return finish(execute(plan));
}

int Run::check()
{
    const std::optional<FormSnapshot> form = loadFile();
    if (!form)
        return exitFailed;
    std::vector<std::pair<Table, RowProblem>> problems;
    for (const RowProblem& problem : validateKeyTable(form->keyRows))
        problems.emplace_back(Table::Keys, problem);
    for (const RowProblem& problem : validateVoiceTable(form->voiceRows))
        problems.emplace_back(Table::Voice, problem);
    if (!problems.empty())
        return reportProblems(problems, "a write would send nothing");

    int keyRows = 0;
    for (const KeyLearningRow& row : form->keyRows)
        keyRows += isRowEnabled(row) ? 1 : 0;
    int voiceRows = 0;
    for (const VoiceLearningRow& row : form->voiceRows)
        voiceRows += isRowEnabled(row) ? 1 : 0;
    console_.out << tableName(Table::Keys) << ": " << keyRows << " of " << learningRowCount << " rows to write\n"
                 << tableName(Table::Voice) << ": " << voiceRows << " of " << learningRowCount << " rows to write\n"
                 << std::flush;
    return exitOk;
}

int Run::monitor()
{
    if (!openPort())
        return exitFailed;

    // One line per reply window, stamped with the arrival of its first byte;
    // the decoded lines of a panel's reply follow, indented below the bytes.
    constexpr std::string_view stampFormat = "HH:mm:ss.zzz";
    const std::string indent(stampFormat.size() + 2, ' ');
    ReceiveMonitor windows;
    QObject::connect(&windows, &ReceiveMonitor::windowEnded, [&](const ReplyWindow& window) {
        console_.out << utf8(window.opened.toString(QLatin1String(stampFormat.data(),
                                                                  static_cast<qsizetype>(stampFormat.size()))))
                     << "  " << window.hex << '\n';
        for (const std::string& line : window.decodedLines())
            console_.out << indent << line << '\n';
        console_.out << std::flush;
    });

    QEventLoop loop;
    QObject context;
    QObject::connect(&port_.link(), &SerialLink::bytesReceived, &windows, &ReceiveMonitor::onBytesReceived);
    QObject::connect(&port_.link(), &SerialLink::portLost, &context, [&] { loop.quit(); });
    TerminationSignals stop([&] { loop.quit(); });
    if (options_.durationMs > 0)
        QTimer::singleShot(options_.durationMs, &loop, &QEventLoop::quit);
    // Also tells a script driving the tool that the port is open and listening.
    console_.err << "monitoring " << utf8(port_.device()) << " at " << options_.baud << " baud; Ctrl+C ends\n"
                 << std::flush;
    loop.exec();
    windows.endNow();

    if (!port_.isOpen()) {
        fail(utf8(port_.device()) + " went away: " + utf8(port_.reason()));
        return exitFailed;
    }
    return exitOk;
}

int Run::send()
{
    Plan plan;
    plan.steps.emplace_back(std::in_place_type<SendStep>, frameTextArgument(options_.value).value_or(std::string()));
    if (!openPort())
        return exitFailed;
    return finish(execute(plan));
}

// Turns a value check into a CLI11 validator, so that a wrong value is a
// usage error like any other.
template <typename Check>
CLI::Validator argumentCheck(Check check, std::string what)
{
    return CLI::Validator(
        [check, what](std::string& value) -> std::string {
            return check(value) ? std::string() : value + ": expected " + what;
        },
        "");
}

// The sub-commands, to tell after parsing which one was given.
struct SubCommands {
    std::vector<std::pair<CLI::App*, PanelCommand>> panel;
    CLI::App* writeKeys = nullptr;
    CLI::App* writeVoice = nullptr;
    CLI::App* eraseKeys = nullptr;
    CLI::App* eraseVoice = nullptr;
    CLI::App* monitor = nullptr;
    CLI::App* send = nullptr;
    CLI::App* check = nullptr;
};

SubCommands defineCommandLine(CLI::App& app, Options& options)
{
    SubCommands subs;
    app.require_subcommand(1);
    // Global options may also follow the sub-command.
    app.fallthrough();
    app.add_option("-p,--port", options.port,
                   "The PC's serial port: a number n (COMn on Windows, /dev/ttyUSB<n-1> on Linux), COMn, or a "
                   "device path such as /dev/ttyUSB0; needed by every sub-command but check")
        ->type_name("PORT");
    app.add_option("-b,--baud", options.baud, "Baud rate of the PC's serial port")
        ->type_name("RATE")
        ->capture_default_str()
        ->check(CLI::PositiveNumber);
    app.add_flag("-y,--yes", options.yes, "Answer every confirmation with OK instead of asking on the terminal");

    for (const PanelVerb& verb : panelVerbs) {
        CLI::App* sub = app.add_subcommand(std::string(verb.name), std::string(verb.help));
        subs.panel.emplace_back(sub, verb.command);
        const CommandCombo combo = commandDefinition(verb.command).combo;
        if (combo != CommandCombo::None) {
            sub->add_option(std::string(verb.argument), options.value, comboArgumentHint(combo))
                ->required()
                ->check(argumentCheck([combo](const std::string& v) { return comboIndexArgument(combo, v).has_value(); },
                                      combo == CommandCombo::Mode ? "0..4 or a mode name (see --help)"
                                                                  : comboArgumentHint(combo)));
        }
        if (verb.command == PanelCommand::ReadInfo) {
            sub->add_option("--timeout", options.timeoutMs, "How long to wait for the answer after sending, in ms")
                ->type_name("MS")
                ->capture_default_str()
                ->check(CLI::NonNegativeNumber);
        }
    }

    const auto addFileCommand = [&](const char* name, const char* help) {
        CLI::App* sub = app.add_subcommand(name, help);
        sub->add_option("FILE", options.file,
                        "Configuration file: .mbvkt or the autosave file; every bad row is reported, and then "
                        "nothing is sent")
            ->required();
        return sub;
    };
    subs.writeKeys = addFileCommand(
        "write-keys", "Write the key learning table of FILE to the panels in the configuration state");
    subs.writeVoice = addFileCommand(
        "write-voice", "Write the voice learning table of FILE to the panels in the configuration state");
    subs.eraseKeys = app.add_subcommand("erase-keys", "Erase the key learning table in the panels");
    subs.eraseVoice = app.add_subcommand("erase-voice", "Erase the voice learning table in the panels");
    subs.monitor = app.add_subcommand(
        "monitor", "Print what the panels send, one hex line per reply window, replies decoded; until Ctrl+C, "
                   "SIGTERM or --duration");
    subs.monitor->add_option("--duration", options.durationMs, "Stop after this many ms (0: run until stopped)")
        ->type_name("MS")
        ->capture_default_str()
        ->check(CLI::NonNegativeNumber);
    subs.send = app.add_subcommand("send", "Send one raw frame as it stands, without a confirmation");
    subs.send->add_option("HEX", options.value, "The frame as hex digits, two per byte, spaces allowed: FD66666666AAAAAACF")
        ->required()
        ->check(argumentCheck([](const std::string& v) { return frameTextArgument(v).has_value(); },
                              "hex digits, two per byte"));
    subs.check = addFileCommand(
        "check", "Report every bad row of both learning tables of FILE; sends nothing, needs no port");

    app.footer("Exit status: 0 done; 1 error (reason on standard error), a cancelled confirmation or a "
               "configuration file with bad rows; 2 wrong command line; 3 read-info without an answer.\n"
               "Run '" + std::string(programName) + " SUB-COMMAND --help' for the options of a sub-command.");
    const std::string globalNote = "The options of " + std::string(programName)
        + " (--port, --baud, --yes) may also follow the sub-command.";
    for (CLI::App* sub : app.get_subcommands({}))
        sub->footer(globalNote);
    app.get_subcommand("read-info")
        ->footer("Prints the answer's bytes, then the panel's address and key code mode as the window shows them:\n"
                 "  01 77 88 02\n  面板地址为：01\n  面板按键模式为：固定A码\n"
                 "Two panels answering at once give bytes that are printed but not decoded (exit status 1).\n"
                 + globalNote);
    subs.monitor->footer("Each line starts with the time of the reply window's first byte; a window lasts 11 ms.\n"
                         "  10:15:02.311  01 77 88 02\n                面板地址为：01\n"
                         "                面板按键模式为：固定A码\n"
                         + globalNote);
    return subs;
}

int dispatch(const SubCommands& subs, const CLI::App* chosen, Run& run)
{
    for (const auto& [sub, command] : subs.panel) {
        if (chosen == sub)
            return command == PanelCommand::ReadInfo ? run.readInfo() : run.panelCommand(command);
    }
    if (chosen == subs.writeKeys)
        return run.writeTable(Table::Keys);
    if (chosen == subs.writeVoice)
        return run.writeTable(Table::Voice);
    if (chosen == subs.eraseKeys)
        return run.eraseTable(Table::Keys);
    if (chosen == subs.eraseVoice)
        return run.eraseTable(Table::Voice);
    if (chosen == subs.monitor)
        return run.monitor();
    if (chosen == subs.send)
        return run.send();
    return run.check();
}

} // namespace

int runCli(int argc, const char* const* argv, Console& console)
{
    Options options;
    CLI::App app{"Configures the smart-home wall switch panels on one serial bus: the panel commands, "
                 "the key and voice learning tables of a configuration file (.mbvkt or the autosave "
                 "file), and the receive monitor. Confirmations use the window's texts; answer them "
                 "with y, or give --yes.",
                 std::string(programName)};
    const SubCommands subs = defineCommandLine(app, options);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        // CLI11 would call a misspelt sub-command a missing one.
        const std::vector<std::string> extras = app.remaining();
        if (app.get_subcommands().empty() && !extras.empty() && error.get_exit_code() != 0) {
            console.err << "unknown sub-command: " << extras.front() << "\nRun with --help for more information.\n"
                        << std::flush;
            return exitUsage;
        }
        const int status = app.exit(error, console.out, console.err);
        return status == 0 ? exitOk : exitUsage;
    }

    const CLI::App* chosen = app.get_subcommands().front();
    if (chosen != subs.check && options.port.empty()) {
        console.err << "--port is required by " << chosen->get_name() << "\nRun with --help for more information.\n"
                    << std::flush;
        return exitUsage;
    }
    Run run(console, options);
    return dispatch(subs, chosen, run);
}

} // namespace tarvenix::cli
