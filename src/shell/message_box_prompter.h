#pragma once
// The modal OK / OK-Cancel box of every confirmation and notice.

#include "link/plan_runner.h"

class QWidget;

namespace tarvenix {

class MessageBoxPrompter : public Prompter {
public:
    explicit MessageBoxPrompter(QWidget* parent) : parent_(parent) {}
    // No icon; Esc and the close button count as Cancel.
    bool ask(std::string_view text, std::string_view caption, Buttons buttons) override;

private:
    QWidget* parent_;
};

} // namespace tarvenix
