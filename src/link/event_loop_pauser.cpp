#include "event_loop_pauser.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

namespace tarvenix {

void EventLoopPauser::pause(int milliseconds)
{
    if (milliseconds <= 0)
        return;
    QElapsedTimer clock;
    clock.start();
    // A precise single shot ends a fraction of a millisecond late at worst;
    // the loop around it only matters if the timer fires early.
    for (;;) {
        if (interrupted_)
            return;
        const qint64 left = milliseconds - clock.elapsed();
        if (left <= 0)
            return;
        QEventLoop loop;
        QTimer timer;
        timer.setSingleShot(true);
        timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
        timer.start(static_cast<int>(left));
        QEventLoop* outer = running_; // pauses can nest inside one another
        running_ = &loop;
        loop.exec();
        running_ = outer;
        if (timer.isActive())
            return; // ended early: interrupted, or the application is quitting
    }
}

void EventLoopPauser::interrupt()
{
    interrupted_ = true;
    if (running_)
        running_->quit();
}

} // namespace tarvenix
