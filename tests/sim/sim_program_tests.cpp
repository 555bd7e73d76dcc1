// tarvenix-sim as a user runs it: a process with a device on stdout and
// commands on stdin.
#include "commands/command_table.h"
#include "link/event_loop_pauser.h"
#include "link/serial_link.h"
#include "sim/frame_reader.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTest>
#include <gtest/gtest.h>

namespace tarvenix::sim {
namespace {

template <typename Predicate>
bool waitUntil(Predicate done, int maxMs = 5000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < maxMs)
        QTest::qWait(5);
    return done();
}

struct Sim {
    explicit Sim(const QStringList& arguments)
    {
        QObject::connect(&process, &QProcess::readyReadStandardOutput, [this] { out += process.readAllStandardOutput(); });
        QObject::connect(&process, &QProcess::readyReadStandardError, [this] { err += process.readAllStandardError(); });
        process.start(QStringLiteral(TARVENIX_SIM_PROGRAM), arguments);
    }
    ~Sim()
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(2000);
        }
    }
    bool finished(int maxMs = 5000)
    {
        return waitUntil([this] { return process.state() == QProcess::NotRunning; }, maxMs);
    }

    QProcess process;
    QString out;
    QString err;
};

TEST(SimProgram, PrintsItsDeviceAnswersTheProgramAndTakesCommands)
{
    Sim sim({"--panels", "2", "--address", "05", "--mode", "3"});
    ASSERT_TRUE(waitUntil([&] { return sim.out.contains('\n'); })) << sim.err.toStdString();
    const QString first = sim.out.section('\n', 0, 0);
    ASSERT_TRUE(first.startsWith("device: /dev/")) << first.toStdString();

    SerialLink link;
    ASSERT_TRUE(link.open(first.mid(8), 9600)) << link.errorText().toStdString();
    QByteArray received;
    QObject::connect(&link, &SerialLink::bytesReceived, [&](const QByteArray& bytes) { received += bytes; });
    EventLoopPauser pauser;
    sendFrame(commandDefinition(PanelCommand::EnterConfig).frame, link, pauser);
    sendFrame(commandDefinition(PanelCommand::ReadInfo).frame, link, pauser);
    ASSERT_TRUE(waitUntil([&] { return received.size() >= 8; }));
    EXPECT_EQ(received.toHex(' ').toUpper(), "05 77 88 03 06 77 88 03");

    sim.process.write("press 06 1\n  \npress 07 1\npress 05 9\nsay 05 0\nsay zz 1\nbogus\ndump\n");
    ASSERT_TRUE(waitUntil([&] { return sim.out.contains("key table: 0 rows") && sim.err.count('\n') >= 5; }))
        << sim.out.toStdString() << sim.err.toStdString();
    EXPECT_TRUE(sim.out.contains("read information (panels 05, 06), the answers collide\n"));
    EXPECT_TRUE(sim.out.contains("panel 06: key 1 pressed, leaves the configuration state, indicator on, 0 data items\n"));
    EXPECT_TRUE(sim.out.contains("panel 05: mode 3 (fixed AB code)"));
    EXPECT_EQ(sim.err.toStdString(),
              "error: no panel has the address 07\n"
              "error: a panel has keys 1..8, not 9\n"
              "error: phrases are 1..148, not 0\n"
              "error: PANEL is a panel address in hex, 00..FE, not \"zz\"\n"
              "error: unknown command \"bogus\" (try help)\n");

    sim.process.closeWriteChannel();
    ASSERT_TRUE(sim.finished()) << "the end of input ends the program";
    EXPECT_EQ(sim.process.exitCode(), 0);
}

TEST(SimProgram, QuitEndsIt)
{
    Sim sim({});
    ASSERT_TRUE(waitUntil([&] { return sim.out.startsWith("device: "); }));
    sim.process.write("help\nquit\n");
    ASSERT_TRUE(sim.finished());
    EXPECT_EQ(sim.process.exitCode(), 0);
    EXPECT_TRUE(sim.out.contains("press PANEL KEY"));
}

TEST(SimProgram, RefusesImpossibleOptions)
{
    const QList<QStringList> cases = {
        {"--address", "FF"}, {"--address", "1G"}, {"--mode", "5"}, {"--panels", "0"},
        {"--address", "FE", "--panels", "2"}, {"--gap", "0"}, {"--colour"},
    };
    for (const QStringList& arguments : cases) {
        Sim sim(arguments);
        ASSERT_TRUE(sim.finished()) << arguments.join(' ').toStdString();
        EXPECT_NE(sim.process.exitCode(), 0) << arguments.join(' ').toStdString();
        EXPECT_FALSE(sim.err.isEmpty()) << arguments.join(' ').toStdString();
        EXPECT_FALSE(sim.out.contains("device:")) << arguments.join(' ').toStdString();
    }
}

TEST(SimProgram, HelpExplainsThePanelAddress)
{
    Sim sim({"--help"});
    ASSERT_TRUE(sim.finished());
    EXPECT_EQ(sim.process.exitCode(), 0);
    EXPECT_TRUE(sim.out.contains("PANEL (hex")) << sim.out.toStdString();
    EXPECT_TRUE(sim.out.contains("--gap")) << sim.out.toStdString();
}

} // namespace
} // namespace tarvenix::sim
