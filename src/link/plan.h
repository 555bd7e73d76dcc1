#pragma once
// A sequence for the panels as data: what to ask, how long to wait, which
// frames to send and where the progress bar stands. Pure code builds plans;
// the window and the command-line tool run them through runPlan().

#include <string>
#include <variant>
#include <vector>

namespace tarvenix {

enum class Buttons { Ok, OkCancel };

// Ask the user; only OK goes on. Texts are UTF-8.
struct ConfirmStep {
    std::string text;
    std::string caption;
};

// Tell the user something; the answer is not used.
struct NotifyStep {
    std::string text;
    std::string caption;
    Buttons buttons = Buttons::Ok;
};

struct PauseStep {
    int milliseconds = 0;
};

// Hand a frame text to the frame sender (write, then pause one millisecond
// per character of the text).
struct SendStep {
    std::string frame;
};

struct ProgressStep {
    int position = 0;
};

using PlanStep = std::variant<ConfirmStep, NotifyStep, PauseStep, SendStep, ProgressStep>;

struct Plan {
    std::vector<PlanStep> steps;
    // Empty: a frame that cannot be written is dropped without a word and the
    // plan goes on, as the panel commands always did. Otherwise the plan
    // refuses to start on a closed port (portClosedText) and stops at the
    // first failed write, resets the progress bar and shows writeFailedText.
    std::string portClosedText;
    std::string writeFailedText;
};

inline const std::string infoCaption = "信息：";

} // namespace tarvenix
