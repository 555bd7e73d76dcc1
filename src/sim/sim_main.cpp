// tarvenix-sim: panels on a pseudo-terminal, for trying the program without
// a bus on the desk. Prints the device to open, then a line for everything
// that happens on the line; takes stimuli from standard input.

#include "virtual_bus.h"

#include <CLI/CLI.hpp>
#include <QCoreApplication>
#include <QSocketNotifier>

#include <charconv>
#include <cstdio>
#include <optional>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using tarvenix::sim::BusOptions;
using tarvenix::sim::VirtualBus;

constexpr const char* commandHelp =
    "commands:\n"
    "  press PANEL KEY     press key 1..8 of the panel at address PANEL (hex, e.g. 01)\n"
    "  say PANEL PHRASE    say phrase 1..148 to the panel at address PANEL\n"
    "  dump                print every panel's settings and learned rows\n"
    "  help                print this text\n"
    "  quit                end (so does the end of input)\n";

void printLine(const std::string& line)
{
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void printError(const std::string& text)
{
    std::fputs(("error: " + text + "\n").c_str(), stderr);
    std::fflush(stderr);
}

std::optional<int> parseNumber(const std::string& text, int base)
{
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value, base);
    if (ec != std::errc() || ptr != end || text.empty())
        return std::nullopt;
    return value;
}

// Standard input, line by line, without blocking the event loop.
class CommandReader {
public:
    explicit CommandReader(VirtualBus& bus) : bus_(bus), notifier_(STDIN_FILENO, QSocketNotifier::Read)
    {
        QObject::connect(&notifier_, &QSocketNotifier::activated, [this] { onReadable(); });
    }

private:
    void onReadable()
    {
        char buffer[1024];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) {
            notifier_.setEnabled(false);
            QCoreApplication::quit();
            return;
        }
        pending_.append(buffer, static_cast<std::size_t>(n));
        std::size_t newline;
        while ((newline = pending_.find('\n')) != std::string::npos) {
            const std::string line = pending_.substr(0, newline);
            pending_.erase(0, newline + 1);
            run(line);
        }
    }

    void run(const std::string& line)
    {
        std::istringstream in(line);
        std::vector<std::string> words;
        for (std::string word; in >> word;)
            words.push_back(word);
        if (words.empty())
            return;
        const std::string& command = words[0];
        if (command == "quit" && words.size() == 1) {
            notifier_.setEnabled(false);
            QCoreApplication::quit();
        } else if (command == "help" && words.size() == 1) {
            std::fputs(commandHelp, stdout);
            std::fflush(stdout);
        } else if (command == "dump" && words.size() == 1) {
            std::fputs(bus_.dump().toStdString().c_str(), stdout);
            std::fflush(stdout);
        } else if ((command == "press" || command == "say") && words.size() == 3) {
            stimulate(command, words[1], words[2]);
        } else {
            printError("unknown command \"" + line + "\" (try help)");
        }
    }

    void stimulate(const std::string& command, const std::string& panelText, const std::string& numberText)
    {
        const std::optional<int> address = parseNumber(panelText, 16);
        if (!address || *address < 0 || *address > 0xFE) {
            printError("PANEL is a panel address in hex, 00..FE, not \"" + panelText + "\"");
            return;
        }
        const std::optional<std::size_t> panel = bus_.bus().panelIndex(*address);
        if (!panel) {
            printError("no panel has the address " + tarvenix::byteToHex(*address));
            return;
        }
        const std::optional<int> number = parseNumber(numberText, 10);
        if (!number) {
            printError("\"" + numberText + "\" is not a number");
            return;
        }
        const QString error = command == "press" ? bus_.press(*panel, *number) : bus_.say(*panel, *number);
        if (!error.isEmpty())
            printError(error.toStdString());
    }

    VirtualBus& bus_;
    QSocketNotifier notifier_;
    std::string pending_;
};

} // namespace

int main(int argc, char** argv)
{
    CLI::App cli{"Panels on a virtual serial bus. Prints \"device: /dev/pts/N\" (the port for the program to open), "
                 "then one line per frame and event. Reads commands from standard input:\n"
                 + std::string(commandHelp)};
    int panelCount = 1;
    std::string firstAddress = "01";
    int mode = 0;
    int gapMs = tarvenix::sim::defaultIdleGapMs;
    cli.add_option("--panels", panelCount, "number of panels on the bus")->check(CLI::Range(1, 255));
    cli.add_option("--address", firstAddress,
                   "address of the first panel, two hex digits 00..FE; further panels take the following addresses")
        ->capture_default_str();
    cli.add_option("--mode", mode, "key code mode of every panel: 0 custom A, 1 custom AB, 2 fixed A, 3 fixed AB, 4 Modbus")
        ->check(CLI::Range(0, 4))
        ->capture_default_str();
    cli.add_option("--gap", gapMs,
                   "quiet time in ms that ends a row frame; keep it below the program's 8 ms pause after a frame")
        ->check(CLI::Range(1, 100))
        ->capture_default_str();
    CLI11_PARSE(cli, argc, argv);

    BusOptions options;
    options.panelCount = panelCount;
    options.mode = mode;
    const std::optional<int> address = parseNumber(firstAddress, 16);
    if (!address || *address < 0 || *address > 0xFE) {
        printError("--address takes two hex digits 00..FE, not \"" + firstAddress + "\"");
        return 2;
    }
    options.firstAddress = *address;
    if (options.firstAddress + panelCount - 1 > 0xFE) {
        printError("the addresses of " + std::to_string(panelCount) + " panels from " + tarvenix::byteToHex(*address)
                   + " run beyond FE");
        return 2;
    }

    QCoreApplication app(argc, argv);
    VirtualBus bus(options, gapMs);
    if (!bus.open()) {
        printError(bus.errorText().toStdString());
        return 1;
    }
    printLine("device: " + bus.devicePath().toStdString());
    QObject::connect(&bus, &VirtualBus::logLine, [](const QString& line) { printLine(line.toStdString()); });
    CommandReader reader(bus);
    return app.exec();
}
