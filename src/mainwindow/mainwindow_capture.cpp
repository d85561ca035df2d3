// Recording the link into a capture, replaying a capture in place of the device, and exporting
// what the scan display shows.
#include "mainwindow/mainwindow.h"

#include "device/scancsv.h"
#include "device/seriallink.h"
#include "device/udplink.h"
#include "display/displaysvg.h"
#include "display/radarindicatorwidget.h"
#include "ui_mainwindow.h"

#include <QFileDialog>
#include <QMenu>
#include <QSaveFile>

namespace {

// Recorded time per real time for each entry of comboBoxReplaySpeed.
const double replaySpeeds[] = {1.0, 4.0, ReplayLink::fastest};
constexpr double usPerSecond = 1e6;
// The export is a table of the one revolution on display.
constexpr int exportedRevolution = 1;

} // namespace

void MainWindow::on_pushButtonRecord_clicked(bool checked)
{
    if (!checked) {
        QString error;
        if (!linkRecorder->stop(&error))
            showMessage(tr("无法录制：%1").arg(error));
        return;
    }
    const QString path = QFileDialog::getSaveFileName(
        this, tr("保存捕获文件"), QStringLiteral("capture.pcap"), tr("捕获文件 (*.pcap)"));
    if (path.isEmpty() || !startRecording(path))
        ui->pushButtonRecord->setChecked(false);
}

bool MainWindow::startRecording(const QString &path)
{
    DeviceLink *link = connMode == Net ? static_cast<DeviceLink *>(udpLink) : serialLink;
    QString error;
    if (!linkRecorder->start(link, path, &error)) {
        showMessage(tr("无法录制：%1").arg(error));
        return false;
    }
    connect(linkRecorder, &LinkRecorder::bytesRecordedChanged, this, &MainWindow::showRecordedBytes,
            Qt::UniqueConnection);
    connect(linkRecorder, &LinkRecorder::stopped, this, &MainWindow::showRecordingStopped,
            Qt::UniqueConnection);
    showRecordedBytes(0);
    return true;
}

void MainWindow::showRecordedBytes(qint64 bytes)
{
    ui->pushButtonRecord->setText(tr("录制中… %1 字节").arg(bytes));
}

void MainWindow::showRecordingStopped()
{
    ui->pushButtonRecord->setChecked(false);
    ui->pushButtonRecord->setText(tr("录制"));
}

void MainWindow::on_pushButtonReplay_clicked()
{
    const QString path =
        QFileDialog::getOpenFileName(this, tr("打开捕获文件"), QString(), tr("捕获文件 (*.pcap)"));
    if (!path.isEmpty())
        replayCapture(path);
}

bool MainWindow::replayCapture(const QString &path)
{
    // An operation under way would go on moving the session the replay moves.
    if (session->isBusy()) {
        showMessage(tr("设备正忙，请稍后再回放！"));
        return false;
    }
    QString error;
    if (!replayLink->open(path, &error)) {
        endReplay();
        showMessage(tr("无法回放：%1").arg(error));
        return false;
    }
    if (!serialClosed)
        closeSerialLink();
    if (!udpClosed)
        closeUdpLink();
    // The replay's commands are the recorded ones: the operator's would disturb them, and
    // another mode would read them otherwise.
    setDeviceControlsEnabled(false);
    ui->comboBoxConnMode->setEnabled(false);
    session->setLink(replayLink);
    connect(replayLink, &ReplayLink::positionChanged, this, &MainWindow::showReplayPosition,
            Qt::UniqueConnection);
    connect(replayLink, &ReplayLink::finished, this, &MainWindow::showReplayPaused,
            Qt::UniqueConnection);

    clearBothDisplays();
    ui->frameReplay->show();
    ui->listWidgetMenu->setCurrentRow(ui->stackedWidget->indexOf(ui->pageScanImage));
    replayLink->setSpeed(replaySpeeds[ui->comboBoxReplaySpeed->currentIndex()]);
    showReplayPosition(0);
    showCaptureDamage();
    watchReplayAlarms(path);
    playReplay();
    return true;
}

void MainWindow::showCaptureDamage()
{
    const std::optional<CaptureDamage> &damage = replayLink->damage();
    if (!damage)
        return;
    const double seconds = damage->sinceStartUs / usPerSecond;
    showLinkStatus(tr("捕获文件在第 %1 条记录（第 %2 秒）处损坏，只能回放到此处")
                       .arg(damage->record)
                       .arg(seconds, 0, 'f', 1),
                   QStringLiteral("the capture is ") + damage->text());
}

