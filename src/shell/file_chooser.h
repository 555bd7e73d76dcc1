#pragma once
// The open / save-as file dialog, behind a seam so that tests can choose.

#include <QString>
#include <optional>

class QWidget;

namespace tarvenix {

class FileChooser {
public:
    enum class Kind { Open, Save };
    virtual ~FileChooser() = default;
    // The chosen full path, or nothing when the user cancelled. The dialog
    // starts with startName (the last chosen path, if any).
    virtual std::optional<QString> choose(Kind kind, const QString& startName) = 0;
};

// The platform's modal dialog with the one filter "配置文件(*.mbvkt)"; the
// open kind accepts only an existing file, the save kind asks before it
// replaces one.
class DialogFileChooser : public FileChooser {
public:
    explicit DialogFileChooser(QWidget* parent) : parent_(parent) {}
    std::optional<QString> choose(Kind kind, const QString& startName) override;

private:
    QWidget* parent_;
};

// The name with the default extension appended when it has none, as the
// dialog has always done for a name typed without one ("x" -> "x.mbvkt").
QString withDefaultExtension(const QString& path, const QString& extension);

} // namespace tarvenix
