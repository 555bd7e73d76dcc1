#include "file_chooser.h"

#include <QFileDialog>
#include <QFileInfo>

namespace tarvenix {

std::optional<QString> DialogFileChooser::choose(Kind kind, const QString& startName)
{
    QFileDialog dialog(parent_);
    dialog.setObjectName(QStringLiteral("fileDialog"));
    dialog.setNameFilter(QStringLiteral("配置文件(*.mbvkt)"));
    if (kind == Kind::Open) {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
    }
    if (!startName.isEmpty())
        dialog.selectFile(startName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

QString withDefaultExtension(const QString& path, const QString& extension)
{
    if (extension.isEmpty() || QFileInfo(path).fileName().contains(QLatin1Char('.')))
        return path;
    return path + extension;
}

} // namespace tarvenix
