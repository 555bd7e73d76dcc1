#include "link/plan_runner.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace tarvenix {
namespace {

// One log for the whole world, so that the order of events can be checked.
struct World : FrameWriter, Pauser, Prompter, ProgressSink {
    bool open = true;
    bool writeSucceeds = true;
    std::vector<bool> answers; // in turn; OK once used up
    std::function<void()> onPause;

    std::vector<std::string> log;
    std::vector<Bytes> written;
    int writeAttempts = 0;

    bool isOpen() const override { return open; }
    bool writeBytes(const Bytes& bytes) override
    {
        ++writeAttempts;
        if (!open || !writeSucceeds)
            return false;
        written.push_back(bytes);
        log.push_back("write " + std::to_string(bytes.size()));
        return true;
    }
    void pause(int milliseconds) override
    {
        log.push_back("pause " + std::to_string(milliseconds));
        if (onPause)
            onPause();
    }
    bool ask(std::string_view text, std::string_view caption, Buttons buttons) override
    {
        log.push_back("ask " + std::string(text) + " | " + std::string(caption)
                      + (buttons == Buttons::Ok ? " | Ok" : " | OkCancel"));
        const std::size_t n = asked++;
        return n < answers.size() ? answers[n] : true;
    }
    void setProgress(int position) override { log.push_back("progress " + std::to_string(position)); }

    std::size_t asked = 0;
};

PlanOutcome run(const Plan& plan, World& world, const bool* abort = nullptr)
{
    PlanHost host{world, world, world, &world, abort};
    return runPlan(plan, host);
}

Plan reportingPlan(std::vector<PlanStep> steps)
{
    return Plan{std::move(steps), "port closed", "write failed"};
}

TEST(SendFrame, WritesTheBytesThenPausesOneMillisecondPerCharacter)
{
    struct Case {
        std::string text;
        Bytes bytes;
    };
    for (const Case& c : {Case{"FD66666666AAAAAACF", {0xFD, 0x66, 0x66, 0x66, 0x66, 0xAA, 0xAA, 0xAA, 0xCF}},
                          Case{"F", {0xF0}},
                          Case{"FD CF", {0xFD, 0x0C, 0xF0}}}) {
        World world;
        EXPECT_TRUE(sendFrame(c.text, world, world));
        EXPECT_EQ(world.written, std::vector<Bytes>{c.bytes}) << c.text;
        EXPECT_EQ(world.log.back(), "pause " + std::to_string(c.text.size())) << c.text;
    }
}

TEST(SendFrame, AFailedWriteDoesNotPause)
{
    for (bool open : {false, true}) {
        World world;
        world.open = open;
        world.writeSucceeds = false;
        EXPECT_FALSE(sendFrame("FD66666666AAAAAACF", world, world));
        EXPECT_EQ(world.writeAttempts, 1);
        EXPECT_TRUE(world.log.empty());
    }
}

TEST(RunPlan, AFailedWriteStopsAtOnceResetsTheBarAndSaysSo)
{
    World world;
    world.writeSucceeds = false;
    const Plan plan = reportingPlan({ProgressStep{30}, SendStep{"FD"}, PauseStep{200}, SendStep{"CF"}});
    EXPECT_EQ(run(plan, world), PlanOutcome::WriteFailed);
    EXPECT_EQ(world.writeAttempts, 1);
    EXPECT_EQ(world.log, (std::vector<std::string>{"progress 30", "progress 0", "ask write failed | 信息： | Ok"}));
}

TEST(RunPlan, AClosedPortRefusesAReportingPlanBeforeItsFirstStep)
{
    World world;
    world.open = false;
    const Plan plan = reportingPlan({ConfirmStep{"go?", "c"}, ProgressStep{10}, SendStep{"FD"}});
    EXPECT_EQ(run(plan, world), PlanOutcome::PortClosed);
    EXPECT_EQ(world.writeAttempts, 0);
    EXPECT_EQ(world.log, std::vector<std::string>{"ask port closed | 信息： | Ok"});
}

TEST(RunPlan, APlanWithoutFailureTextsDropsFramesSilentlyAndRunsOn)
{
    for (bool open : {false, true}) {
        World world;
        world.open = open;
        world.writeSucceeds = false;
        const Plan plan{{ConfirmStep{"go?", "c"}, PauseStep{50}, SendStep{"FD"}, ProgressStep{7}}, "", ""};
        EXPECT_EQ(run(plan, world), PlanOutcome::Completed);
        EXPECT_EQ(world.writeAttempts, 1);
        EXPECT_EQ(world.log, (std::vector<std::string>{"ask go? | c | OkCancel", "pause 50", "progress 7"}));
    }
}

TEST(RunPlan, OnlyOkAtAConfirmationGoesOn)
{
    World world;
    world.answers = {false};
    const Plan plan = reportingPlan({SendStep{"AA"}, ConfirmStep{"go?", "c"}, SendStep{"BB"}, ProgressStep{1}});
    EXPECT_EQ(run(plan, world), PlanOutcome::Cancelled);
    EXPECT_EQ(world.written, std::vector<Bytes>{{0xAA}});
    EXPECT_EQ(world.log.back(), "ask go? | c | OkCancel");
}

TEST(RunPlan, TheAnswerToANoticeIsNotUsed)
{
    World world;
    world.answers = {false};
    const Plan plan = reportingPlan({NotifyStep{"done", "c", Buttons::OkCancel}, ProgressStep{0}});
    EXPECT_EQ(run(plan, world), PlanOutcome::Completed);
    EXPECT_EQ(world.log, (std::vector<std::string>{"ask done | c | OkCancel", "progress 0"}));
}

TEST(RunPlan, TheAbortFlagStopsBeforeTheNextStep)
{
    World world;
    bool abort = false;
    world.onPause = [&] { abort = true; }; // the window closes inside the pause
    const Plan plan = reportingPlan({SendStep{"AA"}, PauseStep{200}, SendStep{"BB"}, ProgressStep{100}});
    EXPECT_EQ(run(plan, world, &abort), PlanOutcome::Aborted);
    // The sender's own pause after AA already raised the flag.
    EXPECT_EQ(world.log, (std::vector<std::string>{"write 1", "pause 2"}));

    World idle;
    bool already = true;
    EXPECT_EQ(run(reportingPlan({ProgressStep{5}}), idle, &already), PlanOutcome::Aborted);
    EXPECT_TRUE(idle.log.empty());
}

TEST(RunPlan, AnAbortDuringTheLastStepStillCountsAsAborted)
{
    World world;
    bool abort = false;
    world.onPause = [&] { abort = true; };
    EXPECT_EQ(run(reportingPlan({PauseStep{10}}), world, &abort), PlanOutcome::Aborted);
}

} // namespace
} // namespace tarvenix
