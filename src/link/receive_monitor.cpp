#include "receive_monitor.h"

namespace tarvenix {

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
    if (fed.windowOpened)
        replyTimer_.start(replyWindowMs);
    if (!fed.text.empty())
        emit textReady(QString::fromLatin1(fed.text.data(), static_cast<qsizetype>(fed.text.size())));
}

void ReceiveMonitor::onReplyTimer()
{
    const auto end = decoder_.endWindow();
    if (!end.text.empty())
        emit textReady(QString::fromUtf8(end.text.data(), static_cast<qsizetype>(end.text.size())));
    if (end.mode)
        emit modeDecoded(*end.mode);
}

} // namespace tarvenix
