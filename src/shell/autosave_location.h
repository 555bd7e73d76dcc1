#pragma once
// Where the form is kept between runs: "配置.vkt" beside the program, as
// installations have always had it, unless the program's folder cannot take
// the file (an installed program on Linux); then the user's own
// configuration folder.

#include <QString>

namespace tarvenix {

inline const QString autosaveFileName = QStringLiteral("配置.vkt");

// Whether the program was installed into the system's folders (/usr/bin
// and the like), where no user's form belongs.
bool isInstalledProgramDir(const QString& programDir);

// programDir and userDir without a trailing separator. The result uses the
// platform's separators.
QString chooseAutosavePath(const QString& programDir, const QString& userDir);

// Whether a file at path can be written or created, and replaced the way a
// save replaces it (a new file beside it, then a rename).
bool canKeepFileAt(const QString& path);

} // namespace tarvenix
