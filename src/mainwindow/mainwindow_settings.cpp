// The operator's choices kept between runs: connection, device and display fields, the point
// colour and the folder region files were last taken from.
#include "mainwindow/mainwindow.h"

#include "mainwindow/widgetsettings.h"

#include <QSettings>

namespace {

// The connection mode comes first: it shows the page the port fields sit on.
const QVector<WidgetSetting> rememberedFields = {
    {"connection/mode", "comboBoxConnMode"},
    {"connection/serialPort", "comboBoxComNames"},
    {"connection/modbusPort", "comboBoxModbusComNames"},
    {"connection/baudRate", "comboBoxBaudRates"},
    {"connection/localAddress", "lineEditIP"},
    {"connection/localPort", "lineEditPort"},
    // Sent to the device at every connection; changing it here would send it now.
    {"device/ioMode", "comboBoxIOMode", true},
    {"display/mode", "comboBoxGraphType"},
    {"display/pointRadius", "spinBoxPointRadius"},
    {"display/lineWidth", "spinBoxLineWidth"},
    {"regions/verify", "checkBoxVerifyAfterDownload"},
    {"regions/alarmStatus", "pushButtonAlarmState"},
};

const QString pointColorKey = QStringLiteral("display/pointColor");
const QString regionFolderKey = QStringLiteral("regions/folder");

} // namespace

void MainWindow::saveSettings(QSettings &settings) const
{
    WidgetSettings::save(settings, this, rememberedFields);
    if (pointColor.isValid())
        settings.setValue(pointColorKey, pointColor.name(QColor::HexArgb));
    settings.setValue(regionFolderKey, regionFolder);
}

void MainWindow::restoreSettings(const QSettings &settings)
{
    WidgetSettings::restore(settings, this, rememberedFields);
    const QColor color(settings.value(pointColorKey).toString());
    if (color.isValid())
        applyPointColor(color);
    regionFolder = settings.value(regionFolderKey).toString();
}
