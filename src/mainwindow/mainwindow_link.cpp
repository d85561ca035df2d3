// The serial and UDP link: opening and closing, the one send path and the receivers.
#include "mainwindow/mainwindow.h"

#include "app/applogger.h"
#include "display/radarindicatorwidget.h"
#include "mainwindow/datamessagelog.h"
#include "protocol/hextext.h"
#include "ui_mainwindow.h"

#include <QMetaEnum>
#include <QNetworkDatagram>
#include <QSerialPortInfo>
#include <QUdpSocket>

#include <log4qt/logger.h>

namespace {

template <typename Enum> QString enumKey(Enum value)
{
    return QLatin1String(QMetaEnum::fromType<Enum>().valueToKey(value));
}

} // namespace

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
}

void MainWindow::on_comboBoxBaudRates_currentIndexChanged(int)
{
    if (serialPort->isOpen())
        serialPort->setBaudRate(ui->comboBoxBaudRates->currentText().toInt());
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
    if (serialPort->isOpen())
        return;
    serialPort->setPortName(serialPortList()->currentText());
    if (!serialPort->open(QIODevice::ReadWrite)) {
        setDeviceControlsEnabled(false);
        return;
    }
    logInfo(QStringLiteral("the serialPort is opening......"));
    serialPort->setBaudRate(ui->comboBoxBaudRates->currentText().toInt());
    serialPort->setDataBits(QSerialPort::Data8);
    serialPort->setFlowControl(QSerialPort::NoFlowControl);
    serialPort->setParity(QSerialPort::NoParity);
    serialPort->setStopBits(QSerialPort::OneStop);
    serialPort->clearError();
    serialPort->clear(QSerialPort::AllDirections);

    showLinkOpened(tr("VKS20 系列"));
    serialPortList()->setEnabled(false);
    initialiseConnection(serialConnectButton());
    serialClosed = false;
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
    logInfo(QStringLiteral("the udp is opening..."));
    udpSocket->abort();
    // An empty or unusable port text becomes 0, which lets the system choose the port.
    udpBound =
        udpSocket->bind(QHostAddress(ui->lineEditIP->text()), ui->lineEditPort->text().toUShort(),
                        QAbstractSocket::DefaultForPlatform);
    if (!udpBound) {
        setDeviceControlsEnabled(false);
        return;
    }
    // The device name is shown untranslated on this path, as the device reports it.
    showLinkOpened(QStringLiteral("VKS20 系列"));
    ui->lineEditIP->setEnabled(false);
    ui->lineEditPort->setEnabled(false);
    ui->pushButtonConnNet->setText(tr("关闭"));
    initialiseConnection(nullptr);
    udpClosed = false;
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
    setDeviceControlsEnabled(true);
    ui->comboBoxConnMode->setEnabled(false);
    ui->lineEditDevName->setText(deviceName);
    ui->lineEditSerialNo->setText(QStringLiteral("4.6.5"));
    ui->lineEditVersionNo->setText(QStringLiteral("202404161525"));
    ui->lineEditAngleResolution->setText(QString::number(angleResolution, 'f', 2));
    ui->lineEditFrenquency->setText(ui->comboBoxScanFrenquency->currentText());
    ui->lineEditBaudRates->setText(ui->comboBoxBaudRates->currentText());
}

void MainWindow::showLinkClosed()
{
    closeCurrentLink();
    setDeviceControlsEnabled(false);
    ui->comboBoxConnMode->setEnabled(true);
    for (QLineEdit *field :
         {ui->lineEditDevName, ui->lineEditSerialNo, ui->lineEditVersionNo,
          ui->lineEditAngleResolution, ui->lineEditFrenquency, ui->lineEditBaudRates}) {
        field->clear();
    }
}

void MainWindow::closeCurrentLink()
{
    if (connMode == Net) {
        udpSocket->abort();
        udpBound = false;
    } else if (serialPort->isOpen()) {
        serialPort->close();
    }
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
    return serialPort->isOpen() || udpBound;
}

void MainWindow::setDeviceControlsEnabled(bool on)
{
    for (QPushButton *control :
         {ui->pushButtonStartScan, ui->pushButtonStopScan, ui->pushButtonOpenConfig,
          ui->pushButtonSaveConfig, ui->pushButtonAlarmState, ui->pushButtonUpload,
          ui->pushButtonDownload}) {
        control->setEnabled(on);
    }
}

void MainWindow::sendHexCommand(const QString &hexText)
{
    if (hexText.isEmpty())
        return;
    logInfo(QStringLiteral("the software send data >>> ") + hexText);
    dataMessageLog->appendSend(hexText);

    const QByteArray bytes = HexText::toBytes(hexText);
    // Bytes leave only through a link the operator opened; otherwise the command is shown
    // and logged but goes nowhere, so no datagram reaches a device that was never connected.
    if (connMode == Net) {
        if (udpBound) {
            udpSocket->writeDatagram(bytes, deviceAddress, devicePort);
            udpSocket->flush();
        }
    } else if (serialPort->isOpen()) {
        serialPort->write(bytes);
        serialPort->flush();
    }
}

void MainWindow::reportStatus(const QString &statusLine, const QString &logText)
{
    dataMessageLog->appendStatus(statusLine);
    logInfo(logText);
}

void MainWindow::readSerialData()
{
    logInfo(QStringLiteral("the serialPort is ready for reading..."));
    handleReceivedData(serialPort->readAll());
}

void MainWindow::readUdpData()
{
    logInfo(QStringLiteral("the udp is ready for reading..."));
    QByteArray chunk;
    while (udpSocket->hasPendingDatagrams())
        chunk.append(udpSocket->receiveDatagram().data());
    handleReceivedData(chunk);
}

void MainWindow::handleSerialError(QSerialPort::SerialPortError error)
{
    logInfo(QStringLiteral("the serialPort occurs error: ") + enumKey(error));
    // A pulled cable shows as a resource error; a pseudo-terminal whose other end vanished
    // as a read error that repeats for as long as the port stays open.
    if (error == QSerialPort::ResourceError || error == QSerialPort::ReadError) {
        logInfo(QStringLiteral("the serialPort is closed possiblely"));
        clearBothDisplays();
        // Release the dead port so the event loop does not spin on it; the link stays open
        // for the operator until the button closes it.
        serialPort->close();
    }
}

void MainWindow::handleUdpError(QAbstractSocket::SocketError error)
{
    logInfo(QStringLiteral("the udp occurs error: ") + enumKey(error));
    logInfo(QStringLiteral("the udp is closed possiblely"));
    clearBothDisplays();
}

void MainWindow::clearBothDisplays()
{
    ui->radarIndicatorWidget->clearScreen();
    ui->radarIndicatorWidgetDrawRgn->clearScreen();
}
