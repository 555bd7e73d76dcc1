// The seven panel commands and the receive monitor in the window, over a
// pseudo-terminal whose far end plays the panels.
#include "shell/main_window.h"
#include "shell/receive_view.h"
#include "shell/shell_seams.h"
#include "support/pty_pair.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace tarvenix {
namespace {

using test::PtyPair;
using test::spaced;

class CommandsView : public ::testing::Test {
protected:
    void openPort(MainWindow& w)
    {
        w.controls().portEdit->setText(QString::fromStdString(pty.devicePath()));
        w.controls().baudEdit->setText(QStringLiteral("9600"));
        QTest::mouseClick(w.controls().startButton, Qt::LeftButton);
        ASSERT_EQ(w.controls().startButton->text(), QStringLiteral("关闭"));
    }

    PtyPair pty;
    test::Sandbox sandbox;
    test::ScriptedPrompter prompter;
    test::RecordingPauser pauser;
};

TEST_F(CommandsView, EachButtonSendsItsFrameAfterOkWithItsPause)
{
    MainWindow w(sandbox.seams(&prompter, &pauser));
    openPort(w);
    const auto& ui = w.controls();
    struct Case {
        QPushButton* button;
        QComboBox* combo;
        int index;
        const char* bytes;
        std::vector<int> pauses; // before the frame, then the sender's pause
    };
    const Case cases[] = {
        {ui.enterConfigButton, nullptr, 0, "FD 66 66 66 66 AA AA AA CF", {18}},
        {ui.readInfoButton, nullptr, 0, "FD 66 66 66 66 DD DD DD CF", {50, 18}},
        {ui.modeButton, ui.modeCombo, 0, "FD 66 66 66 66 66 66 AA CF", {50, 18}},
        {ui.modeButton, ui.modeCombo, 4, "FD 66 66 66 66 66 88 BB CF", {50, 18}},
        {ui.addressButton, ui.addressCombo, 0, "FD 66 66 66 88 DD FF 00 CF", {18}},
        {ui.addressButton, ui.addressCombo, 254, "FD 66 66 66 88 DD FF FE CF", {18}},
        {ui.baudRateButton, ui.baudRateCombo, 0, "FD 66 66 66 66 96 00 00 CF", {50, 18}},
        {ui.baudRateButton, ui.baudRateCombo, 2, "FD 66 66 66 66 11 52 00 CF", {50, 18}},
        {ui.vibrationButton, ui.vibrationCombo, 70, "FD 66 66 66 88 DD EE 46 CF", {18}},
        {ui.vibrationButton, ui.vibrationCombo, 254, "FD 66 66 66 88 DD EE FE CF", {18}},
        {ui.intervalButton, ui.intervalCombo, 30, "FD 66 66 66 88 DD CC 1E CF", {18}},
        {ui.intervalButton, ui.intervalCombo, 0, "FD 66 66 66 88 DD CC 00 CF", {18}},
    };
    for (const Case& c : cases) {
        if (c.combo)
            c.combo->setCurrentIndex(c.index);
        pauser.pauses.clear();
        prompter.asked.clear();
        QTest::mouseClick(c.button, Qt::LeftButton);
        EXPECT_EQ(spaced(pty.readUntilQuiet(60)), c.bytes) << c.button->objectName().toStdString();
        EXPECT_EQ(pauser.pauses, c.pauses) << c.bytes;
        ASSERT_EQ(prompter.asked.size(), 1u);
        EXPECT_EQ(prompter.asked[0].caption, "信息：");
        EXPECT_EQ(prompter.asked[0].buttons, Buttons::OkCancel);
    }
    EXPECT_EQ(ui.modeCombo->currentIndex(), 4) << "sending does not touch the boxes";
}

TEST_F(CommandsView, CancelSendsNothing)
{
    MainWindow w(sandbox.seams(&prompter, &pauser));
    openPort(w);
    prompter.answers = std::vector<bool>(7, false);
    for (QPushButton* b : {w.controls().enterConfigButton, w.controls().readInfoButton, w.controls().modeButton,
                           w.controls().addressButton, w.controls().baudRateButton, w.controls().vibrationButton,
                           w.controls().intervalButton})
        QTest::mouseClick(b, Qt::LeftButton);
    EXPECT_EQ(prompter.asked.size(), 7u);
    EXPECT_EQ(prompter.asked[0].text, "总线上_所有_面板将进入配置状态；");
    EXPECT_TRUE(pty.readUntilQuiet(60).empty());
    EXPECT_TRUE(pauser.pauses.empty());
}

TEST_F(CommandsView, NoSecondSequenceStartsWhileOneRuns)
{
    MainWindow w(sandbox.seams(&prompter, &pauser));
    openPort(w);
    // Inside the read command's 50 ms pause the user clicks another command.
    pauser.onPause = [&](int ms) {
        if (ms == 50) {
            EXPECT_FALSE(w.controls().enterConfigButton->isEnabled());
            EXPECT_FALSE(w.controls().startButton->isEnabled());
            w.controls().enterConfigButton->click();
        }
    };
    QTest::mouseClick(w.controls().readInfoButton, Qt::LeftButton);
    EXPECT_EQ(spaced(pty.readUntilQuiet(60)), "FD 66 66 66 66 DD DD DD CF");
    EXPECT_EQ(prompter.asked.size(), 1u);
    EXPECT_TRUE(w.controls().enterConfigButton->isEnabled()) << "buttons come back afterwards";
}

TEST(ConfirmationBox, IsTheRealBoxAndEscCancels)
{
    PtyPair pty;
    test::Sandbox sandbox;
    MainWindow w(sandbox.seams()); // the real prompter and pause
    w.controls().portEdit->setText(QString::fromStdString(pty.devicePath()));
    w.controls().baudEdit->setText(QStringLiteral("9600"));
    w.controls().startButton->click();
    QString seenText, seenCaption;
    QStringList seenButtons;
    bool hadIcon = true;
    QTimer::singleShot(50, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seenText = box->text();
        seenCaption = box->windowTitle();
        hadIcon = box->icon() != QMessageBox::NoIcon;
        for (QAbstractButton* b : box->buttons())
            seenButtons << QString::number(box->standardButton(b));
        QTest::keyClick(box, Qt::Key_Escape);
    });
    w.controls().readInfoButton->click();
    EXPECT_EQ(seenText, QStringLiteral("多块面板时，请确保总线上只有一块面板处于配置状态；\n只有一块面板时请确保面板处于配置状态；"));
    EXPECT_EQ(seenCaption, QStringLiteral("信息："));
    EXPECT_FALSE(hadIcon);
    seenButtons.sort();
    QStringList expected{QString::number(QMessageBox::Ok), QString::number(QMessageBox::Cancel)};
    expected.sort();
    EXPECT_EQ(seenButtons, expected);
    EXPECT_TRUE(pty.readUntilQuiet(100).empty()) << "Esc counts as Cancel";
}