void MainWindow::on_pushButtonReplayPlay_clicked()
{
    if (!replayLink->isPlaying()) {
        playReplay();
        return;
    }
    replayLink->pause();
    showReplayPaused();
}

void MainWindow::playReplay()
{
    // Playing at the end plays again from the start.
    if (replayLink->atEnd())
        replayLink->seek(0);
    replayLink->play();
    if (replayLink->isPlaying())
        ui->pushButtonReplayPlay->setText(tr("暂停"));
}

void MainWindow::showReplayPaused()
{
    ui->pushButtonReplayPlay->setText(tr("播放"));
}

void MainWindow::on_comboBoxReplaySpeed_currentIndexChanged(int index)
{
    replayLink->setSpeed(replaySpeeds[index]);
}

// The slider reports a position when it is let go, not while it is dragged.
void MainWindow::on_horizontalSliderReplay_valueChanged(int value)
{
    replayLink->seek(replayLink->durationUs() * value / ui->horizontalSliderReplay->maximum());
}

void MainWindow::showReplayPosition(qint64 positionUs)
{
    QSlider *slider = ui->horizontalSliderReplay;
    const qint64 durationUs = replayLink->durationUs();
    if (!slider->isSliderDown() && durationUs > 0) {
        const QSignalBlocker blocker(slider);
        slider->setValue(int(positionUs * slider->maximum() / durationUs));
    }
    QString position = tr("%1 / %2 秒")
                           .arg(positionUs / usPerSecond, 0, 'f', 1)
                           .arg(durationUs / usPerSecond, 0, 'f', 1);
    if (replayLink->damage())
        position +=
            QLatin1Char(' ') + tr("（第 %1 条记录处损坏）").arg(replayLink->damage()->record);
    ui->labelReplayPosition->setText(position);
}

void MainWindow::endReplay()
{
    replayLink->close();
    forgetReplayAlarms();
    ui->frameReplay->hide();
    if (serialClosed && udpClosed)
        ui->comboBoxConnMode->setEnabled(true);
    // The recorded commands gave the session their own mode.
    session->setMode(ConnMode(connMode));
}

void MainWindow::on_pushButtonExport_clicked()
{
    QMenu menu(this);
    const QAction *table = menu.addAction(tr("导出点云 CSV…"));
    const QAction *picture = menu.addAction(tr("导出图像 PNG…"));
    const QAction *vectorPicture = menu.addAction(tr("导出图像 SVG…"));
    const QAction *chosen =
        menu.exec(ui->pushButtonExport->mapToGlobal(ui->pushButtonExport->rect().bottomLeft()));
    if (chosen == table)
        exportThroughDialog(tr("导出点云"), QStringLiteral("scan.csv"), tr("CSV 文件 (*.csv)"),
                            &MainWindow::exportScanCsv);
    else if (chosen == picture)
        exportThroughDialog(tr("导出图像"), QStringLiteral("scan.png"), tr("PNG 图像 (*.png)"),
                            &MainWindow::exportScanPng);
    else if (chosen == vectorPicture)
        exportThroughDialog(tr("导出图像"), QStringLiteral("scan.svg"), tr("SVG 图像 (*.svg)"),
                            &MainWindow::exportScanSvg);
}

void MainWindow::exportThroughDialog(const QString &title, const QString &fileName,
                                     const QString &filter,
                                     bool (MainWindow::*exportTo)(const QString &) const)
{
    const QString path = QFileDialog::getSaveFileName(this, title, fileName, filter);
    if (!path.isEmpty() && !(this->*exportTo)(path))
        showMessage(tr("导出失败：%1").arg(path));
}

bool MainWindow::exportScanCsv(const QString &path) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(
        (ScanCsv::header() + ScanCsv::rows(exportedRevolution, displayedRevolution)).toUtf8());
    // commit() replaces the file even when its own flush fails.
    return file.flush() && file.commit();
}

bool MainWindow::exportScanPng(const QString &path) const
{
    return ui->radarIndicatorWidget->grab().save(path, "PNG");
}

bool MainWindow::exportScanSvg(const QString &path) const
{
    return DisplaySvg::save(*ui->radarIndicatorWidget, path);
}
