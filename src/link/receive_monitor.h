#pragma once
// Everything the panels send, grouped into reply windows: a window opens with
// the first byte that arrives while none is open and ends 11 ms later; a
// window that is a panel's information reply is decoded at its end. The
// window shows the text as it comes; the command-line tool prints whole
// windows.

#include "reply_decoder.h"

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QString>
#include <QTimer>

#include <string>
#include <vector>

namespace tarvenix {

struct ReplyWindow {
    QDateTime opened;            // when its first byte arrived
    std::string hex;             // "01 77 88 02": two digits per byte, spaces between
    ReplyDecoder::WindowEnd end; // what the decoder made of it

    // A panel's information reply: its address (and mode, when known) are in end.
    bool isPanelReply() const { return end.address.has_value(); }
    // The decoded lines ("面板地址为：01", "面板按键模式为：固定A码"); none
    // for a window that is no reply.
    std::vector<std::string> decodedLines() const;
};

class ReceiveMonitor : public QObject {
    Q_OBJECT
public:
    explicit ReceiveMonitor(QObject* parent = nullptr);

    // Handles one chunk of received bytes, in the order of arrival.
    void onBytesReceived(const QByteArray& bytes);
    bool windowOpen() const { return decoder_.windowOpen(); }
    // Ends the open window now (the program is stopping); nothing if none is open.
    void endNow();

signals:
    // Text to append to the receive box: hex as it arrives, then the line
    // end and the decoded lines at the end of each window.
    void textReady(const QString& text);
    // A decoded reply named this key code mode (0..4).
    void modeDecoded(int mode);
    // A whole window at its end (its hex is gathered only while something
    // listens to this signal).
    void windowEnded(const tarvenix::ReplyWindow& window);

private:
    void onReplyTimer();

    ReplyDecoder decoder_;
    QTimer replyTimer_;
    ReplyWindow current_;
};

} // namespace tarvenix
