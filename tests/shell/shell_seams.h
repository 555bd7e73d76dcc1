#pragma once
// The two seams the window tests replace: the modal question and the pause.

#include "link/plan_runner.h"

#include <functional>
#include <string>
#include <vector>

namespace tarvenix::test {

struct Asked {
    std::string text;
    std::string caption;
    Buttons buttons;
};

class ScriptedPrompter : public Prompter {
public:
    std::vector<bool> answers; // in turn; OK once used up
    std::vector<Asked> asked;
    std::function<void()> whileAsking; // runs inside the question, e.g. to edit the form

    bool ask(std::string_view text, std::string_view caption, Buttons buttons) override
    {
        asked.push_back({std::string(text), std::string(caption), buttons});
        if (whileAsking)
            whileAsking();
        const std::size_t n = asked.size() - 1;
        return n < answers.size() ? answers[n] : true;
    }

    std::vector<std::string> texts() const
    {
        std::vector<std::string> out;
        for (const auto& a : asked)
            out.push_back(a.text);
        return out;
    }
};

class RecordingPauser : public Pauser {
public:
    std::vector<int> pauses;
    std::function<void(int)> onPause;
    void pause(int milliseconds) override
    {
        pauses.push_back(milliseconds);
        if (onPause)
            onPause(milliseconds);
    }
};

} // namespace tarvenix::test
