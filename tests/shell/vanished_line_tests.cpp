// The adapter pulled out in the middle of a table write, seen from the whole
// window: the write stops with its failure message, everything shows the
// port closed, and the installer plugs in again and carries on.
#include "link/serial_link.h"
#include "shell/main_window.h"
#include "shell/shell_seams.h"
#include "support/pty_pair.h"

#include <QLabel>
#include <QLineEdit>
#include <QComboBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace tarvenix {
namespace {

using test::PtyPair;
using test::spaced;

void openOn(MainWindow& w, const PtyPair& pty)
{
    w.controls().portEdit->setText(QString::fromStdString(pty.devicePath()));
    w.controls().baudEdit->setText(QStringLiteral("9600"));
    w.controls().startButton->click();
}

TEST(VanishedLine, TheWindowShowsThePortClosedAndWorksOnAfterwards)
{
    test::Sandbox sandbox;
    test::ScriptedPrompter prompter;
    test::RecordingPauser pauser;
    MainWindow w(sandbox.seams(&prompter, &pauser));
    QSignalSpy lost(&w.serialLink(), &SerialLink::portLost);
    for (std::size_t i = 0; i < 5; ++i) {
        w.controls().keyRowKeyCombo[i]->setCurrentIndex(1);
        w.controls().keyRowStateCombo[i]->setCurrentIndex(1);
        w.controls().keyRowDataEdit[i]->setText(QStringLiteral("0A"));
    }

    PtyPair first;
    openOn(w, first);
    ASSERT_TRUE(w.serialLink().isOpen());
    // The line goes away in the pause after the third row.
    int rowPauses = 0;
    pauser.onPause = [&](int ms) {
        if (ms == 200 && ++rowPauses == 3) {
            first.closeMaster();
            lost.wait(2000);
        }
    };
    w.controls().keyWriteButton->click();

    EXPECT_EQ(prompter.texts(), (std::vector<std::string>{"确认写入", "串口写入失败，写入未完成"}));
    EXPECT_EQ(lost.count(), 1) << "one loss, reported once";
    EXPECT_FALSE(w.serialLink().isOpen());
    EXPECT_EQ(w.controls().startButton->text(), QStringLiteral("启动"));
    EXPECT_EQ(w.controls().statusText->text(), QStringLiteral("状态：串口未打开..."));
    EXPECT_TRUE(w.controls().statusDetail->text().startsWith(QStringLiteral("串口已断开：")))
        << w.controls().statusDetail->text().toStdString();
    EXPECT_FALSE(w.controls().keyWriteButton->isEnabled());
    EXPECT_EQ(w.controls().progressBar->value(), 0);

    // Plugged in again (a new line): the same window opens it and writes the
    // whole table.
    PtyPair second;
    pauser.onPause = nullptr;
    prompter.asked.clear();
    openOn(w, second);
    ASSERT_TRUE(w.serialLink().isOpen());
    EXPECT_EQ(w.controls().startButton->text(), QStringLiteral("关闭"));
    EXPECT_TRUE(w.controls().statusDetail->text().isEmpty());
    ASSERT_TRUE(w.controls().keyWriteButton->isEnabled());
    w.controls().keyWriteButton->click();
    EXPECT_EQ(spaced(second.readUntilQuiet(60)), "FD 66 66 66 66 AA AB A1 CF "
                                                 "FD CF 01 11 0A FD CF 02 11 0A FD CF 03 11 0A "
                                                 "FD CF 04 11 0A FD CF 05 11 0A "
                                                 "FD 66 66 66 66 AA AB B1 CF");
    EXPECT_EQ(prompter.texts(), (std::vector<std::string>{"确认写入", "写入完成"}));
    EXPECT_EQ(lost.count(), 1);
}

} // namespace
} // namespace tarvenix
