#pragma once
// The serial line of one run of the tool: opened from --port and --baud the
// way the window opens portEdit and baudEdit, every frame written through it
// counted, and what the panels send handed on.

#include "link/plan_runner.h"
#include "link/serial_link.h"

#include <QString>

#include <functional>
#include <string>
#include <string_view>

namespace tarvenix::cli {

class PanelPort : public FrameWriter {
public:
    PanelPort();

    // portText as the window reads portEdit: a number, COMn or a device
    // path. Tries twice, as the window does. On failure reason() says why,
    // with the system's own words.
    bool open(std::string_view portText, int baudRate);

    bool isOpen() const override { return link_.isOpen(); }
    bool writeBytes(const Bytes& bytes) override;

    SerialLink& link() { return link_; }
    // The device that was opened (or that could not be opened).
    const QString& device() const { return device_; }
    // Why the port could not be opened, or why it went away; "" otherwise.
    const QString& reason() const { return reason_; }

    int framesWritten() const { return written_; }
    int failedWrites() const { return failed_; }

    // Runs just before each frame goes out, so that whoever waits for the
    // panels' answer starts listening before the answer can arrive.
    std::function<void()> beforeWrite;

private:
    SerialLink link_;
    QString device_;
    QString reason_;
    int written_ = 0;
    int failed_ = 0;
};

} // namespace tarvenix::cli
