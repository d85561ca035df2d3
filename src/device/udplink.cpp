#include "device/udplink.h"

#include <QMetaEnum>
#include <QNetworkDatagram>

#include <utility>

UdpLink::UdpLink(LogSink log, QObject *parent)
    : DeviceLink(parent), m_log(log ? std::move(log) : [](const QString &) {})
{
    connect(&m_socket, &QUdpSocket::readyRead, this, &UdpLink::read);
    connect(&m_socket, &QAbstractSocket::errorOccurred, this, &UdpLink::handleError);
}

void UdpLink::setDeviceEndpoint(const QHostAddress &address, quint16 port)
{
    m_deviceAddress = address;
    m_devicePort = port;
}

bool UdpLink::open(const QHostAddress &localAddress, quint16 localPort)
{
    m_socket.abort();
    m_strangers.clear();
    m_bound = m_socket.bind(localAddress, localPort, QAbstractSocket::DefaultForPlatform);
    return m_bound;
}

void UdpLink::write(const QByteArray &bytes)
{
    if (!m_bound)
        return;
    m_socket.writeDatagram(bytes, m_deviceAddress, m_devicePort);
    m_socket.flush();
    emit sent(bytes);
}

void UdpLink::close()
{
    const bool wasOpen = m_bound;
    m_socket.abort();
    m_bound = false;
    if (wasOpen)
        emit closed();
}

// Datagrams waiting together reach the protocol as one chunk, as a serial read would.
void UdpLink::read()
{
    m_log(QStringLiteral("the udp is ready for reading..."));
    QByteArray chunk;
    bool anyFromDevice = false;
    bool anyDropped = false;
    while (m_socket.hasPendingDatagrams()) {
        const QNetworkDatagram datagram = m_socket.receiveDatagram();
        if (isFromDevice(datagram.senderAddress())) {
            chunk.append(datagram.data());
            anyFromDevice = true;
        } else {
            anyDropped = true;
        }
    }
    if (anyFromDevice || !anyDropped)
        deliver(chunk);
}

bool UdpLink::isFromDevice(const QHostAddress &sender)
{
    if (sender.isEqual(m_deviceAddress, QHostAddress::ConvertV4MappedToIPv4))
        return true;
    const QString name = sender.toString();
    if (!m_strangers.contains(name)) {
        m_strangers.insert(name);
        m_log(QStringLiteral("the udp drops datagrams from a host that is not the device: ") +
              name);
    }
    return false;
}

void UdpLink::handleError(QAbstractSocket::SocketError error)
{
    m_log(QStringLiteral("the udp occurs error: ") +
          QLatin1String(QMetaEnum::fromType<QAbstractSocket::SocketError>().valueToKey(error)));
    m_log(QStringLiteral("the udp is closed possiblely"));
    emit faulted(false);
}
