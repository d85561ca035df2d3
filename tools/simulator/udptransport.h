#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QUdpSocket>

// The device's UDP endpoint: every datagram received goes to the device, every answer
// goes back to whoever sent the last datagram.
class UdpTransport : public QObject
{
    Q_OBJECT

public:
    explicit UdpTransport(QObject *parent = nullptr);

    bool open(const QHostAddress &address, quint16 port, QString *error);
    QHostAddress address() const { return m_socket.localAddress(); }
    quint16 port() const { return m_socket.localPort(); }
    void write(const QByteArray &bytes);

signals:
    void received(const QByteArray &bytes);

private:
    void readDatagrams();

    QUdpSocket m_socket;
    QHostAddress m_peer;
    quint16 m_peerPort = 0;
};
