#pragma once
// Runs a Plan against the outside world. The window, the command-line tool and
// the tests provide the world; the order of things is decided here, once.

#include "hex_codec.h"
#include "plan.h"

#include <string_view>

namespace tarvenix {

// The serial line as the sender sees it.
class FrameWriter {
public:
    virtual ~FrameWriter() = default;
    virtual bool isOpen() const = 0;
    // Writes all bytes and returns once they are written; false when the port
    // is closed or the write failed. An empty sequence succeeds on an open port.
    virtual bool writeBytes(const Bytes& bytes) = 0;
};

// Waits while the program stays responsive.
class Pauser {
public:
    virtual ~Pauser() = default;
    virtual void pause(int milliseconds) = 0;
};

// The modal question. Returns true only for OK.
class Prompter {
public:
    virtual ~Prompter() = default;
    virtual bool ask(std::string_view text, std::string_view caption, Buttons buttons) = 0;
    // A message whose answer nobody uses: a notice after a write, or a failure
    // text. The window shows it like a question; a terminal need not ask.
    virtual void tell(std::string_view text, std::string_view caption, Buttons buttons)
    {
        ask(text, caption, buttons);
    }
};

class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    virtual void setProgress(int position) = 0;
};

// Converts the frame text, writes it and, when the write succeeded, pauses
// as many milliseconds as the text has characters. Returns whether it wrote.
bool sendFrame(std::string_view frameText, FrameWriter& writer, Pauser& pauser);

enum class PlanOutcome {
    Completed,  // every step ran
    Cancelled,  // the user did not confirm
    PortClosed, // refused to start on a closed port
    WriteFailed,// a frame could not be written; the sequence stopped there
    Aborted,    // the host asked to stop (the window is closing)
};

struct PlanHost {
    FrameWriter& writer;
    Pauser& pauser;
    Prompter& prompter;
    ProgressSink* progress = nullptr;
    // Checked after every step that may let other events run (pauses,
    // questions); true stops the plan without sending anything more.
    const bool* abort = nullptr;
};

PlanOutcome runPlan(const Plan& plan, PlanHost& host);

} // namespace tarvenix
