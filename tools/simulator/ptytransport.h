#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QSocketNotifier>
#include <QString>
#include <QTimer>

// A pseudo-terminal that stands in for the serial cable. The program opens the slave
// path; the simulator reads and writes the master. Our own slave descriptor stays open
// so that the link survives the program closing and reopening the port. A link path, when
// set, is a symlink kept pointing at the current slave, as udev names a serial adapter.
class PtyTransport : public QObject
{
    Q_OBJECT

public:
    // Output beyond this, while nobody reads the port, is lost as on a real line.
    static constexpr int maxPendingBytes = 256 * 1024;
    // How long a pulled cable waits for the program to take what was already sent.
    static constexpr int maxDrainMs = 2000;

    explicit PtyTransport(QObject *parent = nullptr);
    ~PtyTransport() override;

    // Each open makes a fresh pseudo-terminal and points the link path at it.
    void setLinkPath(const QString &path) { m_linkPath = path; }
    bool open(QString *error);
    void close();
    // Closes once the program has read everything sent so far (or after maxDrainMs).
    void closeWhenDrained();
    // The path for the program to open: the link path when there is one.
    QString portPath() const { return m_linkPath.isEmpty() ? m_slavePath : m_linkPath; }
    void write(const QByteArray &bytes);

signals:
    void received(const QByteArray &bytes);
    void closed();

private:
    void readMaster();
    void flushPending();
    bool isDrained() const;

    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
    QString m_linkPath;
    QSocketNotifier *m_readNotifier = nullptr;
    QSocketNotifier *m_writeNotifier = nullptr;
    QByteArray m_pending;
    QTimer m_drainPoll;
    QElapsedTimer m_drainClock;
};
