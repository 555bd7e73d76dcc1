#include "serial_link.h"

#include <QFileInfo>

namespace tarvenix {

namespace {
constexpr int writeTimeoutMs = 1000;
}

QString deniedDeviceGroup(const QString& devicePath)
{
    const QFileInfo device(devicePath);
    if (!device.exists() || (device.isReadable() && device.isWritable()))
        return {};
    return device.group();
}

SerialLink::SerialLink(QObject* parent) : QObject(parent)
{
    connect(&port_, &QSerialPort::readyRead, this, &SerialLink::onReadyRead);
    connect(&port_, &QSerialPort::errorOccurred, this, &SerialLink::onError);
}

SerialLink::~SerialLink() = default;

bool SerialLink::open(const QString& devicePath, qint32 baudRate)
{
    close();
    errorText_.clear();
    port_.setPortName(devicePath);
    const bool ok = port_.open(QIODevice::ReadWrite)
        && port_.setBaudRate(baudRate)
        && port_.setDataBits(QSerialPort::Data8)
        && port_.setParity(QSerialPort::NoParity)
        && port_.setStopBits(QSerialPort::OneStop)
        && port_.setFlowControl(QSerialPort::NoFlowControl);
    if (!ok) {
        errorText_ = port_.errorString();
        port_.close();
        return false;
    }
    // Pseudo-terminals and some adapters have no RTS line; that is no reason
    // to refuse the port.
    port_.setRequestToSend(true);
    port_.clear();
    port_.clearError();
    return true;
}

void SerialLink::close()
{
    if (port_.isOpen())
        port_.close();
}

bool SerialLink::isOpen() const
{
    return port_.isOpen();
}

bool SerialLink::writeBytes(const Bytes& bytes)
{
    if (!port_.isOpen())
        return false;
    if (bytes.empty())
        return true;
    // Unread received bytes stay where they are: they may be a panel's reply.
    const qint64 written = port_.write(reinterpret_cast<const char*>(bytes.data()),
                                       static_cast<qint64>(bytes.size()));
    if (written != static_cast<qint64>(bytes.size()))
        return false;
    while (port_.isOpen() && port_.bytesToWrite() > 0) {
        if (!port_.waitForBytesWritten(writeTimeoutMs))
            return false;
    }
    return port_.isOpen();
}

SerialStatus SerialLink::status() const
{
    SerialStatus s;
    s.baudRate = port_.baudRate();
    s.dataBits = static_cast<int>(port_.dataBits());
    switch (port_.stopBits()) {
    case QSerialPort::OneStop:
        s.stopBitsCode = 1;
        break;
    case QSerialPort::OneAndHalfStop:
        s.stopBitsCode = 2;
        break;
    case QSerialPort::TwoStop:
        s.stopBitsCode = 3;
        break;
    }
    s.parityCheck = port_.parity() != QSerialPort::NoParity;
    return s;
}

QString SerialLink::portName() const
{
    return port_.portName();
}

void SerialLink::onReadyRead()
{
    const QByteArray bytes = port_.readAll();
    if (!bytes.isEmpty())
        emit bytesReceived(bytes);
}

void SerialLink::onError(QSerialPort::SerialPortError error)
{
    // A vanished device keeps reporting these errors in a tight loop while the
    // port stays open, so close it and let the window show the closed view.
    if ((error == QSerialPort::ResourceError || error == QSerialPort::ReadError) && port_.isOpen()) {
        const QString reason = port_.errorString();
        port_.close();
        emit portLost(reason);
    }
}

} // namespace tarvenix
