// Moves the 45 alarm regions between the store and the device, one region frame each.
// The object names and the captions of the two buttons run opposite ways: "上传" on
// pushButtonDownload reads from the device, "下载" on pushButtonUpload writes to it.
#include "mainwindow/mainwindow.h"

#include "app/applogger.h"
#include "display/radarindicatorwidget.h"
#include "mainwindow/datamessagelog.h"
#include "protocol/commands.h"
#include "protocol/hextext.h"
#include "protocol/modbus.h"
#include "ui_mainwindow.h"

#include <log4qt/logger.h>

namespace {

constexpr int frameReplyWaitMs = 100;
constexpr int modbusBlockReplyWaitMs = 250;
constexpr int rawReadingTimeoutMs = 10000;
constexpr int frameStorePauseMs = 10;
// The device answers a Modbus block write with the request's first six bytes and their CRC.
constexpr int modbusWriteEchoHeadSize = 6;

} // namespace

void MainWindow::on_pushButtonUpload_clicked()
{
    if (transferBusy)
        return;
    transferBusy = true;
    logInfo(QStringLiteral("Start downloading......"));
    ui->pushButtonUpload->setEnabled(false);
    stopScan();

    // Later edits of the store do not reach a writing already under way.
    const RegionStore regions = ui->radarIndicatorWidgetDrawRgn->sortedRegions();
    ui->progressBarUpAndDownload->setRange(0, RegionFrame::regionCount);
    ui->progressBarUpAndDownload->setValue(0);
    int sent = 0;
    int acknowledged = 0;
    for (auto group = regions.cbegin(); group != regions.cend(); ++group) {
        logInfo(QStringLiteral("Regional group index") + QString::number(group.key()));
        for (int i = 0; i < group->size(); ++i) {
            const Region &region = group->at(i);
            logInfo(QStringLiteral("Regional index") + QString::number(i + 1));
            logInfo(QStringLiteral("Alarm points:") + QString::number(region.alarmPointNum));
            logInfo(QStringLiteral("Download obstacle avoidance area......"));
            linkState = RegionsToDevice;
            replyReceived = false;
            sendRegionFrame(sent, {group.key(), i + 1, region.alarmPointNum, region.polygon});
            ui->progressBarUpAndDownload->setValue(++sent);
            // The full pause always runs: the device needs it between frames.
            turnEventLoop(frameReplyWaitMs);
            if (replyReceived)
                ++acknowledged;
            else
                logInfo(QStringLiteral("Response timeout......"));
        }
    }
    expectedWriteEcho.clear();

    startScan();
    ui->pushButtonUpload->setEnabled(true);
    transferBusy = false;
    const int unacknowledged = sent - acknowledged;
    showMessage(unacknowledged == 0
                    ? tr("下载区域设置成功！")
                    : tr("下载区域设置失败：%1 个区域未被确认！").arg(unacknowledged));
    ui->progressBarUpAndDownload->setValue(0);
}

void MainWindow::sendRegionFrame(int block, const RegionFrame::Content &content)
{
    if (connMode != Modbus) {
        sendHexCommand(HexText::fromBytes(RegionFrame::encodeRaw(content)));
        return;
    }
    const QByteArray request =
        RegionFrame::modbusWriteRequest(block, RegionFrame::encodeBody(content));
    expectedWriteEcho = appendModbusCrc(HexText::fromBytes(request.left(modbusWriteEchoHeadSize)));
    sendHexCommand(HexText::fromBytes(request));
}

void MainWindow::on_pushButtonDownload_clicked()
{
    if (transferBusy)
        return;
    transferBusy = true;
    logInfo(QStringLiteral("Start uploading......"));
    logInfo(QStringLiteral("Send command to upload obstacle avoidance area......"));
    ui->pushButtonDownload->setEnabled(false);
    stopScan();

    ui->progressBarUpAndDownload->setRange(0, RegionFrame::regionCount);
    ui->progressBarUpAndDownload->setValue(0);
    ui->listWidgetRgnGroupIndex->setCurrentRow(Regions::groupCount);
    linkState = RegionsFromDevice;
    regionRequestAcked = false;
    regionsReceived = false;

    RegionFrameParser &parser = connMode == Modbus ? modbusRegionParser : rawRegionParser;
    // Leftovers of an unfinished reading would complete this one early.
    parser.reset();
    if (connMode == Modbus) {
        for (int block = 0; block < RegionFrame::regionCount; ++block) {
            replyReceived = false;
            sendHexCommand(HexText::fromBytes(RegionFrame::modbusReadRequest(block)));
            turnEventLoop(modbusBlockReplyWaitMs);
            if (!replyReceived)
                logInfo(QString::number(block) + QStringLiteral("Regional response timeout......"));
        }
    } else {
        sendHexCommand(DeviceCommand::regionRequest);
        waitFor(regionsReceived, rawReadingTimeoutMs);
    }
    const int framesStored = parser.frameCount();

    startScan();
    ui->pushButtonDownload->setEnabled(true);
    transferBusy = false;
    // A complete reading has already said so from the parser.
    if (!regionsReceived) {
        showMessage(tr("上传区域设置未完成：已收到 %1/45 个区域！").arg(framesStored));
    }
}

void MainWindow::parseRegionData(const QByteArray &chunk)
{
    parseRegionChunk(rawRegionParser, chunk, true);
}

void MainWindow::parseRegionDataModbus(const QByteArray &chunk)
{
    parseRegionChunk(modbusRegionParser, chunk, false);
}

void MainWindow::parseRegionChunk(RegionFrameParser &parser, const QByteArray &chunk,
                                  bool acknowledge)
{
    const bool complete = parser.feed(
        chunk, frameLength, [this, acknowledge](const RegionFrame::Content &frame, int count) {
            storeReceivedRegion(frame, count, acknowledge);
        });
    if (complete)
        completeRegionReading();
}

void MainWindow::storeReceivedRegion(const RegionFrame::Content &frame, int count, bool acknowledge)
{
    // The parser passes only frames the store can hold: group 1..15, region 1..3.
    Region &region =
        ui->radarIndicatorWidgetDrawRgn->regions()[frame.groupIndex][frame.regionNumber - 1];
    region.polygon = frame.polygon;
    region.alarmPointNum = frame.alarmPointNum;

    if (acknowledge) {
        logInfo(QStringLiteral("One frame data upload completed, send response signal......"));
        sendHexCommand(DeviceCommand::regionFrameAck);
    }
    sleepMs(frameStorePauseMs);
    ui->progressBarUpAndDownload->setValue(count);
    ui->listWidgetRgnGroupIndex->setCurrentRow(frame.groupIndex);
}

void MainWindow::completeRegionReading()
{
    regionsReceived = true;
    ui->radarIndicatorWidgetDrawRgn->refresh();
    dataMessageLog->appendStatus(tr("上传区域数据完成"));
    logInfo(QStringLiteral("Upload area data completed......"));
    updateGroupIcons(-1);
    logInfo(QStringLiteral("Set region group index icon......"));
    ui->progressBarUpAndDownload->setMaximum(RegionFrame::regionCount);
    showMessage(tr("上传区域设置成功！"));
}
