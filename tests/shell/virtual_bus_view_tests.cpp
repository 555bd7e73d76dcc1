// The window against the virtual panel bus, the way the demo runs it: every
// button answered by panels that keep what they are told.
#include "shell/main_window.h"
#include "shell/receive_view.h"
#include "shell/program_copy.h"
#include "shell/shell_seams.h"
#include "sim/virtual_bus.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>


namespace tarvenix {
namespace {

class BusView : public ::testing::Test {
protected:
    void start(int panels)
    {
        sim::BusOptions options;
        options.panelCount = static_cast<std::size_t>(panels);
        bus = std::make_unique<sim::VirtualBus>(options);
        ASSERT_TRUE(bus->open());
        w = std::make_unique<MainWindow>(sandbox.seams(&prompter));
        w->controls().portEdit->setText(bus->devicePath());
        w->controls().baudEdit->setText("9600");
        w->openSerialPort();
        ASSERT_TRUE(w->controls().keyWriteButton->isEnabled());
    }
    QString box() const { return w->controls().receiveBox->toPlainText(); }
    void settle(int ms = 100) { QTest::qWait(ms); }

    test::Sandbox sandbox;
    test::ScriptedPrompter prompter;
    std::unique_ptr<sim::VirtualBus> bus;
    std::unique_ptr<MainWindow> w;
};

TEST_F(BusView, ReadInformationFromOnePanelIsDecoded)
{
    start(1);
    w->controls().enterConfigButton->click();
    w->controls().readInfoButton->click();
    settle();
    EXPECT_TRUE(box().endsWith(QStringLiteral("01 77 88 00 \n面板地址为：01\n面板按键模式为：自定义A码\n"))) << box().toStdString();
}

TEST_F(BusView, TwoPanelsInTheConfigurationStateCollide)
{
    start(2);
    w->controls().enterConfigButton->click();
    w->controls().readInfoButton->click();
    settle();
    EXPECT_EQ(box(), QStringLiteral("01 77 88 00 02 77 88 00 \n"));
}

TEST_F(BusView, SetAddressAndModeThenReadThemBack)
{
    start(1);
    w->controls().enterConfigButton->click();
    w->controls().addressCombo->setCurrentIndex(0x2A);
    w->controls().addressButton->click();
    w->controls().modeCombo->setCurrentIndex(3);
    w->controls().modeButton->click();
    w->controls().modeCombo->setCurrentIndex(0);
    w->controls().readInfoButton->click();
    settle();
    EXPECT_TRUE(box().endsWith(QStringLiteral("2A 77 88 03 \n面板地址为：2A\n面板按键模式为：固定AB码\n"))) << box().toStdString();
    EXPECT_EQ(w->controls().modeCombo->currentIndex(), 3);
}

TEST_F(BusView, AWrittenKeyTableIsKeptAndAPressSendsTheLearnedData)
{
    start(1);
    const auto& ui = w->controls();
    ui.keyRowKeyCombo[2]->setCurrentIndex(2);
    ui.keyRowStateCombo[2]->setCurrentIndex(1);
    ui.keyRowDataEdit[2]->setText("12 34 AB");
    ui.keyRowKeyCombo[47]->setCurrentIndex(8);
    ui.keyRowStateCombo[47]->setCurrentIndex(0);
    ui.keyRowDataEdit[47]->setText("01");
    ui.enterConfigButton->click();
    ui.keyWriteButton->click();
    EXPECT_EQ(prompter.asked.back().text, "写入完成");
    const QString dump = bus->dump();
    EXPECT_TRUE(dump.contains("12 34 AB")) << dump.toStdString();
    EXPECT_TRUE(dump.contains("01")) << dump.toStdString();

    ui.clearButton->click();
    ASSERT_TRUE(bus->press(0, 2).isEmpty()); // key 2 goes on: row 3 is learned for "on"
    settle(150);
    EXPECT_EQ(box(), QStringLiteral("12 34 AB \n"));
}

TEST(Demo, RunsAgainstTheVirtualBusAndLeavesTheAutosaveFileAlone)
{
    test::ProgramCopy program;
    ASSERT_TRUE(program.start({"--demo"}));
    // Still running means the window is up with the virtual bus open.
    EXPECT_FALSE(program.process().waitForFinished(2500)) << program.process().readAllStandardError().toStdString();
    EXPECT_TRUE(program.terminate()) << program.process().readAllStandardError().toStdString();
    EXPECT_FALSE(QFile::exists(program.dir() + QStringLiteral("/配置.vkt")));
}

} // namespace
} // namespace tarvenix
