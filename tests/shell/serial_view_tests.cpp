// The serial connection as the window shows it, over real pseudo-terminals.
#include "link/serial_link.h"
#include "shell/main_window.h"
#include "shell/shell_seams.h"
#include "support/pty_pair.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace tarvenix {
namespace {

using test::PtyPair;

struct View {
    QString caption;
    QString status;
    bool keyButtons;
};

View viewOf(const MainWindow& w)
{
    const auto& ui = w.controls();
    EXPECT_EQ(ui.keyWriteButton->isEnabled(), ui.keyEraseButton->isEnabled());
    return {ui.startButton->text(), ui.statusText->text(), ui.keyWriteButton->isEnabled()};
}

void clickStart(MainWindow& w, const QString& port, const QString& baud = QStringLiteral("9600"))
{
    w.controls().portEdit->setText(port);
    w.controls().baudEdit->setText(baud);
    QTest::mouseClick(w.controls().startButton, Qt::LeftButton);
}

TEST(SerialView, OpeningShowsTheLineSettingsAndEnablesTheKeyTable)
{
    PtyPair pty;
    test::Sandbox sandbox;
    MainWindow w(sandbox.seams());
    const QString path = QString::fromStdString(pty.devicePath());
    clickStart(w, path, QStringLiteral("9600abc"));
    const View open = viewOf(w);
    EXPECT_EQ(open.caption, QStringLiteral("关闭"));
    EXPECT_EQ(open.status, QStringLiteral("状态：串口号:%1,波特率:9600,数据位:8,停止位:1,奇偶效验:假").arg(path));
    EXPECT_TRUE(open.keyButtons);

    // A second click reopens with what the boxes hold now.
    clickStart(w, path, QStringLiteral("38400"));
    EXPECT_EQ(viewOf(w).caption, QStringLiteral("关闭"));
    EXPECT_TRUE(viewOf(w).status.contains(QStringLiteral("波特率:38400")));
    EXPECT_TRUE(w.serialLink().isOpen());
}

TEST(SerialView, AFailedOpeningShowsTheClosedViewAndTheReason)
{
    PtyPair pty;
    test::Sandbox sandbox;
    MainWindow w(sandbox.seams());
    clickStart(w, QString::fromStdString(pty.devicePath()));
    ASSERT_TRUE(w.serialLink().isOpen());

    // Changing to a port that does not exist closes the old one.
    clickStart(w, QStringLiteral("/dev/tarvenix-no-such-port"));
    const View closed = viewOf(w);
    EXPECT_EQ(closed.caption, QStringLiteral("启动"));
    EXPECT_EQ(closed.status, QStringLiteral("状态：串口未打开..."));
    EXPECT_FALSE(closed.keyButtons);
    EXPECT_FALSE(w.serialLink().isOpen());
    EXPECT_TRUE(w.controls().statusDetail->text().contains(QStringLiteral("/dev/tarvenix-no-such-port")));
    EXPECT_TRUE(w.controls().voiceWriteButton->isEnabled());
}

TEST(SerialView, PortNumbersMapToUsbAdapters)
{
    test::Sandbox sandbox;
    MainWindow w(sandbox.seams());
    // No such adapter here: what matters is which device was tried.
    for (const auto& [text, device] : {std::pair{"COM3", "/dev/ttyUSB2"}, std::pair{"", "/dev/ttyUSB0"},
                                       std::pair{" 3", "/dev/ttyUSB2"}, std::pair{"\xEF\xBC\x93", "/dev/ttyUSB2"}}) {
        clickStart(w, QString::fromUtf8(text));
        if (w.serialLink().isOpen())
            GTEST_SKIP() << "this machine has a USB serial adapter";
        EXPECT_TRUE(w.controls().statusDetail->text().contains(QString::fromLatin1(device))) << text;
    }
}

TEST(SerialView, APulledAdapterShowsTheClosedView)
{
    auto pty = std::make_unique<PtyPair>();
    test::Sandbox sandbox;
    MainWindow w(sandbox.seams());
    clickStart(w, QString::fromStdString(pty->devicePath()));
    ASSERT_TRUE(w.serialLink().isOpen());
    QSignalSpy lost(&w.serialLink(), &SerialLink::portLost);
    pty.reset();
    ASSERT_TRUE(lost.wait(2000));
    const View closed = viewOf(w);
    EXPECT_EQ(closed.caption, QStringLiteral("启动"));
    EXPECT_EQ(closed.status, QStringLiteral("状态：串口未打开..."));
    EXPECT_FALSE(closed.keyButtons);
}

} // namespace
} // namespace tarvenix
