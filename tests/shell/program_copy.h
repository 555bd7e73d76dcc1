#pragma once
// The real window program, copied into a folder of its own (so that its
// autosave file lands there) and run offscreen as a process.

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>

namespace tarvenix::test {

class ProgramCopy {
public:
    QString dir() const { return dir_.path(); }
    QProcess& process() { return process_; }

    bool start(const QStringList& arguments = {})
    {
        const QString program = dir_.path() + "/tarvenix";
        if (!QFile::copy(QStringLiteral(TARVENIX_APP), program))
            return false;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("ASAN_OPTIONS", "detect_leaks=0");
        process_.setProcessEnvironment(env);
        process_.start(program, arguments);
        return process_.waitForStarted();
    }

    // Whether the program has its SIGTERM handler in place.
    bool catchesTerm()
    {
        QFile status(QStringLiteral("/proc/%1/status").arg(process_.processId()));
        if (!status.open(QIODevice::ReadOnly))
            return false;
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("SigCgt:"))
                return ((line.mid(7).trimmed().toULongLong(nullptr, 16) >> (SIGTERM - 1)) & 1) != 0;
        }
        return false;
    }

    // Ends it the way a desktop logout does, once it can take the signal;
    // true when it exited by itself with status 0.
    bool terminate()
    {
        for (int i = 0; i < 500 && !catchesTerm(); ++i)
            QThread::msleep(10);
        ::kill(static_cast<pid_t>(process_.processId()), SIGTERM);
        return process_.waitForFinished(10000) && process_.exitStatus() == QProcess::NormalExit
            && process_.exitCode() == 0;
    }

private:
    QTemporaryDir dir_;
    QProcess process_;
};

} // namespace tarvenix::test
