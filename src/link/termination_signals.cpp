#include "termination_signals.h"

#include <QSocketNotifier>

#ifndef _WIN32
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace tarvenix {

#ifndef _WIN32
namespace {

int signalPipe[2] = {-1, -1};
bool caught = false;
struct sigaction previousInt = {};
struct sigaction previousTerm = {};

extern "C" void onTerminationSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto n = ::write(signalPipe[1], &byte, 1); // async-signal-safe
}

bool ensurePipe()
{
    return signalPipe[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) == 0;
}

void install(struct sigaction* oldInt, struct sigaction* oldTerm)
{
    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, oldInt);
    sigaction(SIGTERM, &action, oldTerm);
}

} // namespace

void catchTerminationSignals()
{
    if (caught || !ensurePipe())
        return;
    caught = true;
    install(nullptr, nullptr);
}

TerminationSignals::TerminationSignals(std::function<void()> onSignal) : onSignal_(std::move(onSignal))
{
    if (!ensurePipe())
        return;
    install(&previousInt, &previousTerm);
    notifier_ = std::make_unique<QSocketNotifier>(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] {
        char byte;
        [[maybe_unused]] const auto n = ::read(signalPipe[0], &byte, 1);
        onSignal_();
    });
}

TerminationSignals::~TerminationSignals()
{
    if (!notifier_)
        return;
    notifier_.reset();
    sigaction(SIGINT, &previousInt, nullptr);
    sigaction(SIGTERM, &previousTerm, nullptr);
}
#else
// Windows ends a GUI program through WM_CLOSE / WM_ENDSESSION, which Qt turns
// into a close of the window, and a console program on Ctrl+C by itself.
void catchTerminationSignals() {}
TerminationSignals::TerminationSignals(std::function<void()> onSignal) : onSignal_(std::move(onSignal)) {}
TerminationSignals::~TerminationSignals() = default;
#endif

} // namespace tarvenix
