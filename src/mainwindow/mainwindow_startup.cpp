// The links the command line asks for at start, opened as the operator would open them.
#include "mainwindow/mainwindow.h"

#include "device/seriallink.h"
#include "device/udplink.h"
#include "ui_mainwindow.h"

bool MainWindow::connectSerial(const QString &path, bool modbus)
{
    ui->comboBoxConnMode->setCurrentIndex(modbus ? Modbus : Usb);
    serialPortList()->setCurrentText(path);
    if (serialClosed)
        openSerialLink();
    return serialLink->isOpen();
}

bool MainWindow::connectUdp(const QHostAddress &deviceAddress, quint16 devicePort)
{
    ui->comboBoxConnMode->setCurrentIndex(Net);
    setDeviceEndpoint(deviceAddress, devicePort);
    const bool ipv6 = deviceAddress.protocol() == QAbstractSocket::IPv6Protocol;
    ui->lineEditIP->setText(
        QHostAddress(ipv6 ? QHostAddress::AnyIPv6 : QHostAddress::AnyIPv4).toString());
    ui->lineEditPort->setText(QStringLiteral("0"));
    if (udpClosed)
        openUdpLink();
    return udpLink->isOpen();
}
