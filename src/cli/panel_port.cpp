#include "panel_port.h"

#include "link/gbk_codec.h"
#include "link/port_name.h"


namespace tarvenix::cli {

PanelPort::PanelPort()
{
    QObject::connect(&link_, &SerialLink::portLost, [this](const QString& why) { reason_ = why; });
}

bool PanelPort::open(std::string_view portText, int baudRate)
{
    const PortTarget target = resolvePort(portText);
    device_ = fromGbk(target.devicePath);
    reason_.clear();
    // A second attempt at once, as in the window: adapters sometimes refuse
    // the first opening right after they were released.
    if (link_.open(device_, baudRate) || link_.open(device_, baudRate))
        return true;
    reason_ = link_.errorText();
    const QString group = deniedDeviceGroup(device_);
    if (!group.isEmpty())
        reason_ += QStringLiteral(" (the user must belong to the group %1)").arg(group);
    return false;
}

bool PanelPort::writeBytes(const Bytes& bytes)
{
    if (beforeWrite)
        beforeWrite();
    const bool ok = link_.writeBytes(bytes);
    ++(ok ? written_ : failed_);
    return ok;
}

} // namespace tarvenix::cli
