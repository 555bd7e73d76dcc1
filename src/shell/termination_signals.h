#pragma once
// SIGTERM and SIGINT (a desktop logout, Ctrl+C in the terminal) close the
// window the normal way, so that everything done at close still happens.

class QWidget;

namespace tarvenix {

void closeWindowOnTerminationSignals(QWidget* window);

} // namespace tarvenix
