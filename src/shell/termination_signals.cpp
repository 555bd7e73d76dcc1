#include "termination_signals.h"

#include <QWidget>

#ifndef _WIN32
#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace tarvenix {

#ifndef _WIN32
namespace {

int signalPipe[2] = {-1, -1};

extern "C" void onTerminationSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto n = ::write(signalPipe[1], &byte, 1); // async-signal-safe
}

} // namespace

void catchTerminationSignals()
{
    if (signalPipe[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        return;
    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

void closeWindowOnTerminationSignals(QWidget* window)
{
    catchTerminationSignals();
    if (signalPipe[0] < 0)
        return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, window);
    QObject::connect(notifier, &QSocketNotifier::activated, window, [window] {
        char byte;
        [[maybe_unused]] const auto n = ::read(signalPipe[0], &byte, 1);
        window->close();
    });
}
#else
void catchTerminationSignals() {}

void closeWindowOnTerminationSignals(QWidget*)
{
    // Windows ends a GUI program through WM_CLOSE / WM_ENDSESSION, which Qt
    // already turns into a close of the window.
}
#endif

} // namespace tarvenix
