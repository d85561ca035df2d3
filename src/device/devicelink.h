#pragma once

#include <QByteArray>
#include <QObject>

// A transport to the device that only moves bytes: what it receives goes out through
// `received` in the chunks it arrived in, and `write` sends while the link is open. It knows
// nothing of the protocol.
class DeviceLink : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    virtual bool isOpen() const = 0;
    // Sends while open; bytes written to a closed link go nowhere.
    virtual void write(const QByteArray &bytes) = 0;
    virtual void close() = 0;

protected:
    // How a link hands on what it received.
    void deliver(const QByteArray &chunk)
    {
        emit arriving(chunk);
        emit received(chunk);
    }

signals:
    // Each chunk received, just before `received`: a recording takes it before anything the
    // chunk makes the program send.
    void arriving(const QByteArray &chunk);
    void received(const QByteArray &chunk);
    // Bytes that did leave for the device, as they were handed to the transport.
    void sent(const QByteArray &bytes);
    // The transport reported trouble that may mean the device is gone. `closed` says the link
    // had to close itself (a serial device vanished); otherwise it stays open.
    void faulted(bool closed);
    // The link was open and is not any more: closed on request or after a fault.
    void closed();
};
