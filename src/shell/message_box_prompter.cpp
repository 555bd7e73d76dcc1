#include "message_box_prompter.h"

#include <QMessageBox>

namespace tarvenix {

bool MessageBoxPrompter::ask(std::string_view text, std::string_view caption, Buttons buttons)
{
    QString body = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    body.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const auto standard = buttons == Buttons::Ok ? QMessageBox::Ok : QMessageBox::Ok | QMessageBox::Cancel;
    QMessageBox box(QMessageBox::NoIcon,
                    QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())),
                    body, standard, parent_);
    box.setObjectName(QStringLiteral("messageBox"));
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(buttons == Buttons::Ok ? QMessageBox::Ok : QMessageBox::Cancel);
    return box.exec() == QMessageBox::Ok;
}

} // namespace tarvenix
