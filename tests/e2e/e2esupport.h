#pragma once
// The program against the device simulator: the simulator runs as its own process on a
// pseudo-terminal or on UDP at 127.0.0.1, and the test drives the real window's widgets.

#include "mainwindow/test_dispatcher_support.h"

#include "regions/regionfile.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <log4qt/propertyconfigurator.h>

// One simulated device for as long as the object lives.
class Simulator
{
public:
    explicit Simulator(const QStringList &arguments)
    {
        process.setProgram(QStringLiteral(VKS20_SIM_PATH));
        process.setArguments(arguments);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start();
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

    static QStringList serial(bool modbus, const QStringList &options = {})
    {
        return QStringList{QStringLiteral("--serial")} +
               (modbus ? QStringList{QStringLiteral("--modbus")} : QStringList()) + options;
    }
    static QStringList udp(const QStringList &options = {})
    {
        return QStringList{QStringLiteral("--udp"), QStringLiteral("127.0.0.1:0")} + options;
    }

    bool isRunning() const { return process.state() == QProcess::Running; }
    quint16 udpPort() const { return quint16(endpoint.section(QLatin1Char(':'), -1).toUInt()); }

    QString endpoint;

private:
    QProcess process;
};

// The three connection modes as the operator picks them.
inline QStringList simulatorArguments(int mode, const QStringList &options = {})
{
    return mode == Net ? Simulator::udp(options) : Simulator::serial(mode == Modbus, options);
}

// Picks the mode, names the device and clicks the mode's connect button.
inline void connectFromPage(MainWindow *window, int mode, const Simulator &device)
{
    showPage(window, 0);
    if (mode == Net) {
        openUdpLinkFromPage(window, device.udpPort());
        return;
    }
    widget<QComboBox>(window, "comboBoxConnMode")->setCurrentIndex(mode);
    const bool modbus = mode == Modbus;
    auto *ports = widget<QComboBox>(window, modbus ? "comboBoxModbusComNames" : "comboBoxComNames");
    if (ports->isEditable()) {
        ports->setEditText(device.endpoint);
    } else {
        ports->addItem(device.endpoint);
        ports->setCurrentIndex(ports->count() - 1);
    }
    QTest::mouseClick(
        widget<QAbstractButton>(window, modbus ? "pushButtonModbusConn" : "pushButtonConn"),
        Qt::LeftButton);
}

inline const char *connectButtonName(int mode)
{
    return mode == Net      ? "pushButtonConnNet"
           : mode == Modbus ? "pushButtonModbusConn"
                            : "pushButtonConn";
}

// The program's log, written to a file of the test's own.
class LogFile
{
public:
    LogFile() : path(dir.filePath(QStringLiteral("vks20.log")))
    {
        QFile config(dir.filePath(QStringLiteral("Log4Qt.properties")));
        config.open(QIODevice::WriteOnly);
        config.write("log4j.rootLogger=INFO, file\n"
                     "log4j.appender.file=org.apache.log4j.FileAppender\n"
                     "log4j.appender.file.File=" +
                     path.toUtf8() +
                     "\n"
                     "log4j.appender.file.ImmediateFlush=true\n"
                     "log4j.appender.file.layout=org.apache.log4j.PatternLayout\n"
                     "log4j.appender.file.layout.ConversionPattern=%m%n\n");
        config.close();
        configured = Log4Qt::PropertyConfigurator::configure(config.fileName());
    }

    QStringList lines() const
    {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    bool configured = false;

private:
    QTemporaryDir dir;
    QString path;
};

// The initialisation as it must appear on the wire, per mode.
inline QStringList initialisationCommands(int mode)
{
    const QString io = QStringLiteral("FF0000A108");
    if (mode == Modbus) {
        return QStringList{QStringLiteral("01100BFA000306A55A049CFAFB6482"),
                           QStringLiteral("01100BF7000306FF0002A100FF73A8"),
                           QStringLiteral("01030BFE000306A55A0099FAFBF19D")} +
               repeated(io, 3);
    }
    return QStringList{QStringLiteral("A55A049CFAFB"), QStringLiteral("FF0002A100"),
                       QStringLiteral("A55A0099FAFB")} +
           repeated(io, 3);
}

inline QString startCommand(int mode)
{
    return mode == Modbus ? QStringLiteral("01100BF7000306FF00FFA100FF4204")
                          : QStringLiteral("FF00FFA100");
}
