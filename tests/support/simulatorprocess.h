#pragma once
// The device simulator as a process of its own, for the suites that drive the window or the
// command-line tool against it.

#include "protocol/linktypes.h"

#include <QProcess>
#include <QTest>

// One simulated device for as long as the object lives, linked as the connection mode asks.
struct Simulator
{
    Simulator(int mode, const QStringList &options) : mode(mode)
    {
        const QStringList link = mode == Net      ? QStringList{"--udp", "127.0.0.1:0"}
                                 : mode == Modbus ? QStringList{"--serial", "--modbus"}
                                                  : QStringList{"--serial"};
        // A tracing device's trace follows the endpoint line on the one channel, for the test.
        process.setProcessChannelMode(options.contains(QStringLiteral("--log"))
                                          ? QProcess::MergedChannels
                                          : QProcess::ForwardedErrorChannel);
        process.start(QStringLiteral(VKS20_SIM_PATH), link + options);
        // The first line names the endpoint: "PTY <path>" or "UDP <addr>:<port>".
        if (process.waitForStarted() && process.waitForReadyRead(5000))
            endpoint = QString::fromUtf8(process.readLine()).trimmed().section(QLatin1Char(' '), 1);
    }
    ~Simulator()
    {
        process.terminate();
        if (!process.waitForFinished(3000))
            process.kill();
        process.waitForFinished();
    }

    int mode;
    QProcess process;
    QString endpoint;
};

inline void connectionModes()
{
    QTest::addColumn<int>("mode");
    QTest::newRow("usb over a pty") << int(Usb);
    QTest::newRow("udp on 127.0.0.1") << int(Net);
    QTest::newRow("modbus over a pty") << int(Modbus);
}
