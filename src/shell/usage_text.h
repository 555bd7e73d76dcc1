#pragma once
// The instructions shown on the third tab, character for character as the
// installers know them (Windows line ends included).

#include <QString>

namespace tarvenix {

QString usageText();

} // namespace tarvenix
