#include "virtual_bus.h"

#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace tarvenix::sim {

VirtualBus::VirtualBus(const BusOptions& options, int idleGapMs, QObject* parent)
    : QObject(parent), bus_(options), idleGapMs_(idleGapMs)
{
    idleTimer_.setSingleShot(true);
    idleTimer_.setTimerType(Qt::PreciseTimer);
    connect(&idleTimer_, &QTimer::timeout, this, &VirtualBus::onIdleGap);
    sendTimer_.setSingleShot(true);
    sendTimer_.setTimerType(Qt::PreciseTimer);
    connect(&sendTimer_, &QTimer::timeout, this, &VirtualBus::onSendTimer);
}

VirtualBus::~VirtualBus()
{
    close();
}

bool VirtualBus::open()
{
    close();
    const auto fail = [this](const char* what) {
        errorText_ = QStringLiteral("%1: %2").arg(QString::fromLatin1(what), QString::fromLocal8Bit(std::strerror(errno)));
        close();
        return false;
    };
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (master_ < 0)
        return fail("no pseudo-terminal");
    if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0)
        return fail("pseudo-terminal not usable");
    const char* name = ::ptsname(master_);
    if (!name)
        return fail("pseudo-terminal without a name");
    devicePath_ = QString::fromLocal8Bit(name);
    slaveKeeper_ = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (slaveKeeper_ < 0)
        return fail("cannot open the pseudo-terminal's device");
    // Raw: no echo, no line editing, no character translation, on both
    // sides; the program sets its own line settings again when it opens.
    termios raw{};
    if (::tcgetattr(slaveKeeper_, &raw) != 0)
        return fail("cannot read the line settings");
    ::cfmakeraw(&raw);
    if (::tcsetattr(slaveKeeper_, TCSANOW, &raw) != 0)
        return fail("cannot set raw mode");
    errorText_.clear();
    notifier_ = std::make_unique<QSocketNotifier>(master_, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &VirtualBus::onReadable);
    sinceLastByte_.start();
    return true;
}

void VirtualBus::close()
{
    notifier_.reset();
    idleTimer_.stop();
    sendTimer_.stop();
    queue_.clear();
    if (slaveKeeper_ >= 0)
        ::close(slaveKeeper_);
    if (master_ >= 0)
        ::close(master_);
    slaveKeeper_ = -1;
    master_ = -1;
    devicePath_.clear();
}

QString VirtualBus::press(std::size_t panel, int key)
{
    Reaction reaction = bus_.press(panel, key);
    const QString error = QString::fromStdString(reaction.error);
    handle(std::move(reaction));
    return error;
}

QString VirtualBus::say(std::size_t panel, int phrase)
{
    Reaction reaction = bus_.say(panel, phrase);
    const QString error = QString::fromStdString(reaction.error);
    handle(std::move(reaction));
    return error;
}

QString VirtualBus::dump() const
{
    return QString::fromStdString(bus_.dump());
}

void VirtualBus::onReadable()
{
    std::array<std::uint8_t, 4096> buffer;
    for (;;) {
        const ssize_t n = ::read(master_, buffer.data(), buffer.size());
        if (n > 0) {
            // Queued events run in no fixed order: when the idle timer is due
            // but these bytes were handled first, the gap is still a gap.
            if (bus_.framePending() && sinceLastByte_.elapsed() >= idleGapMs_)
                onIdleGap();
            sinceLastByte_.restart();
            handle(bus_.receive(std::span<const std::uint8_t>(buffer.data(), static_cast<std::size_t>(n))));
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EINTR))
            break;
        // The slave side is kept open, so this is no ordinary hang-up;
        // stop listening rather than spin on a line that keeps failing.
        emit logLine(QStringLiteral("line error: %1; the virtual bus stops reading")
                         .arg(QString::fromLocal8Bit(std::strerror(n < 0 ? errno : EIO))));
        notifier_->setEnabled(false);
        return;
    }
    if (bus_.framePending())
        idleTimer_.start(idleGapMs_);
    else
        idleTimer_.stop();
}

void VirtualBus::onIdleGap()
{
    idleTimer_.stop();
    handle(bus_.lineIdle());
}

void VirtualBus::handle(Reaction reaction)
{
    for (const std::string& line : reaction.log)
        emit logLine(QString::fromStdString(line));
    const bool idle = queue_.empty() && !sendTimer_.isActive();
    for (Transmission& transmission : reaction.transmissions)
        queue_.push_back(std::move(transmission));
    if (idle)
        sendDue();
}

// One line, one talker at a time: a transmission waits its afterMs behind the
// one before it in the queue. A zero wait goes out at once, so that a reply
// lands well within the program's reply window.
void VirtualBus::sendDue()
{
    while (!queue_.empty() && queue_.front().afterMs <= 0)
        sendFront();
    if (!queue_.empty())
        sendTimer_.start(queue_.front().afterMs);
}

void VirtualBus::onSendTimer()
{
    sendFront();
    sendDue();
}

void VirtualBus::sendFront()
{
    if (queue_.empty())
        return;
    const Transmission transmission = std::move(queue_.front());
    queue_.pop_front();
    std::size_t done = 0;
    while (master_ >= 0 && done < transmission.bytes.size()) {
        const ssize_t n = ::write(master_, transmission.bytes.data() + done, transmission.bytes.size() - done);
        if (n <= 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    const QString hex = QString::fromStdString(spacedHex(transmission.bytes));
    const QString label = QString::fromStdString(transmission.label);
    if (done == transmission.bytes.size())
        emit logLine(QStringLiteral("sent %1 (%2)").arg(hex, label));
    else
        emit logLine(QStringLiteral("could not send %1 (%2): the line is full, nobody reads it").arg(hex, label));
}

} // namespace tarvenix::sim
