// A full 48-row key-table write over a pseudo-terminal with the real runner,
// serial port and pause: how close its wall time comes to the pauses the
// panels ask for.
#include "bench_report.h"
#include "learning/table_plans.h"
#include "link/event_loop_pauser.h"
#include "link/serial_link.h"
#include "support/pty_pair.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <atomic>
#include <thread>
#include <type_traits>

using namespace tarvenix;

namespace {

struct AlwaysOk : Prompter {
    bool ask(std::string_view, std::string_view, Buttons) override { return true; }
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    test::PtyPair pty;
    SerialLink link;
    if (!link.open(QString::fromStdString(pty.devicePath()), 115200)) {
        std::fprintf(stderr, "cannot open the pty: %s\n", qPrintable(link.errorText()));
        return 1;
    }
    KeyTable rows;
    for (int n = 0; n < learningRowCount; ++n) {
        rows[static_cast<std::size_t>(n)] = {1 + n % 8, n % 2, std::string(58, 'A')};
    }
    const Plan plan = *keyTableWritePlan(rows).plan;
    long askedMs = 0;
    for (const PlanStep& step : plan.steps) {
        if (const auto* p = std::get_if<PauseStep>(&step))
            askedMs += p->milliseconds;
        if (const auto* s = std::get_if<SendStep>(&step))
            askedMs += static_cast<long>(s->frame.size()); // the sender's pause
    }

    // The panels' side just takes everything in.
    std::atomic<bool> done{false};
    std::size_t received = 0;
    std::thread drain([&] {
        while (!done)
            received += pty.readUntilQuiet(20, 100, false).size();
    });

    EventLoopPauser pauser;
    AlwaysOk prompter;
    PlanHost host{link, pauser, prompter, nullptr, nullptr};
    QElapsedTimer wall;
    wall.start();
    const PlanOutcome outcome = runPlan(plan, host);
    const double wallMs = static_cast<double>(wall.nsecsElapsed()) / 1e6;
    done = true;
    drain.join();
    if (outcome != PlanOutcome::Completed) {
        std::fprintf(stderr, "the write did not complete\n");
        return 1;
    }
    bench::row("48-row key table write: wall time", bench::fixed(wallMs, 1) + " ms", "");
    bench::row("48-row key table write: pauses asked for", std::to_string(askedMs) + " ms", "");
    bench::row("48-row key table write: wall / pauses", bench::fixed(wallMs / static_cast<double>(askedMs), 4),
               "<= 1.02");
    bench::row("48-row key table write: bytes on the line", std::to_string(received), "");
    return 0;
}
