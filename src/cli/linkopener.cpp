#include "linkopener.h"

#include "device/seriallink.h"
#include "device/udplink.h"

#include <QHostInfo>

namespace {

// The links trace into the program's log; the tool has none.
const LogSink noLog = [](const QString &) {};

QHostAddress resolved(const QString &host)
{
    const QHostAddress address(host);
    if (!address.isNull())
        return address;
    const QList<QHostAddress> found = QHostInfo::fromName(host).addresses();
    return found.isEmpty() ? QHostAddress() : found.first();
}

std::unique_ptr<DeviceLink> openSerial(const LinkOptions &options, QString *error)
{
    auto link = std::make_unique<SerialLink>(noLog);
    if (link->open(options.serialPath, options.baudRate))
        return link;
    *error = QStringLiteral("cannot open %1: %2").arg(options.serialPath, link->errorText());
    return nullptr;
}

std::unique_ptr<DeviceLink> openUdp(const LinkOptions &options, QString *error)
{
    const QHostAddress device = resolved(options.deviceHost);
    if (device.isNull()) {
        *error = QStringLiteral("cannot find the host %1").arg(options.deviceHost);
        return nullptr;
    }
    auto link = std::make_unique<UdpLink>(noLog);
    link->setDeviceEndpoint(device, options.devicePort);
    if (link->open(options.bindAddress, options.bindPort))
        return link;
    *error = QStringLiteral("cannot bind %1:%2: %3")
                 .arg(options.bindAddress.toString())
                 .arg(options.bindPort)
                 .arg(link->errorText());
    return nullptr;
}

} // namespace

std::unique_ptr<DeviceLink> openLink(const LinkOptions &options, QString *error)
{
    return options.mode == Net ? openUdp(options, error) : openSerial(options, error);
}
