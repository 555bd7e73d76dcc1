#pragma once
// Everything the panels send, as hex text in arrival order, with the panels'
// information reply decoded at the end of its 11 ms reply window.

#include "reply_decoder.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

namespace tarvenix {

class ReceiveMonitor : public QObject {
    Q_OBJECT
public:
    explicit ReceiveMonitor(QObject* parent = nullptr);

    // Handles one chunk of received bytes (onByteReceived for each byte).
    void onBytesReceived(const QByteArray& bytes);
    bool windowOpen() const { return decoder_.windowOpen(); }

signals:
    // Text to append to the receive box: hex, line ends and decoded lines.
    void textReady(const QString& text);
    // A decoded reply named this key code mode (0..4).
    void modeDecoded(int mode);

private:
    void onReplyTimer();

    ReplyDecoder decoder_;
    QTimer replyTimer_;
};

} // namespace tarvenix
