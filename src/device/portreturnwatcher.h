#pragma once

#include <QObject>
#include <QTimer>
#include <QVector>

#include <functional>
#include <optional>

// What the system tells of the adapter behind a serial port; nothing where it tells nothing
// (a built-in port, a pseudo-terminal).
struct SerialAdapter
{
    QString location; // the device node
    QString serialNumber;
    std::optional<quint16> vendor;
    std::optional<quint16> product;

    bool isIdentified() const { return !serialNumber.isEmpty() || vendor || product; }
    bool isSameAdapter(const SerialAdapter &other) const
    {
        return serialNumber == other.serialNumber && vendor == other.vendor &&
               product == other.product;
    }
};

// Watches, once a second, for a serial device that went away to come back: at the path it was
// opened by, or (a USB adapter plugged into another socket) under another name with the same
// serial number. Where the system names the adapter, only that adapter counts as the device:
// another one given the same port name is not it. While it is there, every look says where to
// open it.
class PortReturnWatcher : public QObject
{
    Q_OBJECT
public:
    // The ports there are now; a test gives a list of its own.
    using PortLister = std::function<QVector<SerialAdapter>()>;

    explicit PortReturnWatcher(QObject *parent = nullptr, PortLister listPorts = {});

    // Notes what identifies the device open at `path`, while it is still there.
    void remember(const QString &path);
    void start();
    void stop();
    bool isWatching() const { return m_poll.isActive(); }
    // One look, as the timer takes it.
    void look();

signals:
    void returned(const QString &path);

private:
    std::optional<QString> returnedPath() const;

    PortLister m_listPorts;
    QString m_path;
    SerialAdapter m_adapter;
    QTimer m_poll;
};
