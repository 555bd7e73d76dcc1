#pragma once
// A stand-in for everything a plan touches (serial line, pause, message box,
// progress bar) that answers as told and keeps one ordered log, so a test can
// read back what the panels and the user would have seen.

#include "link/plan_runner.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarvenix::test {

struct Question {
    std::string text;
    std::string caption;
    Buttons buttons;
    bool operator==(const Question&) const = default;
};

class RecordingWorld : public FrameWriter, public Pauser, public Prompter, public ProgressSink {
public:
    // How the world behaves.
    bool open = true;
    int failingWrite = 0;     // the 1-based write that fails; 0: none fails
    std::vector<bool> answers; // answers to the questions in turn; OK once used up

    // What happened. log holds one line per event, in order:
    // "ask <text>", "pause <ms>", "write <hex>", "progress <n>".
    std::vector<std::string> log;
    std::vector<std::string> frames; // each written frame as upper-case hex
    std::vector<int> pauses;
    std::vector<int> progress;
    std::vector<Question> questions;

    PlanOutcome run(const Plan& plan)
    {
        PlanHost host{*this, *this, *this, this, nullptr};
        return runPlan(plan, host);
    }

    bool isOpen() const override { return open; }

    bool writeBytes(const Bytes& bytes) override
    {
        ++writes_;
        if (!open || writes_ == failingWrite)
            return false;
        static constexpr char digits[] = "0123456789ABCDEF";
        std::string hex;
        for (std::uint8_t b : bytes) {
            hex += digits[b >> 4];
            hex += digits[b & 0xF];
        }
        frames.push_back(hex);
        log.push_back("write " + hex);
        return true;
    }

    void pause(int milliseconds) override
    {
        pauses.push_back(milliseconds);
        log.push_back("pause " + std::to_string(milliseconds));
    }

    bool ask(std::string_view text, std::string_view caption, Buttons buttons) override
    {
        questions.push_back(Question{std::string(text), std::string(caption), buttons});
        log.push_back("ask " + std::string(text));
        const std::size_t n = questions.size() - 1;
        return n < answers.size() ? answers[n] : true;
    }

    void setProgress(int position) override
    {
        progress.push_back(position);
        log.push_back("progress " + std::to_string(position));
    }

private:
    int writes_ = 0;
};

} // namespace tarvenix::test
