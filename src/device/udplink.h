#pragma once

#include "device/devicelink.h"
#include "protocol/logsink.h"

#include <QHostAddress>
#include <QSet>
#include <QUdpSocket>

// The device over UDP: bound to a local address and port, sending every datagram to the
// device's endpoint and taking datagrams only from the device's address (any source port).
// Whatever else arrives, another radar answering on the same port included, is dropped.
class UdpLink : public DeviceLink
{
    Q_OBJECT
public:
    // An empty log keeps the link silent.
    explicit UdpLink(LogSink log, QObject *parent = nullptr);

    void setDeviceEndpoint(const QHostAddress &address, quint16 port);
    QHostAddress deviceAddress() const { return m_deviceAddress; }
    // False when the address cannot be bound; errorText() then says why.
    bool open(const QHostAddress &localAddress, quint16 localPort);
    QString errorText() const { return m_socket.errorString(); }

    bool isOpen() const override { return m_bound; }
    void write(const QByteArray &bytes) override;
    void close() override;

private:
    void read();
    bool isFromDevice(const QHostAddress &sender);
    void handleError(QAbstractSocket::SocketError error);

    LogSink m_log;
    QUdpSocket m_socket;
    bool m_bound = false;
    QHostAddress m_deviceAddress{QStringLiteral("192.168.1.102")};
    quint16 m_devicePort = 502;
    // Senders already named in the log; each stranger is logged once.
    QSet<QString> m_strangers;
};
