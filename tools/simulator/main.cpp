// vks20-sim: a simulated VKS20 Series laser radar on a pseudo-terminal or loopback UDP.

#include "ptytransport.h"
#include "simdevice.h"
#include "simoptions.h"
#include "udptransport.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>

namespace {

void printLine(FILE *stream, const QString &line)
{
    std::fprintf(stream, "%s\n", qPrintable(line));
    std::fflush(stream);
}

// Connects a transport to the device both ways.
template <typename Transport> void wire(Transport &transport, SimDevice &device)
{
    QObject::connect(&transport, &Transport::received, &device, &SimDevice::receive);
    QObject::connect(&device, &SimDevice::bytesOut, &transport, &Transport::write);
}

// After a pulled cable: back on a fresh pseudo-terminal, or gone for good.
void afterCablePull(PtyTransport &pty, SimDevice &device, int comeBackMs)
{
    if (comeBackMs < 0) {
        QCoreApplication::quit();
        return;
    }
    QTimer::singleShot(comeBackMs, &pty, [&pty, &device] {
        QString error;
        device.reconnect();
        if (!pty.open(&error)) {
            printLine(stderr, QStringLiteral("vks20-sim: ") + error);
            QCoreApplication::exit(1);
        }
    });
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vks20-sim"));

    SimCommandLine commandLine;
    if (!commandLine.parse(app.arguments())) {
        printLine(stderr, QStringLiteral("vks20-sim: ") + commandLine.errorText());
        return 2;
    }
    if (commandLine.helpRequested()) {
        printLine(stdout, commandLine.helpText());
        return 0;
    }
    const SimOptions &options = commandLine.options();

    SimDevice device(options);
    if (!device.restoreRegions()) {
        printLine(stderr,
                  QStringLiteral("vks20-sim: cannot read regions from ") + options.regionsFile);
        return 1;
    }
    QString error;
    if (!device.openTruthFile(&error)) {
        printLine(stderr, QStringLiteral("vks20-sim: ") + error);
        return 1;
    }
    if (options.log)
        QObject::connect(&device, &SimDevice::trace,
                         [](const QString &line) { printLine(stderr, line); });

    PtyTransport pty;
    UdpTransport udp;
    if (options.link == SimLink::Serial) {
        pty.setLinkPath(options.ptyLink);
        if (!pty.open(&error)) {
            printLine(stderr, QStringLiteral("vks20-sim: ") + error);
            return 1;
        }
        wire(pty, device);
        // The pulled cable takes the port away; the device is gone with it.
        QObject::connect(&device, &SimDevice::linkEnded, &pty, &PtyTransport::closeWhenDrained);
        QObject::connect(&pty, &PtyTransport::closed, &app,
                         [&] { afterCablePull(pty, device, options.comeBackMs); });
        printLine(stdout, QStringLiteral("PTY ") + pty.portPath());
    } else {
        if (!udp.open(options.udpAddress, options.udpPort, &error)) {
            printLine(stderr, QStringLiteral("vks20-sim: ") + error);
            return 1;
        }
        wire(udp, device);
        printLine(stdout,
                  QStringLiteral("UDP %1:%2").arg(udp.address().toString()).arg(udp.port()));
    }
    return app.exec();
}
