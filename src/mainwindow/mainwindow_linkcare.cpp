// Link care: a port that will not open says why, a serial device that went away is waited for
// and resumed when it returns, and a UDP device that falls silent while scanning is named.
#include "mainwindow/mainwindow.h"

#include "app/applogger.h"
#include "device/portlocation.h"
#include "device/portreturnwatcher.h"
#include "device/seriallink.h"
#include "device/udplink.h"
#include "mainwindow/datamessagelog.h"
#include "mainwindow/portopenfailure.h"
#include "ui_mainwindow.h"

#include <QFileInfo>
#include <QTimer>

namespace {

// A scanning device sends many revolutions a second: this long without one is no pause.
constexpr int udpSilenceMs = 3000;

} // namespace

void MainWindow::connectLinkCare()
{
    portWatcher = new PortReturnWatcher(this);
    connect(portWatcher, &PortReturnWatcher::returned, this, &MainWindow::reopenReturnedDevice);
    connect(serialLink, &DeviceLink::faulted, this, [this](bool closed) {
        if (closed && !serialClosed)
            waitForSerialDevice();
    });

    udpSilence = new QTimer(this);
    udpSilence->setSingleShot(true);
    udpSilence->setInterval(udpSilenceMs);
    connect(udpSilence, &QTimer::timeout, this, [this] {
        showLinkStatus(tr("设备已 3 秒无应答"),
                       QStringLiteral("the device has not answered for 3 s"));
    });
    // Each chunk puts the silence off again; after a silence only the next chunk re-arms it.
    connect(udpLink, &DeviceLink::received, udpSilence, [this] {
        if (scanning)
            udpSilence->start();
    });
}

void MainWindow::watchUdpSilence(bool on)
{
    if (on && connMode == Net)
        udpSilence->start();
    else
        udpSilence->stop();
}

void MainWindow::showLinkStatus(const QString &status, const QString &logText)
{
    ui->labelLinkStatus->setText(status);
    dataMessageLog->appendStatus(status);
    logInfo(logText);
}

void MainWindow::showPortOpenFailure(const QString &port)
{
    PortOpenFailure failure;
    failure.port = port;
    failure.reason = serialLink->errorText();
    failure.permissionDenied = serialLink->permissionDenied();
    failure.ownerGroup = QFileInfo(serialPortLocation(port)).group();
    showLinkStatus(
        failure.message(),
        QStringLiteral("the serialPort %1 cannot be opened: %2").arg(port, failure.reason));
    showMessage(failure.message());
}

void MainWindow::showUdpBindFailure()
{
    const QString local = ui->lineEditIP->text() + QLatin1Char(':') + ui->lineEditPort->text();
    const QString message = tr("无法绑定本机地址 %1：%2").arg(local, udpLink->errorText());
    showLinkStatus(message,
                   QStringLiteral("the udp cannot bind %1: %2").arg(local, udpLink->errorText()));
    showMessage(message);
}

void MainWindow::waitForSerialDevice()
{
    resumeScanOnReturn = scanning;
    udpSilence->stop();
    setDeviceControlsEnabled(false);
    showLinkStatus(tr("设备已断开，正在等待其重新连接……"),
                   QStringLiteral("Device lost, waiting for it to return..."));
    portWatcher->start();
}

void MainWindow::reopenReturnedDevice(const QString &path)
{
    // Still being set up (a node whose permissions are not yet in place): the next look tries
    // again.
    if (!serialLink->open(path, ui->comboBoxBaudRates->currentText().toInt()))
        return;
    portWatcher->stop();
    serialPortList()->setCurrentText(path);
    portWatcher->remember(path);
    setDeviceControlsEnabled(true);
    showLinkStatus(tr("设备已重新连接：%1").arg(path),
                   QStringLiteral("the device is back at ") + path);
    initialiseDevice();
    if (resumeScanOnReturn)
        session->startScan();
}
