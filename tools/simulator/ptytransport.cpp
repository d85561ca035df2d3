#include "ptytransport.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

PtyTransport::PtyTransport(QObject *parent) : QObject(parent)
{
    m_drainPoll.setInterval(10);
    connect(&m_drainPoll, &QTimer::timeout, this, [this] {
        if (isDrained() || m_drainClock.elapsed() > maxDrainMs)
            close();
    });
}

PtyTransport::~PtyTransport()
{
    close();
}

bool PtyTransport::open(QString *error)
{
    char name[256] = {};
    if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0) {
        *error = QStringLiteral("openpty failed: ") + QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    termios settings{};
    ::tcgetattr(m_slave, &settings);
    ::cfmakeraw(&settings);
    ::tcsetattr(m_slave, TCSANOW, &settings);
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    m_slavePath = QString::fromLocal8Bit(name);

    m_readNotifier = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &PtyTransport::readMaster);
    m_writeNotifier = new QSocketNotifier(m_master, QSocketNotifier::Write, this);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier, &QSocketNotifier::activated, this, &PtyTransport::flushPending);
    return true;
}

// Closing the master is the pulled cable: the program's port loses its device.
void PtyTransport::closeWhenDrained()
{
    m_drainClock.start();
    m_drainPoll.start();
}

// Hanging up the master discards what the slave has not read yet.
bool PtyTransport::isDrained() const
{
    int unread = 0;
    return m_pending.isEmpty() && ::ioctl(m_slave, FIONREAD, &unread) == 0 && unread == 0;
}

void PtyTransport::close()
{
    const bool wasOpen = m_master >= 0;
    m_drainPoll.stop();
    delete m_readNotifier;
    m_readNotifier = nullptr;
    delete m_writeNotifier;
    m_writeNotifier = nullptr;
    for (int *fd : {&m_master, &m_slave}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
    m_pending.clear();
    if (wasOpen)
        emit closed();
}

void PtyTransport::write(const QByteArray &bytes)
{
    if (m_master < 0)
        return;
    m_pending.append(bytes);
    if (m_pending.size() > maxPendingBytes)
        m_pending.remove(0, m_pending.size() - maxPendingBytes);
    flushPending();
}

void PtyTransport::readMaster()
{
    char buffer[4096];
    const ssize_t count = ::read(m_master, buffer, sizeof buffer);
    if (count > 0)
        emit received(QByteArray(buffer, int(count)));
}

void PtyTransport::flushPending()
{
    while (!m_pending.isEmpty()) {
        const ssize_t written = ::write(m_master, m_pending.constData(), size_t(m_pending.size()));
        if (written <= 0)
            break;
        m_pending.remove(0, int(written));
    }
    m_writeNotifier->setEnabled(!m_pending.isEmpty());
}
