// Tarvenix: configures the wall switch panels on one serial bus.

#include "shell/main_window.h"
#include "link/termination_signals.h"

#ifdef TARVENIX_HAS_DEMO
#include "sim/virtual_bus.h"
#endif

#include <QApplication>
#include <QCommandLineParser>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QStyle>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

int main(int argc, char** argv)
{
    tarvenix::catchTerminationSignals();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarvenix"));
    QApplication::setOrganizationName(QStringLiteral("Tarvenix"));
    QApplication::setApplicationVersion(QStringLiteral("3.00"));

    QCommandLineParser options;
    options.setApplicationDescription(QStringLiteral("Configures the wall switch panels on one serial bus."));
    options.addHelpOption();
    options.addVersionOption();
#ifdef TARVENIX_HAS_DEMO
    const QCommandLineOption demo(QStringLiteral("demo"),
                                  QStringLiteral("Try every button against a virtual panel (address 01, mode 0) "
                                                 "instead of a real bus. Leaves your own autosave file alone."));
    options.addOption(demo);
#endif
    options.process(app);

    // The installers' screens show SimSun; elsewhere a CJK face that the
    // system has stands in for it.
    QFont font = QApplication::font();
    font.setFamilies({QStringLiteral("SimSun"), QStringLiteral("NSimSun"), QStringLiteral("WenQuanYi Micro Hei"),
                      QStringLiteral("Noto Sans CJK SC"), font.family()});
    font.setPointSize(9);
    QApplication::setFont(font);

    tarvenix::ShellSeams seams;
#ifdef TARVENIX_HAS_DEMO
    // The demo keeps its form in a folder of its own that goes away at exit.
    std::unique_ptr<QTemporaryDir> demoHome;
    std::unique_ptr<tarvenix::sim::VirtualBus> bus;
    if (options.isSet(demo)) {
        demoHome = std::make_unique<QTemporaryDir>();
        seams.programDir = demoHome->path();
        seams.userConfigDir = demoHome->path();
        bus = std::make_unique<tarvenix::sim::VirtualBus>();
        if (!bus->open()) {
            std::fprintf(stderr, "tarvenix: the virtual bus cannot start: %s\n", qPrintable(bus->errorText()));
            return 1;
        }
        QObject::connect(bus.get(), &tarvenix::sim::VirtualBus::logLine, [](const QString& line) {
            std::printf("virtual bus: %s\n", qPrintable(line));
            std::fflush(stdout);
        });
    }
#endif

    tarvenix::MainWindow window(seams);
    const tarvenix::TerminationSignals closeOnSignal([&window] { window.close(); });
#ifdef TARVENIX_HAS_DEMO
    if (bus) {
        window.controls().portEdit->setText(bus->devicePath());
        window.controls().baudEdit->setText(QStringLiteral("9600"));
        window.openSerialPort();
        window.controls().statusDetail->setText(QStringLiteral("演示模式：虚拟面板总线，地址 01"));
    }
#endif
    window.setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, window.size(),
                                           window.screen()->availableGeometry()));
    window.show();
    return app.exec();
}
