#include "link/event_loop_pauser.h"
#include "link/serial_link.h"
#include "support/pty_pair.h"

#include <QElapsedTimer>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace tarvenix {
namespace {

using test::bytesOf;
using test::PtyPair;
using test::spaced;

struct RecordingPauser : Pauser {
    std::vector<int> pauses;
    void pause(int ms) override { pauses.push_back(ms); }
};

TEST(SerialLink, SendFrameWritesTheBytesThenPausesOneMsPerCharacter)
{
    PtyPair pty;
    SerialLink link;
    ASSERT_TRUE(link.open(QString::fromStdString(pty.devicePath()), 9600)) << link.errorText().toStdString();
    RecordingPauser pauser;

    EXPECT_TRUE(sendFrame("FD66666666AAAAAACF", link, pauser));
    EXPECT_TRUE(sendFrame("F", link, pauser));
    EXPECT_TRUE(sendFrame("FD CF", link, pauser));
    EXPECT_TRUE(sendFrame("", link, pauser));
    EXPECT_EQ(spaced(pty.readUntilQuiet()), "FD 66 66 66 66 AA AA AA CF F0 FD 0C F0");
    EXPECT_EQ(pauser.pauses, (std::vector<int>{18, 1, 5, 0}));
}

TEST(SerialLink, ClosedPortSendsNothingAndDoesNotPause)
{
    PtyPair pty;
    SerialLink link;
    RecordingPauser pauser;
    EXPECT_FALSE(sendFrame("FD66666666AAAAAACF", link, pauser));
    EXPECT_TRUE(pauser.pauses.empty());
    EXPECT_TRUE(pty.readUntilQuiet(50).empty());
}

TEST(SerialLink, ReopensAndReportsTheLineSettings)
{
    PtyPair pty;
    SerialLink link;
    const QString path = QString::fromStdString(pty.devicePath());
    ASSERT_TRUE(link.open(path, 9600));
    ASSERT_TRUE(link.open(path, 38400)) << "an open port is closed and opened anew";
    const SerialStatus st = link.status();
    EXPECT_EQ(st.baudRate, 38400);
    EXPECT_EQ(st.dataBits, 8);
    EXPECT_EQ(st.stopBitsCode, 1);
    EXPECT_FALSE(st.parityCheck);
}

TEST(SerialLink, MissingDeviceAndHeldDeviceFailWithAReason)
{
    SerialLink link;
    EXPECT_FALSE(link.open(QStringLiteral("/dev/ttyUSB-none-here"), 9600));
    EXPECT_FALSE(link.isOpen());
    EXPECT_FALSE(link.errorText().isEmpty());

    PtyPair pty;
    QSerialPort other;
    other.setPortName(QString::fromStdString(pty.devicePath()));
    ASSERT_TRUE(other.open(QIODevice::ReadWrite));
    EXPECT_FALSE(link.open(QString::fromStdString(pty.devicePath()), 9600)) << "another program holds the port";
    EXPECT_FALSE(link.isOpen());
}

TEST(SerialLink, WritingKeepsReceivedBytesThatWereNotReadYet)
{
    PtyPair pty;
    SerialLink link;
    ASSERT_TRUE(link.open(QString::fromStdString(pty.devicePath()), 9600));
    QSignalSpy received(&link, &SerialLink::bytesReceived);
    pty.write({0x01, 0x77, 0x88, 0x02});
    QTest::qWait(30); // the reply sits in the line, not yet handed on ...
    RecordingPauser pauser;
    sendFrame("FD66666666DDDDDDCF", link, pauser); // ... when the next frame goes out
    QByteArray all;
    for (int i = 0; i < 50 && all.size() < 4; ++i) {
        QTest::qWait(10);
        all.clear();
        for (const auto& args : received)
            all += args.at(0).toByteArray();
    }
    EXPECT_EQ(all, QByteArray::fromHex("01778802"));
}

TEST(SerialLink, VanishedDeviceClosesThePort)
{
    auto pty = std::make_unique<PtyPair>();
    SerialLink link;
    ASSERT_TRUE(link.open(QString::fromStdString(pty->devicePath()), 9600));
    QSignalSpy lost(&link, &SerialLink::portLost);
    pty.reset(); // both the panels' end and the line go away
    EXPECT_TRUE(lost.wait(2000));
    EXPECT_FALSE(link.isOpen());
}

TEST(EventLoopPauser, WaitsAtLeastTheTimeAndKeepsHandlingEvents)
{
    EventLoopPauser pauser;
    bool ran = false;
    QTimer::singleShot(5, [&] { ran = true; });
    QElapsedTimer clock;
    clock.start();
    pauser.pause(30);
    EXPECT_GE(clock.elapsed(), 30);
    EXPECT_TRUE(ran) << "events run during the pause";
    clock.restart();
    pauser.pause(0);
    pauser.pause(-5);
    EXPECT_LT(clock.elapsed(), 20);
}

TEST(EventLoopPauser, InterruptEndsTheRunningPauseAndEveryLaterOne)
{
    EventLoopPauser pauser;
    QTimer::singleShot(10, [&] { pauser.interrupt(); });
    QElapsedTimer clock;
    clock.start();
    pauser.pause(2000);
    pauser.pause(2000);
    EXPECT_LT(clock.elapsed(), 1500);
}

} // namespace
} // namespace tarvenix
