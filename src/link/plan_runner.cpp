#include "plan_runner.h"

#include <type_traits>

namespace tarvenix {

bool sendFrame(std::string_view frameText, FrameWriter& writer, Pauser& pauser)
{
    if (!writer.writeBytes(frameTextToBytes(frameText)))
        return false;
    pauser.pause(static_cast<int>(frameText.size()));
    return true;
}

namespace {

bool aborted(const PlanHost& host)
{
    return host.abort && *host.abort;
}

void setProgress(PlanHost& host, int position)
{
    if (host.progress)
        host.progress->setProgress(position);
}

} // namespace

PlanOutcome runPlan(const Plan& plan, PlanHost& host)
{
    const bool reportsFailures = !plan.writeFailedText.empty();
    if (reportsFailures && !host.writer.isOpen()) {
        host.prompter.tell(plan.portClosedText, infoCaption, Buttons::Ok);
        return PlanOutcome::PortClosed;
    }
    for (const PlanStep& step : plan.steps) {
        if (aborted(host))
            return PlanOutcome::Aborted;
        PlanOutcome stop = PlanOutcome::Completed;
        std::visit(
            [&](const auto& s) {
                using S = std::decay_t<decltype(s)>;
                if constexpr (std::is_same_v<S, ConfirmStep>) {
                    if (!host.prompter.ask(s.text, s.caption, Buttons::OkCancel))
                        stop = PlanOutcome::Cancelled;
                } else if constexpr (std::is_same_v<S, NotifyStep>) {
                    host.prompter.tell(s.text, s.caption, s.buttons);
                } else if constexpr (std::is_same_v<S, PauseStep>) {
                    host.pauser.pause(s.milliseconds);
                } else if constexpr (std::is_same_v<S, SendStep>) {
                    if (!sendFrame(s.frame, host.writer, host.pauser) && reportsFailures)
                        stop = PlanOutcome::WriteFailed;
                } else if constexpr (std::is_same_v<S, ProgressStep>) {
                    setProgress(host, s.position);
                }
            },
            step);
        if (stop == PlanOutcome::WriteFailed) {
            setProgress(host, 0);
            host.prompter.tell(plan.writeFailedText, infoCaption, Buttons::Ok);
            return stop;
        }
        if (stop != PlanOutcome::Completed)
            return stop;
    }
    return aborted(host) ? PlanOutcome::Aborted : PlanOutcome::Completed;
}

} // namespace tarvenix
