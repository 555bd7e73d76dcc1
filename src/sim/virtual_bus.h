#pragma once
// Panels on a pseudo-terminal: the program opens devicePath() as if it were
// the USB adapter of a real bus. Everything runs on the thread that owns the
// object, driven by its event loop: reading by a socket notifier, the end of
// a row frame by a short idle timer, replies by timers. Nothing blocks, so it
// can live inside the window's own event loop.

#include "panel_bus.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <deque>
#include <memory>

class QSocketNotifier;

namespace tarvenix::sim {

// The program pauses at least 8 ms after every frame (one millisecond per
// character of the shortest row frame text); half of that is a safe gap.
inline constexpr int defaultIdleGapMs = 4;

class VirtualBus : public QObject {
    Q_OBJECT
public:
    explicit VirtualBus(const BusOptions& options = {}, int idleGapMs = defaultIdleGapMs, QObject* parent = nullptr);
    ~VirtualBus() override;
    VirtualBus(const VirtualBus&) = delete;
    VirtualBus& operator=(const VirtualBus&) = delete;

    // Opens the pseudo-terminal pair in raw mode. On failure errorText() says why.
    bool open();
    bool isOpen() const { return master_ >= 0; }
    // The device the program opens, e.g. /dev/pts/3; empty until open.
    QString devicePath() const { return devicePath_; }
    QString errorText() const { return errorText_; }

    // The stimuli of PanelBus; the data items go out on the line by timers.
    // Return an error text, empty when the stimulus was taken.
    QString press(std::size_t panel, int key);
    QString say(std::size_t panel, int phrase);

    QString dump() const;
    const PanelBus& bus() const { return bus_; }

signals:
    // One decoded line: a frame, a stimulus, a transmission, a problem.
    void logLine(const QString& line);

private:
    void onReadable();
    void onIdleGap();
    void onSendTimer();
    void handle(Reaction reaction);
    void sendDue();
    void sendFront();
    void close();

    PanelBus bus_;
    int idleGapMs_;
    int master_ = -1;
    int slaveKeeper_ = -1; // without a slave open, the master reports hang-ups
    QString devicePath_;
    QString errorText_;
    std::unique_ptr<QSocketNotifier> notifier_;
    QTimer idleTimer_;
    QElapsedTimer sinceLastByte_;
    QTimer sendTimer_;
    std::deque<Transmission> queue_; // afterMs counts from the previous send
};

} // namespace tarvenix::sim
