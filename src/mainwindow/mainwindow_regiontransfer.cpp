// The two transfer buttons and what the window shows of a transfer. The object names and the
// captions of the buttons run opposite ways: "上传" on pushButtonDownload reads from the
// device, "下载" on pushButtonUpload writes to it.
#include "mainwindow/mainwindow.h"

#include "app/applogger.h"
#include "regions/regioncomparison.h"
#include "regions/regiondocument.h"
#include "regions/regionframes.h"
#include "ui_mainwindow.h"

void MainWindow::on_pushButtonUpload_clicked()
{
    // A transfer already asked for takes this click for nothing.
    const RegionStore &regions = regionDocument->store();
    if (!session->writeRegions(RegionFrames::toDevice(regions)))
        return;
    ui->pushButtonUpload->setEnabled(false);
    regionsBeingWritten = regions;
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
    if (transfer == DeviceSession::Transfer::Reading && !verifyingWrite)
        ui->listWidgetRgnGroupIndex->setCurrentRow(Regions::groupCount);
}

void MainWindow::storeReceivedRegion(const RegionFrame::Content &frame)
{
    // What a check reads back is compared, not stored: the operator's regions stay theirs.
    if (verifyingWrite) {
        RegionFrames::store(regionsReadBack, frame);
        return;
    }
    // The group already shown follows the document's change; a new row shows its group through
    // the row handler.
    regionDocument->storeReceivedFrame(frame);
    ui->listWidgetRgnGroupIndex->setCurrentRow(frame.groupIndex);
}

// A writing the device acknowledged in full is read back and compared when the operator asks
// for it; the download button stays off until the check is done.
void MainWindow::showRegionsWritten(const RegionWriteResult &result)
{
    const int unacknowledged = result.unacknowledged.size();
    if (unacknowledged == 0 && ui->checkBoxVerifyAfterDownload->isChecked() &&
        session->readRegions()) {
        verifyingWrite = true;
        regionsReadBack = Regions::initialStore();
        return;
    }
    endWriting(unacknowledged == 0
                   ? tr("下载区域设置成功！")
                   : tr("下载区域设置失败：%1 个区域未被确认！").arg(unacknowledged));
}

void MainWindow::endWriting(const QString &message)
{
    ui->pushButtonUpload->setEnabled(true);
    showMessage(message);
    ui->progressBarUpAndDownload->setValue(0);
}

QString MainWindow::verificationMessage(const RegionReadResult &result) const
{
    if (!result.complete())
        return tr("校验失败：只读回 %1/45 个区域！").arg(result.received);
    const QVector<RegionDifference> differences =
        RegionComparison::differences(regionsReadBack, regionsBeingWritten);
    if (differences.isEmpty())
        return tr("下载区域设置成功并已校验！");
    const RegionDifference &first = differences.first();
    QString message =
        tr("校验失败：设备上第 %1 组区域 %2 与写入的不同！").arg(first.group).arg(first.region);
    if (differences.size() > 1)
        message += QLatin1Char(' ') + tr("另有 %1 个区域不同。").arg(differences.size() - 1);
    return message;
}

void MainWindow::showRegionsRead(const RegionReadResult &result)
{
    if (verifyingWrite) {
        verifyingWrite = false;
        const QString message = verificationMessage(result);
        noteVerifiedDownload(message);
        endWriting(message);
        return;
    }
    ui->pushButtonDownload->setEnabled(true);
    regionDocument->endReading();
    if (!result.complete()) {
        showMessage(tr("上传区域设置未完成：已收到 %1/45 个区域！").arg(result.received));
        return;
    }
    updateGroupIcons(-1);
    logInfo(QStringLiteral("Set region group index icon......"));
    ui->progressBarUpAndDownload->setMaximum(RegionFrame::regionCount);
    showFingerprint(true);
    showMessage(tr("上传区域设置成功！"));
}
