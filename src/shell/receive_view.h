#pragma once
// The receive box: an editable multi-line box that shows at most a fixed
// number of characters. When it is full the oldest lines go, so the newest
// bytes always show.

#include <QPlainTextEdit>

namespace tarvenix {

class ReceiveView : public QPlainTextEdit {
    Q_OBJECT
public:
    static constexpr int characterLimit = 20000;

    explicit ReceiveView(QWidget* parent = nullptr);

    // Appends at the end (wherever the user's cursor is) and scrolls there.
    void appendChunk(const QString& text);
    // Characters shown, line ends counted as one.
    int characterCount() const;
};

} // namespace tarvenix
