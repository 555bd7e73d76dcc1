#include "receive_view.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace tarvenix {

ReceiveView::ReceiveView(QWidget* parent) : QPlainTextEdit(parent)
{
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAnywhere);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setUndoRedoEnabled(false);
}

int ReceiveView::characterCount() const
{
    return document()->characterCount() - 1; // the document's closing paragraph mark
}

void ReceiveView::appendChunk(const QString& text)
{
    QTextDocument* doc = document();
    QTextCursor end(doc);
    end.movePosition(QTextCursor::End);
    end.beginEditBlock();
    end.insertText(text);
    const int excess = characterCount() - characterLimit;
    if (excess > 0) {
        // Drop whole lines up to and including the one that holds the last
        // character that must go; a single endless line is cut inside.
        const QTextBlock block = doc->findBlock(excess - 1);
        int cut = block.position() + block.length();
        if (!block.next().isValid())
            cut = excess;
        QTextCursor head(doc);
        head.setPosition(0);
        head.setPosition(cut, QTextCursor::KeepAnchor);
        head.removeSelectedText();
    }
    end.endEditBlock();
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

} // namespace tarvenix
