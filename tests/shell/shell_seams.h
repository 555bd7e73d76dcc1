#pragma once
// The two seams the window tests replace: the modal question and the pause.

#include "link/plan_runner.h"
#include "support/qt_printers.h"
#include "shell/file_chooser.h"
#include "shell/main_window.h"

#include <QDir>
#include <QTemporaryDir>
#include <deque>
#include <optional>

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

// Answers the file dialog as told; nothing (Cancel) once the answers are used up.
class ScriptedFiles : public FileChooser {
public:
    std::deque<std::optional<QString>> answers;
    std::vector<std::pair<Kind, QString>> shown; // kind and the name it started with

    std::optional<QString> choose(Kind kind, const QString& startName) override
    {
        shown.emplace_back(kind, startName);
        if (answers.empty())
            return std::nullopt;
        auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

// A program folder of its own for each window, so that no test reads or
// writes another's autosave file (or the build's).
class Sandbox {
public:
    QString programDir() const { return dir_.path() + "/program"; }
    QString userDir() const { return dir_.path() + "/user"; }
    QString path(const QString& name) const { return dir_.path() + "/" + name; }

    ShellSeams seams(Prompter* prompter = nullptr, Pauser* pauser = nullptr, FileChooser* files = nullptr) const
    {
        QDir().mkpath(programDir());
        ShellSeams s;
        s.prompter = prompter;
        s.pauser = pauser;
        s.files = files;
        s.programDir = programDir();
        s.userConfigDir = userDir();
        return s;
    }

private:
    QTemporaryDir dir_;
};

} // namespace tarvenix::test
