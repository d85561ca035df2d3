#include "device/portreturnwatcher.h"

#include "device/portlocation.h"

#include <QFileInfo>
#include <QSerialPortInfo>

namespace {

constexpr int lookIntervalMs = 1000;

// A pseudo-terminal's number passes to the next terminal anyone opens: by its own name it never
// comes back, only through a link that is pointed at its successor.
bool canComeBack(const QString &location)
{
    const QFileInfo file(location);
    return file.isSymLink() || !file.absoluteFilePath().startsWith(QLatin1String("/dev/pts/"));
}

} // namespace

PortReturnWatcher::PortReturnWatcher(QObject *parent) : QObject(parent)
{
    m_poll.setInterval(lookIntervalMs);
    connect(&m_poll, &QTimer::timeout, this, &PortReturnWatcher::look);
}

void PortReturnWatcher::remember(const QString &path)
{
    m_path = path;
    m_serialNumber.clear();
    const QString location = serialPortLocation(path);
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        if (info.systemLocation() == location)
            m_serialNumber = info.serialNumber();
    }
}

void PortReturnWatcher::start()
{
    m_poll.start();
}

void PortReturnWatcher::stop()
{
    m_poll.stop();
}

void PortReturnWatcher::look()
{
    const QString location = serialPortLocation(m_path);
    if (canComeBack(location) && QFileInfo::exists(location)) {
        emit returned(m_path);
        return;
    }
    if (m_serialNumber.isEmpty())
        return;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        if (info.serialNumber() == m_serialNumber) {
            emit returned(info.systemLocation());
            return;
        }
    }
}
