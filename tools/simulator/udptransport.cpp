#include "udptransport.h"

#include <QNetworkDatagram>

UdpTransport::UdpTransport(QObject *parent) : QObject(parent)
{
    connect(&m_socket, &QUdpSocket::readyRead, this, &UdpTransport::readDatagrams);
}

bool UdpTransport::open(const QHostAddress &address, quint16 port, QString *error)
{
    if (m_socket.bind(address, port))
        return true;
    *error = m_socket.errorString();
    return false;
}

void UdpTransport::write(const QByteArray &bytes)
{
    if (m_peerPort != 0)
        m_socket.writeDatagram(bytes, m_peer, m_peerPort);
}

void UdpTransport::readDatagrams()
{
    while (m_socket.hasPendingDatagrams()) {
        const QNetworkDatagram datagram = m_socket.receiveDatagram();
        m_peer = datagram.senderAddress();
        m_peerPort = quint16(datagram.senderPort());
        emit received(datagram.data());
    }
}
