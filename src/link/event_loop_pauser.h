#pragma once
// The pause between frames: the window keeps handling its events (received
// bytes, repaints, clicks) and the CPU stays idle.

#include "plan_runner.h"

class QEventLoop;

namespace tarvenix {

class EventLoopPauser : public Pauser {
public:
    // Returns after at least the given time, unless interrupted.
    void pause(int milliseconds) override;

    // Ends the pause that is running and makes every later one return at
    // once (the window is closing).
    void interrupt();

private:
    QEventLoop* running_ = nullptr;
    bool interrupted_ = false;
};

} // namespace tarvenix
