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

QVector<SerialAdapter> systemPorts()
{
    QVector<SerialAdapter> ports;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        SerialAdapter port{info.systemLocation(), info.serialNumber(), {}, {}};
        if (info.hasVendorIdentifier())
            port.vendor = info.vendorIdentifier();
        if (info.hasProductIdentifier())
            port.product = info.productIdentifier();
        ports.append(port);
    }
    return ports;
}

// The node a path leads to, through any link (/dev/serial/by-id/...); the path itself while
// nothing is there.
QString nodeOf(const QString &path)
{
    const QFileInfo file(serialPortLocation(path));
    return file.exists() ? file.canonicalFilePath() : file.absoluteFilePath();
}

} // namespace

PortReturnWatcher::PortReturnWatcher(QObject *parent, PortLister listPorts)
    : QObject(parent), m_listPorts(listPorts ? std::move(listPorts) : systemPorts)
{
    m_poll.setInterval(lookIntervalMs);
    connect(&m_poll, &QTimer::timeout, this, &PortReturnWatcher::look);
}

void PortReturnWatcher::remember(const QString &path)
{
    m_path = path;
    m_adapter = {};
    const QString node = nodeOf(path);
    for (const SerialAdapter &port : m_listPorts()) {
        if (nodeOf(port.location) == node)
            m_adapter = port;
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
    if (const std::optional<QString> path = returnedPath())
        emit returned(*path);
}

std::optional<QString> PortReturnWatcher::returnedPath() const
{
    const QString location = serialPortLocation(m_path);
    if (!m_adapter.isIdentified()) {
        if (canComeBack(location) && QFileInfo::exists(location))
            return m_path;
        return std::nullopt;
    }
    const QString node = nodeOf(m_path);
    std::optional<QString> elsewhere;
    for (const SerialAdapter &port : m_listPorts()) {
        if (!port.isSameAdapter(m_adapter))
            continue;
        if (nodeOf(port.location) == node)
            return m_path;
        // Without a serial number one adapter of a make is any other of it.
        if (!m_adapter.serialNumber.isEmpty())
            elsewhere = port.location;
    }
    return elsewhere;
}
