#pragma once
// The serial port to the panels' bus: opening with the typed settings,
// writing frames, and handing on what the panels send.

#include "plan_runner.h"

#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <QString>

namespace tarvenix {

// The line settings the program uses, read back from the port after opening.
struct SerialStatus {
    qint32 baudRate = 0;
    int dataBits = 8;
    int stopBitsCode = 1; // 1 one stop bit, 2 one and a half, 3 two
    bool parityCheck = false;
};

// The group that owns a device this user may not open (on Linux a serial
// device belongs to a group such as dialout); empty when that is not why.
QString deniedDeviceGroup(const QString& devicePath);

class SerialLink : public QObject, public FrameWriter {
    Q_OBJECT
public:
    explicit SerialLink(QObject* parent = nullptr);
    ~SerialLink() override;

    // Closes the port if it is open, then opens the device with 8 data bits,
    // no parity, one stop bit, no flow control and RTS on. On failure the
    // port is closed and errorText() says why.
    bool open(const QString& devicePath, qint32 baudRate);
    void close();

    bool isOpen() const override;
    bool writeBytes(const Bytes& bytes) override;

    SerialStatus status() const;
    QString errorText() const { return errorText_; }
    QString portName() const;

signals:
    // Bytes in the order of arrival, one signal per chunk the port delivered.
    void bytesReceived(const QByteArray& bytes);
    // The device went away while open (adapter pulled out); the port is closed.
    void portLost(const QString& reason);

private:
    void onReadyRead();
    void onError(QSerialPort::SerialPortError error);

    QSerialPort port_;
    QString errorText_;
};

} // namespace tarvenix
