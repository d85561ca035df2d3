#include "ptytransport.h"

#include <QCoreApplication>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

// Replaces the link in one rename, so whoever opens it finds the old target or the new one.
bool repointLink(const QString &link, const QString &target, QString *error)
{
    const QByteArray linkName = QFile::encodeName(link);
    const QByteArray temporary =
        linkName + ".new" + QByteArray::number(QCoreApplication::applicationPid());
    ::unlink(temporary.constData());
    if (::symlink(QFile::encodeName(target).constData(), temporary.constData()) == 0 &&
        ::rename(temporary.constData(), linkName.constData()) == 0)
        return true;
    *error = QStringLiteral("cannot link %1 to %2: %3").arg(link, target, systemError());
    ::unlink(temporary.constData());
    return false;
}

} // namespace

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
    int master = -1;
    int slave = -1;
    if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        *error = QStringLiteral("openpty failed: ") + systemError();
        return false;
    }
    termios settings{};
    ::tcgetattr(slave, &settings);
    ::cfmakeraw(&settings);
    ::tcsetattr(slave, TCSANOW, &settings);
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    const QString slavePath = QString::fromLocal8Bit(name);
    if (!m_linkPath.isEmpty() && !repointLink(m_linkPath, slavePath, error)) {
        ::close(master);
        ::close(slave);
        return false;
    }
    m_master = master;
    m_slave = slave;
    m_slavePath = slavePath;

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
