// How precisely the pause between frames ends, and what it costs.
#include "bench_report.h"
#include "link/event_loop_pauser.h"

#include <QCoreApplication>
#include <QElapsedTimer>

using namespace tarvenix;

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    EventLoopPauser pauser;
    for (int n : {1, 18, 50, 200}) {
        std::vector<double> overshoot;
        const double cpuBefore = bench::cpuSeconds();
        QElapsedTimer wall;
        wall.start();
        for (int i = 0; i < 100; ++i) {
            QElapsedTimer t;
            t.start();
            pauser.pause(n);
            overshoot.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6 - n);
        }
        const double cpuMsPerSecond = (bench::cpuSeconds() - cpuBefore) * 1000.0
            / (static_cast<double>(wall.nsecsElapsed()) / 1e9);
        const std::string name = "pause " + std::to_string(n) + " ms";
        bench::row(name + ": median overshoot", bench::fixed(bench::percentile(overshoot, 50), 3) + " ms", "<= 2 ms");
        bench::row(name + ": 99th percentile overshoot", bench::fixed(bench::percentile(overshoot, 99), 3) + " ms", "");
        bench::row(name + ": CPU per second of pausing", bench::fixed(cpuMsPerSecond, 1) + " ms", "almost none");
    }
    return 0;
}
