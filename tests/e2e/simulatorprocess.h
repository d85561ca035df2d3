#pragma once
// Shared by the end-to-end suites: the simulator as a process of its own, and the window
// connected to it from the connection page as the operator would.

#include "mainwindow/mainwindowsupport.h"

#include <QProcess>

// One simulated device for as long as the object lives, linked as the connection mode asks.
struct Simulator
{
    Simulator(int mode, const QStringList &options)
    {
        const QStringList link = mode == Net      ? QStringList{"--udp", "127.0.0.1:0"}
                                 : mode == Modbus ? QStringList{"--serial", "--modbus"}
                                                  : QStringList{"--serial"};
        // A tracing device keeps its trace for the test to read.
        process.setProcessChannelMode(options.contains(QStringLiteral("--log"))
                                          ? QProcess::SeparateChannels
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

    QProcess process;
    QString endpoint;
};

inline const char *connectButtonName(int mode)
{
    return mode == Net      ? "pushButtonConnNet"
           : mode == Modbus ? "pushButtonModbusConn"
                            : "pushButtonConn";
}

// Opens the link to the simulator at `endpoint` ("<path>" or "<addr>:<port>").
inline void connectFromPage(MainWindow *window, int mode, const QString &endpoint)
{
    if (mode == Net) {
        openUdpLinkFromPage(window, endpoint.section(QLatin1Char(':'), -1).toUShort());
        return;
    }
    widget<QComboBox>(window, "comboBoxConnMode")->setCurrentIndex(mode);
    widget<QComboBox>(window, mode == Modbus ? "comboBoxModbusComNames" : "comboBoxComNames")
        ->setEditText(endpoint);
    QTest::mouseClick(widget<QAbstractButton>(window, connectButtonName(mode)), Qt::LeftButton);
}
