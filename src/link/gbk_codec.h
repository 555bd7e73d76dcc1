#pragma once
// The one place where texts cross between the window (QString) and the core
// (GBK bytes, as the panels' files and byte counts have always used). The
// conversion itself, and what a broken or unencodable character becomes, is
// the one in gbk_bytes.h.

#include <QString>
#include <string>
#include <string_view>

namespace tarvenix {

std::string toGbk(const QString& text);
QString fromGbk(std::string_view gbk);

// Whether every character of the text has a GBK form.
bool isGbkEncodable(const QString& text);

} // namespace tarvenix
