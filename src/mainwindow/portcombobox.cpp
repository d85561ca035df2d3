#include "mainwindow/portcombobox.h"

namespace {

QString describe(const QSerialPortInfo &port)
{
    QStringList parts;
    for (const QString &part : {port.manufacturer(), port.description(), port.serialNumber()}) {
        if (!part.isEmpty())
            parts.append(part);
    }
    return parts.join(QStringLiteral(", "));
}

} // namespace

void PortComboBox::setPorts(const QList<QSerialPortInfo> &ports)
{
    const QString kept = currentText();
    clear();
    for (const QSerialPortInfo &port : ports) {
        addItem(port.portName());
        setItemData(count() - 1, describe(port), Qt::ToolTipRole);
    }
    if (!kept.isEmpty())
        setCurrentText(kept);
}

void PortComboBox::showPopup()
{
    setPorts(QSerialPortInfo::availablePorts());
    QComboBox::showPopup();
}
