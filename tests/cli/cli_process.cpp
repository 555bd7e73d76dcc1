#include "cli_process.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>

#include <algorithm>
#include <memory>
#include <unistd.h>

namespace tarvenix::test {

CliRun runCliProcess(const QStringList& arguments, PtyPair* pty, const Peer& peer, const std::string& input,
                     int maxMs)
{
    QProcess process;
    process.setProgram(QStringLiteral(TARVENIX_CLI));
    process.setArguments(arguments);
    process.start();
    CliRun run;
    if (!process.waitForStarted(10000)) {
        run.crashed = true;
        return run;
    }
    process.write(input.data(), static_cast<qint64>(input.size()));
    process.closeWriteChannel();

    QElapsedTimer clock;
    clock.start();
    while (process.state() != QProcess::NotRunning && clock.elapsed() < maxMs) {
        if (pty) {
            const ByteList got = pty->readUntilQuiet(1, 20, true);
            run.line.insert(run.line.end(), got.begin(), got.end());
        } else {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        run.out += process.readAllStandardOutput().toStdString();
        run.err += process.readAllStandardError().toStdString();
        if (peer) {
            PeerView view{pty, run.line, run.out, run.err, clock.elapsed(), process.processId()};
            peer(view);
        }
        process.waitForFinished(2);
    }
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(5000);
        run.crashed = true;
    }
    if (pty) {
        const ByteList rest = pty->readUntilQuiet(20, 500, true);
        run.line.insert(run.line.end(), rest.begin(), rest.end());
    }
    run.crashed = run.crashed || process.exitStatus() != QProcess::NormalExit;
    run.exitCode = process.exitCode();
    run.out += process.readAllStandardOutput().toStdString();
    run.err += process.readAllStandardError().toStdString();
    return run;
}

Peer answerOnce(ByteList trigger, ByteList reply)
{
    auto answered = std::make_shared<bool>(false);
    return [=](PeerView& view) {
        if (*answered)
            return;
        if (std::search(view.line.begin(), view.line.end(), trigger.begin(), trigger.end()) != view.line.end()) {
            view.pty->write(reply);
            *answered = true;
        }
    };
}

} // namespace tarvenix::test
