#pragma once

#include <QObject>
#include <QTimer>

// Watches, once a second, for a serial device that went away to come back: at the path it was
// opened by, or (a USB adapter plugged into another socket) under another name with the same
// serial number. While it is there, every look says where to open it.
class PortReturnWatcher : public QObject
{
    Q_OBJECT
public:
    explicit PortReturnWatcher(QObject *parent = nullptr);

    // Notes what identifies the device open at `path`, while it is still there.
    void remember(const QString &path);
    void start();
    void stop();
    bool isWatching() const { return m_poll.isActive(); }

signals:
    void returned(const QString &path);

private:
    void look();

    QString m_path;
    QString m_serialNumber;
    QTimer m_poll;
};
