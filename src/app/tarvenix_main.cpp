// Tarvenix: configures the wall switch panels on one serial bus.

#include "shell/main_window.h"
#include "shell/termination_signals.h"

#include <QApplication>
#include <QFont>
#include <QScreen>
#include <QStyle>

int main(int argc, char** argv)
{
    tarvenix::catchTerminationSignals();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarvenix"));
    QApplication::setOrganizationName(QStringLiteral("Tarvenix"));

    // The installers' screens show SimSun; elsewhere a CJK face that the
    // system has stands in for it.
    QFont font = QApplication::font();
    font.setFamilies({QStringLiteral("SimSun"), QStringLiteral("NSimSun"), QStringLiteral("WenQuanYi Micro Hei"),
                      QStringLiteral("Noto Sans CJK SC"), font.family()});
    font.setPointSize(9);
    QApplication::setFont(font);

    tarvenix::MainWindow window;
    tarvenix::closeWindowOnTerminationSignals(&window);
    window.setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, window.size(),
                                           window.screen()->availableGeometry()));
    window.show();
    return app.exec();
}
