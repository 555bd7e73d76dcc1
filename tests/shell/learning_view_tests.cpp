// Writing and erasing the learning tables from the window, over a
// pseudo-terminal, with the pause recorded instead of waited.
#include "link/serial_link.h"
#include "shell/main_window.h"
#include "shell/shell_seams.h"
#include "support/pty_pair.h"

#include <QComboBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace tarvenix {
namespace {

using test::PtyPair;
using test::spaced;

class LearningView : public ::testing::Test {
protected:
    void SetUp() override
    {
        w = std::make_unique<MainWindow>(sandbox.seams(&prompter, &pauser));
        pauser.onPause = [this](int) { progressSeen.push_back(w->controls().progressBar->value()); };
    }
    void openPort()
    {
        w->controls().portEdit->setText(QString::fromStdString(pty->devicePath()));
        w->controls().baudEdit->setText(QStringLiteral("9600"));
        w->controls().startButton->click();
        ASSERT_TRUE(w->serialLink().isOpen());
    }
    void keyRow(int n, int key, int state, const QString& data)
    {
        const auto i = static_cast<std::size_t>(n - 1);
        w->controls().keyRowKeyCombo[i]->setCurrentIndex(key);
        w->controls().keyRowStateCombo[i]->setCurrentIndex(state);
        w->controls().keyRowDataEdit[i]->setText(data);
    }
    void voiceRow(int n, int phrase, const QString& data)
    {
        const auto i = static_cast<std::size_t>(n - 1);
        w->controls().voiceRowPhraseCombo[i]->setCurrentIndex(phrase);
        w->controls().voiceRowDataEdit[i]->setText(data);
    }
    std::string wire() { return spaced(pty->readUntilQuiet(60)); }

    std::unique_ptr<PtyPair> pty = std::make_unique<PtyPair>();
    test::Sandbox sandbox;
    test::ScriptedPrompter prompter;
    test::RecordingPauser pauser;
    std::vector<int> progressSeen;
    std::unique_ptr<MainWindow> w;
};

TEST_F(LearningView, KeyTableWriteSendsStartRowsAndEnd)
{
    openPort();
    keyRow(3, 2, 1, "12 34 AB");
    keyRow(5, 1, 0, "   ");         // spaces only: a row frame without data
    keyRow(7, 0, 1, "FFFF");        // disabled: not sent
    keyRow(10, 4, 1, "");           // no data: not sent
    keyRow(48, 8, 0, "01");
    w->controls().keyWriteButton->click();
    EXPECT_EQ(wire(), "FD 66 66 66 66 AA AB A1 CF "
                      "FD CF 03 21 12 34 AB "
                      "FD CF 05 10 "
                      "FD CF 30 80 01 "
                      "FD 66 66 66 66 AA AB B1 CF");
    EXPECT_EQ(prompter.texts(), (std::vector<std::string>{"确认写入", "写入完成"}));
    EXPECT_EQ(pauser.pauses, (std::vector<int>{20, 18, 200, 14, 200, 8, 200, 10, 200, 100, 18, 200}));
    EXPECT_EQ(w->controls().progressBar->value(), 0);
}

TEST_F(LearningView, ProgressRunsThroughEveryRow)
{
    openPort();
    std::vector<int> positions;
    QObject::connect(w->controls().progressBar, &QProgressBar::valueChanged, [&](int v) { positions.push_back(v); });
    w->controls().keyWriteButton->click();
    std::vector<int> expected;
    for (int n = 1; n <= 48; ++n)
        expected.push_back(static_cast<int>(n * 2.08));
    expected.push_back(100);
    expected.push_back(0);
    EXPECT_EQ(positions, expected);
    EXPECT_EQ(expected[24], 52);
    EXPECT_EQ(wire(), "FD 66 66 66 66 AA AB A1 CF FD 66 66 66 66 AA AB B1 CF");
}

TEST_F(LearningView, VoiceTableWrite)
{
    openPort();
    voiceRow(1, 1, "12 34");
    voiceRow(16, 10, "A0");
    voiceRow(20, 0, "77");     // phrase "禁用": not sent
    voiceRow(48, 148, "01");
    w->controls().voiceWriteButton->click();
    EXPECT_EQ(wire(), "FD 66 66 66 66 AA AB A2 CF "
                      "FD CF 41 01 12 34 "
                      "FD CF 50 0A A0 "
                      "FD CF 70 94 01 "
                      "FD 66 66 66 66 AA AB B2 CF");
    EXPECT_EQ(pauser.pauses.front(), 18) << "the voice table sends its start frame at once";
}

TEST_F(LearningView, ErasesSendTheirFrameBehindTheirOwnCaption)
{
    openPort();
    w->controls().keyEraseButton->click();
    EXPECT_EQ(wire(), "FD 66 66 66 66 AA BB F1 CF");
    EXPECT_EQ(pauser.pauses, (std::vector<int>{20, 18}));
    EXPECT_EQ(progressSeen, (std::vector<int>{0, 50})) << "50 while the erase frame goes out";
    w->controls().voiceEraseButton->click();
    EXPECT_EQ(wire(), "FD 66 66 66 66 AA BB F2 CF");
    ASSERT_EQ(prompter.asked.size(), 4u);
    EXPECT_EQ(prompter.asked[0].caption, "确认擦除");
    EXPECT_EQ(prompter.asked[1].text, "完成擦除");
    EXPECT_EQ(prompter.asked[1].caption, "完成擦除");
    EXPECT_EQ(prompter.asked[1].buttons, Buttons::Ok);
    EXPECT_EQ(w->controls().progressBar->value(), 0);
}

TEST_F(LearningView, CancelAtTheConfirmationLeavesOnlyTheStartFrame)
{
    openPort();
    keyRow(1, 1, 1, "AA");
    prompter.answers = {false};
    w->controls().keyWriteButton->click();
    EXPECT_EQ(wire(), "FD 66 66 66 66 AA AB A1 CF");
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"确认写入"});
    EXPECT_EQ(w->controls().progressBar->value(), 0);
}

