// The receive monitor in the real window (offscreen): a stream of several
// megabytes through a pseudo-terminal as fast as it goes. How many bytes a
// second the window shows, and the longest time its event loop stood still.
#include "bench_report.h"
#include "link/serial_link.h"
#include "shell/main_window.h"
#include "shell/receive_view.h"
#include "support/pty_pair.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <thread>

using namespace tarvenix;

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const std::size_t total = 4u * 1024u * 1024u;

    QTemporaryDir home;
    ShellSeams seams;
    seams.programDir = home.path();
    seams.userConfigDir = home.path();
    MainWindow window(seams);
    window.show();
    test::PtyPair pty;
    window.controls().portEdit->setText(QString::fromStdString(pty.devicePath()));
    window.controls().baudEdit->setText(QStringLiteral("115200"));
    window.controls().startButton->click();
    if (!window.serialLink().isOpen()) {
        std::fprintf(stderr, "cannot open the pty\n");
        return 1;
    }

    std::size_t shown = 0;
    QObject::connect(&window.serialLink(), &SerialLink::bytesReceived, [&](const QByteArray& b) {
        shown += static_cast<std::size_t>(b.size());
    });

    // The event loop's heartbeat: the longest gap between two ticks is the
    // longest stall a user would feel.
    QElapsedTimer beat;
    qint64 longestStallNs = 0;
    QTimer heartbeat;
    heartbeat.setTimerType(Qt::PreciseTimer);
    heartbeat.setInterval(1);
    QObject::connect(&heartbeat, &QTimer::timeout, [&] {
        longestStallNs = std::max(longestStallNs, beat.nsecsElapsed());
        beat.restart();
    });

    std::thread panels([&] {
        std::vector<std::uint8_t> block(4096);
        for (std::size_t i = 0; i < block.size(); ++i)
            block[i] = static_cast<std::uint8_t>(i * 7);
        for (std::size_t sent = 0; sent < total; sent += block.size())
            pty.write(block);
    });

    QElapsedTimer wall;
    wall.start();
    beat.start();
    heartbeat.start();
    while (shown < total && wall.elapsed() < 120000)
        app.processEvents(QEventLoop::WaitForMoreEvents);
    const double seconds = static_cast<double>(wall.nsecsElapsed()) / 1e9;
    heartbeat.stop();
    panels.join();

    bench::row("receive monitor: bytes shown", std::to_string(shown) + " of " + std::to_string(total), "all");
    bench::row("receive monitor: bytes per second", bench::fixed(static_cast<double>(shown) / seconds, 0),
               ">> 11520 (115200 baud)");
    bench::row("receive monitor: longest event-loop stall",
               bench::fixed(static_cast<double>(longestStallNs) / 1e6, 1) + " ms", "<= 50 ms");
    bench::row("receive monitor: characters kept in the box",
               std::to_string(window.controls().receiveBox->characterCount()), "<= 20000");
    return 0;
}
