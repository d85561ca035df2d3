#pragma once

#include <QComboBox>
#include <QSerialPortInfo>

// A list of serial ports that lists them afresh each time it is opened, so an adapter plugged
// in later shows up; a path the operator typed stays. Each port's maker, product and serial
// number are its tool tip.
class PortComboBox : public QComboBox
{
    Q_OBJECT
public:
    using QComboBox::QComboBox;

    void showPopup() override;

private:
    void setPorts(const QList<QSerialPortInfo> &ports);
};