TEST_F(LearningView, TheFirstBadRowIsShownAsTypedAndNothingIsSent)
{
    openPort();
    keyRow(2, 0, 1, "XYZ");          // a disabled row is checked too
    keyRow(9, 1, 1, QString(59, 'A'));
    w->controls().keyWriteButton->click();
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"请检查输入的数据是否为十六进制\r\nXYZ"});
    EXPECT_EQ(prompter.asked[0].caption, "信息：");
    keyRow(2, 0, 1, "");
    w->controls().keyWriteButton->click();
    EXPECT_EQ(prompter.asked.back().text, "请检查数据长度\r\n" + std::string(59, 'A'));
    voiceRow(4, 3, QStringLiteral("中文 AB"));
    w->controls().voiceWriteButton->click();
    EXPECT_EQ(prompter.asked.back().text, "请检查输入的数据是否为十六进制\r\n中文 AB");
    EXPECT_EQ(wire(), "");
}

TEST_F(LearningView, ClosedPortIsSaidAndNothingPretendsSuccess)
{
    w->controls().voiceWriteButton->click();
    w->controls().voiceEraseButton->click();
    const std::string closed = "串口未打开，未发送任何数据";
    EXPECT_EQ(prompter.texts(), (std::vector<std::string>{closed, closed}));
    EXPECT_EQ(prompter.asked[0].buttons, Buttons::Ok);
    EXPECT_TRUE(pauser.pauses.empty());
}

TEST_F(LearningView, AVanishedLineStopsTheWriteWithAFailure)
{
    openPort();
    keyRow(1, 1, 1, "01");
    keyRow(2, 1, 1, "02");
    keyRow(3, 1, 1, "03");
    // The adapter goes away during the first row's pause.
    int rowsSent = 0;
    pauser.onPause = [&](int ms) {
        if (ms == 200 && ++rowsSent == 2) {
            QSignalSpy lost(&w->serialLink(), &SerialLink::portLost);
            pty.reset();
            lost.wait(2000);
        }
    };
    w->controls().keyWriteButton->click();
    EXPECT_EQ(prompter.texts().back(), "串口写入失败，写入未完成");
    EXPECT_EQ(w->controls().progressBar->value(), 0);
    for (const auto& t : prompter.texts())
        EXPECT_NE(t, "写入完成");
    EXPECT_EQ(w->controls().startButton->text(), QStringLiteral("启动"));
    EXPECT_TRUE(w->controls().startButton->isEnabled()) << "the window stays usable";
}

TEST_F(LearningView, RowsEditedDuringTheWriteDoNotChangeWhatGoesOut)
{
    openPort();
    keyRow(1, 1, 1, "11");
    keyRow(2, 1, 1, "22");
    prompter.whileAsking = [&] { keyRow(2, 1, 1, "GG"); };
    w->controls().keyWriteButton->click();
    EXPECT_EQ(wire(), "FD 66 66 66 66 AA AB A1 CF FD CF 01 11 11 FD CF 02 11 22 FD 66 66 66 66 AA AB B1 CF");
}

TEST_F(LearningView, ARowWithoutSelectionIsNotSent)
{
    openPort();
    keyRow(1, -1, 1, "11");
    keyRow(2, 1, -1, "22");
    voiceRow(1, -1, "33");
    w->controls().keyWriteButton->click();
    w->controls().voiceWriteButton->click();
    EXPECT_EQ(wire(), "FD 66 66 66 66 AA AB A1 CF FD 66 66 66 66 AA AB B1 CF "
                      "FD 66 66 66 66 AA AB A2 CF FD 66 66 66 66 AA AB B2 CF");
}

TEST(LearningClose, ClosingDuringAWriteStopsSendingAndCloses)
{
    PtyPair pty;
    test::ScriptedPrompter prompter;
    test::Sandbox sandbox;
    MainWindow w(sandbox.seams(&prompter)); // the real pause
    w.show();
    w.controls().portEdit->setText(QString::fromStdString(pty.devicePath()));
    w.controls().baudEdit->setText(QStringLiteral("9600"));
    w.controls().startButton->click();
    for (int n = 1; n <= 48; ++n) {
        w.controls().voiceRowPhraseCombo[static_cast<std::size_t>(n - 1)]->setCurrentIndex(1);
        w.controls().voiceRowDataEdit[static_cast<std::size_t>(n - 1)]->setText("01");
    }
    QTimer::singleShot(500, &w, [&] { w.close(); });
    w.controls().voiceWriteButton->click(); // about 10 s if it ran to its end
    EXPECT_FALSE(w.isVisible());
    const auto sent = pty.readUntilQuiet(300);
    EXPECT_LT(sent.size(), 9u + 10u * 5u) << "it stopped after a few rows";
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"确认写入"});
}

} // namespace
} // namespace tarvenix
