// The serial and UDP link: opening and closing from the connect buttons, the device fields and
// the device controls.
#include "mainwindow/mainwindow.h"

#include "app/applogger.h"
#include "device/portreturnwatcher.h"
#include "device/seriallink.h"
#include "device/udplink.h"
#include "display/radarindicatorwidget.h"
#include "mainwindow/datamessagelog.h"
#include "ui_mainwindow.h"

#include <QSerialPortInfo>
#include <QTimer>

QStringList MainWindow::findAvailablePorts()
{
    QStringList names;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts())
        names.append(info.portName());
    logInfo(QStringLiteral("findAvailablePorts >>> ") + names.join(QLatin1Char(',')));
    return names;
}

void MainWindow::on_comboBoxConnMode_currentIndexChanged(int index)
{
    ui->stackedWidgetConnMode->setCurrentIndex(index);
    connMode = index;
    session->setMode(ConnMode(index));
}

void MainWindow::on_comboBoxBaudRates_currentIndexChanged(int)
{
    serialLink->setBaudRate(ui->comboBoxBaudRates->currentText().toInt());
}

void MainWindow::on_pushButtonConn_clicked()
{
    toggleSerialLink();
}

void MainWindow::on_pushButtonModbusConn_clicked()
{
    toggleSerialLink();
}

void MainWindow::on_pushButtonConnNet_clicked()
{
    if (udpClosed)
        openUdpLink();
    else
        closeUdpLink();
}

void MainWindow::on_pushButtonClear_clicked()
{
    dataMessageLog->clear();
}

void MainWindow::toggleSerialLink()
{
    if (serialClosed)
        openSerialLink();
    else
        closeSerialLink();
}

void MainWindow::openSerialLink()
{
    endReplay();
    const QString port = serialPortList()->currentText();
    if (!serialLink->open(port, ui->comboBoxBaudRates->currentText().toInt())) {
        setDeviceControlsEnabled(false);
        showPortOpenFailure(port);
        return;
    }
    portWatcher->remember(port);
    session->setLink(serialLink);
    showLinkOpened(tr("VKS20 系列"));
    serialPortList()->setEnabled(false);
    serialConnectButton()->setText(tr("关闭"));
    serialClosed = false;
    initialiseDevice();
}

void MainWindow::closeSerialLink()
{
    logInfo(QStringLiteral("the serialPort is closing..."));
    showLinkClosed();
    serialConnectButton()->setText(tr("打开"));
    serialPortList()->setEnabled(true);
    serialClosed = true;
}

void MainWindow::openUdpLink()
{
    endReplay();
    logInfo(QStringLiteral("the udp is opening..."));
    // An empty or unusable port text becomes 0, which lets the system choose the port.
    if (!udpLink->open(QHostAddress(ui->lineEditIP->text()), ui->lineEditPort->text().toUShort())) {
        setDeviceControlsEnabled(false);
        showUdpBindFailure();
        return;
    }
    session->setLink(udpLink);
    // The device name is shown untranslated on this path, as the device reports it.
    showLinkOpened(QStringLiteral("VKS20 系列"));
    ui->lineEditIP->setEnabled(false);
    ui->lineEditPort->setEnabled(false);
    ui->pushButtonConnNet->setText(tr("关闭"));
    udpClosed = false;
    initialiseDevice();
}

void MainWindow::closeUdpLink()
{
    logInfo(QStringLiteral("the udp is closing..."));
    showLinkClosed();
    ui->lineEditIP->setEnabled(true);
    ui->lineEditPort->setEnabled(true);
    ui->pushButtonConnNet->setText(tr("打开"));
    udpClosed = true;
}

void MainWindow::showLinkOpened(const QString &deviceName)
{
    ui->labelLinkStatus->clear();
    setDeviceControlsEnabled(true);
    ui->comboBoxConnMode->setEnabled(false);
    ui->lineEditDevName->setText(deviceName);
    ui->lineEditSerialNo->setText(QStringLiteral("4.6.5"));
    ui->lineEditVersionNo->setText(QStringLiteral("202404161525"));
    ui->lineEditAngleResolution->setText(
        QString::number(session->scanGeometry().angleResolution, 'f', 2));
    ui->lineEditFrenquency->setText(ui->comboBoxScanFrenquency->currentText());
    ui->lineEditBaudRates->setText(ui->comboBoxBaudRates->currentText());
}

void MainWindow::showLinkClosed()
{
    closeCurrentLink();
    portWatcher->stop();
    udpSilence->stop();
    ui->labelLinkStatus->clear();
    setDeviceControlsEnabled(false);
    setScanning(false);
    ui->comboBoxConnMode->setEnabled(true);
    for (QLineEdit *field :
         {ui->lineEditDevName, ui->lineEditSerialNo, ui->lineEditVersionNo,
          ui->lineEditAngleResolution, ui->lineEditFrenquency, ui->lineEditBaudRates}) {
        field->clear();
    }
}

void MainWindow::closeCurrentLink()
{
    if (connMode == Net)
        udpLink->close();
    else
        serialLink->close();
}

QPushButton *MainWindow::serialConnectButton() const
{
    return connMode == Modbus ? ui->pushButtonModbusConn : ui->pushButtonConn;
}

QComboBox *MainWindow::serialPortList() const
{
    return connMode == Modbus ? ui->comboBoxModbusComNames : ui->comboBoxComNames;
}

bool MainWindow::isLinkOpen() const
{
    return serialLink->isOpen() || udpLink->isOpen();
}

void MainWindow::setDeviceControlsEnabled(bool on)
{
    for (QPushButton *control :
         {ui->pushButtonStartScan, ui->pushButtonStopScan, ui->pushButtonOpenConfig,
          ui->pushButtonSaveConfig, ui->pushButtonUpload, ui->pushButtonDownload,
          ui->pushButtonRecord}) {
        control->setEnabled(on);
    }
}

// A transport fault may mean the device is gone: what the displays show is no longer live.
void MainWindow::clearBothDisplays()
{
    ui->radarIndicatorWidget->clearScreen();
    ui->radarIndicatorWidgetDrawRgn->clearScreen();
    displayedRevolution.clear();
}
