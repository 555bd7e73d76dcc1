#include "autosave_location.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

namespace tarvenix {

bool canKeepFileAt(const QString& path)
{
    const QFileInfo file(path);
    if (file.exists() && (!file.isFile() || !file.isWritable()))
        return false;
    // Try it: permission bits do not tell about read-only mounts, and root
    // passes every permission test.
    QTemporaryFile probe(file.absolutePath() + QStringLiteral("/.tarvenix-probe-XXXXXX"));
    return probe.open();
}

bool isInstalledProgramDir(const QString& programDir)
{
#ifdef _WIN32
    Q_UNUSED(programDir);
    return false;
#else
    // A packaged program lives in the system's folders, which belong to no
    // single user, root included.
    const QString dir = QDir::cleanPath(programDir) + QLatin1Char('/');
    for (const char* system : {"/usr/", "/bin/", "/sbin/"}) {
        if (dir.startsWith(QLatin1String(system)))
            return true;
    }
    return false;
#endif
}

QString chooseAutosavePath(const QString& programDir, const QString& userDir)
{
    const QString beside = programDir + QLatin1Char('/') + autosaveFileName;
    const bool besideProgram = !isInstalledProgramDir(programDir) && canKeepFileAt(beside);
    if (besideProgram || userDir.isEmpty())
        return QDir::toNativeSeparators(beside);
    QDir().mkpath(userDir);
    return QDir::toNativeSeparators(userDir + QLatin1Char('/') + autosaveFileName);
}

} // namespace tarvenix
