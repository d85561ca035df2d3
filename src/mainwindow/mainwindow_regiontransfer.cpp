// The two transfer buttons and what the window shows of a transfer. The object names and the
// captions of the buttons run opposite ways: "上传" on pushButtonDownload reads from the
// device, "下载" on pushButtonUpload writes to it.
#include "mainwindow/mainwindow.h"

#include "app/applogger.h"
#include "regions/regiondocument.h"
#include "regions/regionframes.h"
#include "ui_mainwindow.h"

void MainWindow::on_pushButtonUpload_clicked()
{
    // A transfer already asked for takes this click for nothing.
    if (session->writeRegions(RegionFrames::toDevice(regionDocument->store())))
        ui->pushButtonUpload->setEnabled(false);
}

void MainWindow::on_pushButtonDownload_clicked()
{
    if (session->readRegions())
        ui->pushButtonDownload->setEnabled(false);
}

void MainWindow::showTransferStarted(DeviceSession::Transfer transfer)
{
    ui->progressBarUpAndDownload->setRange(0, RegionFrame::regionCount);
    ui->progressBarUpAndDownload->setValue(0);
    // The last group first, so that the first frame received (group 1) changes the row.
    if (transfer == DeviceSession::Transfer::Reading)
        ui->listWidgetRgnGroupIndex->setCurrentRow(Regions::groupCount);
}

void MainWindow::storeReceivedRegion(const RegionFrame::Content &frame)
{
    // The group already shown follows the document's change; a new row shows its group through
    // the row handler.
    regionDocument->storeReceivedFrame(frame);
    ui->listWidgetRgnGroupIndex->setCurrentRow(frame.groupIndex);
}

void MainWindow::showRegionsWritten(const RegionWriteResult &result)
{
    ui->pushButtonUpload->setEnabled(true);
    const int unacknowledged = result.unacknowledged.size();
    showMessage(unacknowledged == 0
                    ? tr("下载区域设置成功！")
                    : tr("下载区域设置失败：%1 个区域未被确认！").arg(unacknowledged));
    ui->progressBarUpAndDownload->setValue(0);
}

void MainWindow::showRegionsRead(const RegionReadResult &result)
{
    ui->pushButtonDownload->setEnabled(true);
    regionDocument->endReading();
    if (!result.complete()) {
        showMessage(tr("上传区域设置未完成：已收到 %1/45 个区域！").arg(result.received));
        return;
    }
    updateGroupIcons(-1);
    logInfo(QStringLiteral("Set region group index icon......"));
    ui->progressBarUpAndDownload->setMaximum(RegionFrame::regionCount);
    showMessage(tr("上传区域设置成功！"));
}