// The receive monitor, with the real pause so that replies arrive in time.
class Monitor : public ::testing::Test {
protected:
    void SetUp() override
    {
        w = std::make_unique<MainWindow>(sandbox.seams(&prompter));
        w->controls().portEdit->setText(QString::fromStdString(pty.devicePath()));
        w->controls().baudEdit->setText(QStringLiteral("9600"));
        w->controls().startButton->click();
        ASSERT_TRUE(w->controls().keyWriteButton->isEnabled());
    }
    QString box() const { return w->controls().receiveBox->toPlainText(); }
    void settle(int ms = 80) { QTest::qWait(ms); }

    PtyPair pty;
    test::Sandbox sandbox;
    test::ScriptedPrompter prompter;
    std::unique_ptr<MainWindow> w;
};

TEST_F(Monitor, ReadInformationExchangeIsDecoded)
{
    QTimer::singleShot(0, [&] {
        // The panel hears the frame and answers at once.
        pty.readUntilQuiet(5, 2000, false);
        pty.write({0x01, 0x77, 0x88, 0x02});
    });
    w->controls().readInfoButton->click();
    settle();
    EXPECT_TRUE(box().endsWith(QStringLiteral("01 77 88 02 \n面板地址为：01\n面板按键模式为：固定A码\n"))) << box().toStdString();
    EXPECT_EQ(w->controls().modeCombo->currentText(), QStringLiteral("固定A码"));
}

TEST_F(Monitor, UnknownModeShowsTheAddressAndAnEmptyLine)
{
    w->controls().modeCombo->setCurrentIndex(3);
    pty.write({0xA5, 0x77, 0x88, 0x07});
    settle();
    EXPECT_EQ(box(), QStringLiteral("A5 77 88 07 \n面板地址为：A5\n\n"));
    EXPECT_EQ(w->controls().modeCombo->currentIndex(), 3);
}

TEST_F(Monitor, TwoRepliesInOneWindowAreNotDecoded)
{
    pty.write({0x01, 0x77, 0x88, 0x02, 0x02, 0x77, 0x88, 0x04});
    settle();
    EXPECT_EQ(box(), QStringLiteral("01 77 88 02 02 77 88 04 \n"));
    EXPECT_EQ(w->controls().modeCombo->currentIndex(), 0);
}

TEST_F(Monitor, AReplySplitOverTwoWindowsIsNotDecoded)
{
    pty.write({0x01, 0x77});
    settle(40);
    pty.write({0x88, 0x02});
    settle();
    EXPECT_EQ(box(), QStringLiteral("01 77 \n88 02 \n"));
    EXPECT_EQ(w->controls().modeCombo->currentIndex(), 0);
}

TEST_F(Monitor, ClearingWhileAWindowIsOpenLetsItEndNormally)
{
    pty.write({0x01, 0x77, 0x88, 0x04});
    QElapsedTimer t;
    t.start();
    while (box().isEmpty() && t.elapsed() < 1000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    ASSERT_FALSE(box().isEmpty());
    w->controls().clearButton->click(); // well inside the 11 ms window
    settle();
    EXPECT_EQ(box(), QStringLiteral("\n面板地址为：01\n面板按键模式为：Modbus模式\n"));
    EXPECT_EQ(w->controls().modeCombo->currentText(), QStringLiteral("Modbus模式"));
}

} // namespace
} // namespace tarvenix
