#pragma once

#include "device/devicelink.h"
#include "protocol/logsink.h"

#include <QSerialPort>

// The device on a serial port or pseudo-terminal: 8 data bits, no parity, one stop bit, no
// flow control.
class SerialLink : public DeviceLink
{
    Q_OBJECT
public:
    // An empty log keeps the link silent.
    explicit SerialLink(LogSink log, QObject *parent = nullptr);

    // False when the port cannot be opened; errorText() then says why.
    bool open(const QString &portName, qint32 baudRate);
    void setBaudRate(qint32 baudRate);
    QString portName() const { return m_port.portName(); }
    // Qt's text for the last failure, and whether it was a refused permission.
    QString errorText() const { return m_port.errorString(); }
    bool permissionDenied() const { return m_port.error() == QSerialPort::PermissionError; }

    bool isOpen() const override { return m_port.isOpen(); }
    void write(const QByteArray &bytes) override;
    void close() override;

private:
    void read();
    void handleError(QSerialPort::SerialPortError error);

    LogSink m_log;
    QSerialPort m_port;
};
