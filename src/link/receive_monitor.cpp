#include "receive_monitor.h"

#include <QMetaMethod>

namespace tarvenix {

std::vector<std::string> ReplyWindow::decodedLines() const
{
    // The decoder's text: the hex line's end, then the address line and the
    // mode line (empty for a mode code it does not know).
    std::vector<std::string> lines;
    std::string line;
    for (char c : end.text) {
        if (c != '\n') {
            line += c;
            continue;
        }
        if (!line.empty())
            lines.push_back(line);
        line.clear();
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

ReceiveMonitor::ReceiveMonitor(QObject* parent) : QObject(parent)
{
    replyTimer_.setSingleShot(true);
    replyTimer_.setTimerType(Qt::PreciseTimer);
    connect(&replyTimer_, &QTimer::timeout, this, &ReceiveMonitor::onReplyTimer);
}

void ReceiveMonitor::onBytesReceived(const QByteArray& bytes)
{
    const auto fed = decoder_.feed(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                   static_cast<std::size_t>(bytes.size()));
    // The window lasts 11 ms from its first byte; later bytes do not move its end.
    if (fed.windowOpened) {
        replyTimer_.start(replyWindowMs);
        current_ = ReplyWindow{};
        current_.opened = QDateTime::currentDateTime();
    }
    if (fed.text.empty())
        return;
    if (isSignalConnected(QMetaMethod::fromSignal(&ReceiveMonitor::windowEnded)))
        current_.hex += fed.text;
    emit textReady(QString::fromLatin1(fed.text.data(), static_cast<qsizetype>(fed.text.size())));
}

void ReceiveMonitor::endNow()
{
    if (!decoder_.windowOpen())
        return;
    replyTimer_.stop();
    onReplyTimer();
}

void ReceiveMonitor::onReplyTimer()
{
    ReplyWindow ended = std::move(current_);
    current_ = ReplyWindow{};
    ended.end = decoder_.endWindow();
    if (!ended.hex.empty() && ended.hex.back() == ' ')
        ended.hex.pop_back();
    if (!ended.end.text.empty())
        emit textReady(QString::fromUtf8(ended.end.text.data(), static_cast<qsizetype>(ended.end.text.size())));
    if (ended.end.mode)
        emit modeDecoded(*ended.end.mode);
    emit windowEnded(ended);
}

} // namespace tarvenix
