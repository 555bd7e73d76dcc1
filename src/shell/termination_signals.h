#pragma once
// SIGTERM and SIGINT (a desktop logout, Ctrl+C in the terminal) close the
// window the normal way, so that everything done at close still happens.

class QWidget;

namespace tarvenix {

// Call first thing in main(): a signal that comes while the program is still
// starting is kept and acted on once the window exists.
void catchTerminationSignals();
void closeWindowOnTerminationSignals(QWidget* window);

} // namespace tarvenix
