#pragma once
// SIGTERM and SIGINT (a desktop logout, Ctrl+C in the terminal) end the
// program the orderly way: the handler only notes the signal, and the event
// loop runs what the program asked for (closing the window, so that the
// form is saved; ending a monitor, so that its last window is printed).

#include <functional>
#include <memory>

class QSocketNotifier;

namespace tarvenix {

// Call first thing in main() of a program that wants to end orderly: a
// signal that comes while it is still starting is kept until a
// TerminationSignals object listens.
void catchTerminationSignals();

class TerminationSignals {
public:
    // onSignal runs in the event loop, never inside the signal handler.
    explicit TerminationSignals(std::function<void()> onSignal);
    ~TerminationSignals(); // the signals get their former handling back
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

private:
    std::unique_ptr<QSocketNotifier> notifier_;
    std::function<void()> onSignal_;
};

} // namespace tarvenix
