#pragma once
// The terminal as the plans see it: confirmations asked on standard error
// and answered on standard input, notices on standard output, and a
// progress bar on standard error when that is a terminal.

#include "link/plan.h"
#include "link/plan_runner.h"

#include <iosfwd>
#include <string>
#include <string_view>

namespace tarvenix::cli {

struct Console {
    std::ostream& out;
    std::ostream& err;
    std::istream& in;
    bool stderrIsTerminal = false;
    bool progressLineOpen = false; // a progress bar is drawn on the last line of err

    // Ends the progress bar's line, so that the next text starts on a line
    // of its own.
    void endProgressLine();
};

// The window's texts use CR LF between lines; a terminal wants LF.
std::string terminalText(std::string_view text);

// Answers the plan's questions. With assumeYes every confirmation is OK and
// nothing is asked. Otherwise the caption and the text go to standard error
// followed by "[y/N] ", and a line of standard input answers: y or yes (any
// case) is OK, anything else, and the end of the input, is Cancel.
class ConsolePrompter : public Prompter {
public:
    ConsolePrompter(Console& console, bool assumeYes) : console_(console), assumeYes_(assumeYes) {}

    // The plan about to run: its failure texts are kept as the reason of the
    // failure instead of being shown as notices.
    void serve(const Plan& plan);

    bool ask(std::string_view text, std::string_view caption, Buttons buttons) override;
    // Notices ("写入完成", "完成擦除") go to standard output.
    void tell(std::string_view text, std::string_view caption, Buttons buttons) override;

    // The failure text the plan reported, "" when none.
    const std::string& failure() const { return failure_; }

private:
    Console& console_;
    bool assumeYes_;
    std::string portClosedText_;
    std::string writeFailedText_;
    std::string failure_;
};

// "\r[##########          ]  52%" on standard error, redrawn on each step;
// position 0 ends the line.
class ProgressBar : public ProgressSink {
public:
    explicit ProgressBar(Console& console) : console_(console) {}
    void setProgress(int position) override;

private:
    Console& console_;
};

} // namespace tarvenix::cli
