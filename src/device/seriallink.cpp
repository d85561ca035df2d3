#include "device/seriallink.h"

#include <QMetaEnum>

#include <utility>

SerialLink::SerialLink(LogSink log, QObject *parent)
    : DeviceLink(parent), m_log(log ? std::move(log) : [](const QString &) {})
{
    connect(&m_port, &QSerialPort::readyRead, this, &SerialLink::read);
    connect(&m_port, &QSerialPort::errorOccurred, this, &SerialLink::handleError);
}

bool SerialLink::open(const QString &portName, qint32 baudRate)
{
    if (m_port.isOpen())
        return true;
    m_port.setPortName(portName);
    if (!m_port.open(QIODevice::ReadWrite))
        return false;
    m_log(QStringLiteral("the serialPort is opening......"));
    setBaudRate(baudRate);
    m_port.setDataBits(QSerialPort::Data8);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    m_port.setParity(QSerialPort::NoParity);
    m_port.setStopBits(QSerialPort::OneStop);
    m_port.clearError();
    m_port.clear(QSerialPort::AllDirections);
    return true;
}

void SerialLink::setBaudRate(qint32 baudRate)
{
    if (m_port.isOpen())
        m_port.setBaudRate(baudRate);
}

void SerialLink::write(const QByteArray &bytes)
{
    if (!m_port.isOpen())
        return;
    m_port.write(bytes);
    m_port.flush();
    emit sent(bytes);
}

void SerialLink::close()
{
    if (!m_port.isOpen())
        return;
    m_port.close();
    emit closed();
}

void SerialLink::read()
{
    m_log(QStringLiteral("the serialPort is ready for reading..."));
    deliver(m_port.readAll());
}

void SerialLink::handleError(QSerialPort::SerialPortError error)
{
    m_log(QStringLiteral("the serialPort occurs error: ") +
          QLatin1String(QMetaEnum::fromType<QSerialPort::SerialPortError>().valueToKey(error)));
    // A pulled cable shows as a resource error; a pseudo-terminal whose other end vanished as a
    // read error that repeats for as long as the port stays open, so the dead port is released.
    if (error == QSerialPort::ResourceError || error == QSerialPort::ReadError) {
        m_log(QStringLiteral("the serialPort is closed possiblely"));
        close();
        emit faulted(true);
    }
}
