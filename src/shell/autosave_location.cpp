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

QString chooseAutosavePath(const QString& programDir, const QString& userDir)
{
    const QString beside = programDir + QLatin1Char('/') + autosaveFileName;
    if (canKeepFileAt(beside) || userDir.isEmpty())
        return QDir::toNativeSeparators(beside);
    QDir().mkpath(userDir);
    return QDir::toNativeSeparators(userDir + QLatin1Char('/') + autosaveFileName);
}

} // namespace tarvenix
