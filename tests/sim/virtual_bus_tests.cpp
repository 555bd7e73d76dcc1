// The virtual bus on its own pseudo-terminal, with the program's real serial
// link at the other end: the frames go out the way the window sends them.
#include "sim/virtual_bus.h"

#include "commands/command_table.h"
#include "learning/table_plans.h"
#include "link/event_loop_pauser.h"
#include "link/reply_decoder.h"
#include "link/serial_link.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace tarvenix::sim {
namespace {

struct AlwaysOk : Prompter {
    bool ask(std::string_view, std::string_view, Buttons) override { return true; }
};

template <typename Predicate>
bool waitUntil(Predicate done, int maxMs = 3000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < maxMs)
        QTest::qWait(2);
    return done();
}

// A bus, the program's link opened on it, and what each side saw.
struct Bench {
    explicit Bench(const BusOptions& options = {}) : bus(std::make_unique<VirtualBus>(options))
    {
        clock.start();
        QObject::connect(bus.get(), &VirtualBus::logLine, &link, [this](const QString& line) {
            log.push_back(line.toStdString());
        });
        QObject::connect(&link, &SerialLink::bytesReceived, &link, [this](const QByteArray& bytes) {
            for (char byte : bytes) {
                received.push_back(static_cast<std::uint8_t>(byte));
                arrivalMs.push_back(clock.elapsed());
            }
        });
        opened = bus->open() && link.open(bus->devicePath(), 9600);
    }

    void send(std::string_view frame) { sendFrame(frame, link, pauser); }

    bool logged(const std::string& line) const
    {
        return std::find(log.begin(), log.end(), line) != log.end();
    }

    std::unique_ptr<VirtualBus> bus;
    SerialLink link;
    EventLoopPauser pauser;
    QElapsedTimer clock;
    std::vector<std::string> log;
    Bytes received;
    std::vector<qint64> arrivalMs;
    bool opened = false;
};

std::string frameOf(PanelCommand command)
{
    return std::string(commandDefinition(command).frame);
}

TEST(VirtualBus, AnswersReadInformationWithinTheReplyWindow)
{
    Bench bench(BusOptions{.firstAddress = 0x01, .mode = 2});
    ASSERT_TRUE(bench.opened) << bench.bus->errorText().toStdString() << bench.link.errorText().toStdString();
    bench.send(frameOf(PanelCommand::EnterConfig));
    bench.send(frameOf(PanelCommand::ReadInfo));
    ASSERT_TRUE(waitUntil([&] { return bench.received.size() >= 4; }));
    EXPECT_EQ(spacedHex(bench.received), "01 77 88 02");
    EXPECT_TRUE(bench.logged("enter configuration (panels 01)"));
    EXPECT_TRUE(bench.logged("read information (panels 01)"));
    EXPECT_TRUE(bench.logged("sent 01 77 88 02 (panel 01, information reply)"));
}

TEST(VirtualBus, TwoAnsweringPanelsFillOneReplyWindow)
{
    Bench bench(BusOptions{.panelCount = 2});
    ASSERT_TRUE(bench.opened);
    bench.send(frameOf(PanelCommand::EnterConfig));
    bench.send(frameOf(PanelCommand::ReadInfo));
    ASSERT_TRUE(waitUntil([&] { return bench.received.size() >= 8; }));
    EXPECT_EQ(spacedHex(bench.received), "01 77 88 00 02 77 88 00");
    EXPECT_LT(bench.arrivalMs.back() - bench.arrivalMs.front(), replyWindowMs);
}

TEST(VirtualBus, StoresAKeyTableWrittenByThePlanAndAPressSendsItsData)
{
    Bench bench;
    ASSERT_TRUE(bench.opened);
    bench.send(frameOf(PanelCommand::EnterConfig));

    KeyTable rows{};
    rows[2] = {2, 1, "12 34 AB"};
    rows[4] = {2, 0, "01"};
    rows[6] = {2, 1, "CD"};
    const TableWritePlan write = keyTableWritePlan(rows);
    ASSERT_TRUE(write.plan.has_value());
    AlwaysOk ok;
    PlanHost host{bench.link, bench.pauser, ok};
    ASSERT_EQ(runPlan(*write.plan, host), PlanOutcome::Completed);
    QTest::qWait(20);

    EXPECT_TRUE(bench.logged("key table end: 3 rows stored (panels 01)")) << bench.bus->dump().toStdString();
    const std::string dump = bench.bus->dump().toStdString();
    EXPECT_NE(dump.find("key table: 3 rows\n"
                        "    key row 3: key 2 on, data 12 34 AB\n"
                        "    key row 5: key 2 off, data 01\n"
                        "    key row 7: key 2 on, data CD\n"),
              std::string::npos)
        << dump;

    EXPECT_TRUE(bench.bus->press(0, 2).isEmpty());
    ASSERT_TRUE(waitUntil([&] { return bench.received.size() >= 4; }));
    EXPECT_EQ(spacedHex(bench.received), "12 34 AB CD");
    EXPECT_GE(bench.arrivalMs[3] - bench.arrivalMs[0], 25) << "the panel's interval of 30 ms between data items";
    EXPECT_FALSE(bench.bus->bus().panels()[0].configuring);
}

TEST(VirtualBus, LogsWhatIsNoFrame)
{
    Bench bench;
    ASSERT_TRUE(bench.opened);
    bench.link.writeBytes({0x12, 0x34});
    ASSERT_TRUE(waitUntil([&] { return !bench.log.empty(); }));
    EXPECT_EQ(bench.log, std::vector<std::string>{"malformed frame: 12 34 (no frame start FD)"});
    EXPECT_TRUE(bench.bus->press(0, 9).contains("1..8"));
}

TEST(VirtualBus, GoesAwayCleanlyWhileTheProgramHoldsThePortAndDataIsQueued)
{
    Bench bench;
    ASSERT_TRUE(bench.opened);
    for (const char* frame : {"FD66666666AAAAAACF", "FD66666666AAABA1CF", "FDCF011101", "FDCF021102",
                              "FD66666666AAABB1CF"})
        bench.send(frame);
    QTest::qWait(10);
    bench.bus->press(0, 1); // the first item goes out, the second waits 30 ms
    QSignalSpy lost(&bench.link, &SerialLink::portLost);
    bench.bus.reset();
    EXPECT_TRUE(lost.wait(2000)) << "the program sees its line go away";
    EXPECT_FALSE(bench.link.isOpen());
    QTest::qWait(50); // the queued item's timer died with the bus
}

} // namespace
} // namespace tarvenix::sim
