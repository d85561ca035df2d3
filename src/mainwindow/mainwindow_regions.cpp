// Region page: group selection, alarm point counts, group icons and the region file.
#include "mainwindow/mainwindow.h"

#include "app/applogger.h"
#include "chrome/dialoginfo.h"
#include "display/radarindicatorwidget.h"
#include "regions/regiondocument.h"
#include "ui_mainwindow.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include <algorithm>

void MainWindow::on_listWidgetRgnGroupIndex_currentRowChanged(int currentRow)
{
    const bool groupSelected = currentRow != 0;
    // The alarm count is part of the region set, like its vertices: it can be tried out on a
    // recording as well as on the device's scan.
    for (QWidget *control : QWidgetList{ui->tabWidgetRgnIndex, ui->spinBoxAlarmPointNum,
                                        ui->pushButtonOpenConfig, ui->pushButtonSaveConfig,
                                        ui->pushButtonExportImage, ui->pushButtonExportRegions}) {
        control->setEnabled(groupSelected);
    }
    // The device-side controls need a link as well as a group.
    const bool deviceSide = groupSelected && isLinkOpen();
    for (QWidget *control : QWidgetList{ui->pushButtonUpload, ui->pushButtonDownload})
        control->setEnabled(deviceSide);

    updateRegionEditControls();

    RadarIndicatorWidget *display = ui->radarIndicatorWidgetDrawRgn;
    display->setRegionsVisible(groupSelected);
    followRegionPageGroup(currentRow);

    const int group = currentGroupRow();
    const int rgnIndex = ui->tabWidgetRgnIndex->currentIndex();
    if (group < 1)
        return;

    const int previousGroup = display->currentGroupIndex();
    emit updateGroupAndRgnIndex(group, rgnIndex);
    showGroupInEditors(group);
    updateGroupIcons(previousGroup);
    logInfo(QStringLiteral("Set region group index icon......"));
}

void MainWindow::on_tabWidgetRgnIndex_currentChanged(int index)
{
    const int group = currentGroupRow();
    if (group < 1)
        return;
    emit updateGroupAndRgnIndex(group, index);
    refreshAlarmPointNum();
}

void MainWindow::on_spinBoxAlarmPointNum_valueChanged(int arg1)
{
    const int group = currentGroupRow();
    if (group >= 1)
        emit updateAlarmPointNum(group, ui->tabWidgetRgnIndex->currentIndex(), arg1);
}

// The editors and the alarm count show the group as the store holds it.
void MainWindow::showGroupInEditors(int group)
{
    refreshAlarmPointNum();
    for (int rgnIndex = 0; rgnIndex < regionWidgets.size(); ++rgnIndex)
        showRegionInEditor(group, rgnIndex);
}

void MainWindow::refreshAlarmPointNum()
{
    const int group = currentGroupRow();
    if (group < 1)
        return;
    const int count =
        regionDocument->region(group, ui->tabWidgetRgnIndex->currentIndex()).alarmPointNum;
    // The spin box clamps to its range; the store keeps its own value.
    const QSignalBlocker blocker(ui->spinBoxAlarmPointNum);
    ui->spinBoxAlarmPointNum->setValue(count);
}

void MainWindow::updateGroupIcons(int groupIndex)
{
    if (defaultGroupIcon.isNull())
        defaultGroupIcon = QIcon(tr(":/images/resource/default_icon.png"));

    RadarIndicatorWidget *display = ui->radarIndicatorWidgetDrawRgn;
    const int selectedGroup = currentGroupRow();
    const int rgnIndex = ui->tabWidgetRgnIndex->currentIndex();

    const auto showThumbnail = [&](int group) {
        display->setCurrentGroupAndRegion(group, rgnIndex);
        showThumbnailAsIcon(group);
    };

    if (groupIndex != -1) {
        showThumbnail(groupIndex);
    } else {
        const RegionStore &store = regionDocument->store();
        for (auto it = store.cbegin(); it != store.cend(); ++it) {
            const bool hasVertices = std::any_of(
                it->cbegin(), it->cend(), [](const Region &r) { return !r.polygon.isEmpty(); });
            if (hasVertices)
                showThumbnail(it.key());
            else
                ui->listWidgetRgnGroupIndex->item(it.key())->setIcon(defaultGroupIcon);
        }
    }
    display->setCurrentGroupAndRegion(selectedGroup > 0 ? selectedGroup : 1, rgnIndex);
}

// The icon of row `group` becomes the display's current picture.
void MainWindow::showThumbnailAsIcon(int group)
{
    QPixmap picture;
    ui->radarIndicatorWidgetDrawRgn->thumbnail(picture);
    if (!picture.isNull())
        ui->listWidgetRgnGroupIndex->item(group)->setIcon(QIcon(picture));
}

void MainWindow::showMessage(const QString &text)
{
    DialogInfo dialog;
    dialog.setInfoText(text);
    dialog.exec();
}

// The file dialogs open where the operator last took a region file from.
QString MainWindow::regionFileProposal() const
{
    return QDir(regionFolder).filePath(QStringLiteral("regions.dat"));
}

void MainWindow::on_pushButtonOpenConfig_clicked()
{
    const QString name = QFileDialog::getOpenFileName(this, tr("打开区域设置文件"),
                                                      regionFileProposal(), tr("dat文件(*.dat)"));
    if (name.isEmpty())
        return;
    regionFolder = QFileInfo(name).absolutePath();

    // The store's reset shows the new regions in the editors and the icons.
    if (!regionDocument->loadFile(name)) {
        showMessage(tr("打开区域设置文件失败！"));
        return;
    }
    ui->listWidgetRgnGroupIndex->setCurrentRow(1);
    rememberRegionFile(name);
    showMessage(tr("打开区域设置文件成功！"));
}

void MainWindow::on_pushButtonSaveConfig_clicked()
{
    const QString name = QFileDialog::getSaveFileName(this, tr("保存区域设置文件"),
                                                      regionFileProposal(), tr("dat文件(*.dat)"));
    if (name.isEmpty())
        return;
    regionFolder = QFileInfo(name).absolutePath();
    if (!regionDocument->saveFile(name)) {
        showMessage(tr("保存区域设置文件失败！"));
        return;
    }
    rememberRegionFile(name);
    showMessage(tr("保存区域设置文件成功！"));
}
