// Every received chunk is shown and logged, then read according to what the link expects.
#include "mainwindow/mainwindow.h"

#include "app/applogger.h"
#include "mainwindow/datamessagelog.h"
#include "protocol/commands.h"
#include "protocol/hextext.h"
#include "ui_mainwindow.h"

void MainWindow::handleReceivedData(const QByteArray &chunk)
{
    const QString hex = HexText::fromBytes(chunk);
    logInfo(QStringLiteral("the software receive data >>> ") + hex);
    dataMessageLog->appendReceive(hex);

    switch (linkState) {
    case StoppingScan:
        handleStopReply(hex);
        break;
    case RegionsFromDevice:
        handleRegionData(chunk, hex);
        break;
    case RegionsToDevice:
        handleRegionWriteReply(hex);
        break;
    case Scanning:
        logInfo(QStringLiteral("Start parsing radar data......"));
        parsePointCloud(chunk);
        logInfo(QStringLiteral("End parsing radar data......"));
        break;
    case ResolutionQuery:
        handleResolutionReply(hex);
        break;
    default:
        // While the start commands go out, stray data is shown but not decoded.
        break;
    }
}

void MainWindow::handleStopReply(const QString &hex)
{
    const QString &ack = connMode == Modbus ? ReplyCode::modbusStopAck : ReplyCode::ack;
    if (!hex.contains(ack))
        return;
    reportStatus(tr("下位机接收到停止点云指令"),
                 QStringLiteral("The lower computer received a stop point cloud command......"));
    replyReceived = true;
}

void MainWindow::handleRegionData(QByteArray chunk, const QString &hex)
{
    if (connMode == Modbus) {
        replyReceived = true;
    } else {
        if (const int ackAt = hex.indexOf(ReplyCode::ack); !regionRequestAcked && ackAt >= 0) {
            reportStatus(tr("下位机接收到下载指令"),
                         QStringLiteral("The lower computer received a download command......"));
            regionRequestAcked = true;
            // A device may send its first frame right behind the acknowledgement.
            chunk = chunk.mid((ackAt + ReplyCode::ack.size() + 1) / 2);
        }
        // An acknowledgement is never region data: a repeated one ahead of a frame would make
        // the parser skip that frame as data of another kind.
        const QByteArray ack = HexText::toBytes(ReplyCode::ack);
        while (chunk.startsWith(ack))
            chunk.remove(0, ack.size());
        if (chunk.isEmpty())
            return;
    }

    reportStatus(tr("开始解析下载区域数据"),
                 QStringLiteral("Start parsing download area data......"));
    if (connMode == Modbus)
        parseRegionDataModbus(chunk);
    else
        parseRegionData(chunk);
    reportStatus(tr("结束解析下载区域数据"),
                 QStringLiteral("End parsing download area data......"));
}

void MainWindow::handleRegionWriteReply(const QString &hex)
{
    // A Modbus device may answer a block write with the standard echo instead of the ack.
    const bool echoed = !expectedWriteEcho.isEmpty() && hex.contains(expectedWriteEcho);
    if (echoed || hex.contains(ReplyCode::ack)) {
        replyReceived = true;
        reportStatus(tr("下位机接收成功"),
                     QStringLiteral("The lower computer received successfully......"));
    } else if (hex.contains(ReplyCode::checksumError)) {
        reportStatus(tr("校验位错误"), QStringLiteral("Check bit error......"));
    } else if (hex.contains(ReplyCode::modelMismatch)) {
        reportStatus(tr("雷达的实际型号不符"),
                     QStringLiteral("The actual model of the radar does not match......"));
    }
}

void MainWindow::handleResolutionReply(const QString &hex)
{
    replyReceived = true;
    if (hex.contains(ReplyCode::resolutionFine)) {
        reportStatus(tr("角分辨率为0.18度"),
                     QStringLiteral("The angular resolution is 0.18 degrees......"));
        setScanGeometry(ScanGeometry::fine());
    } else if (hex.contains(ReplyCode::resolutionCoarse)) {
        reportStatus(tr("角分辨率为0.36度"),
                     QStringLiteral("The angular resolution is 0.36 degrees......"));
        setScanGeometry(ScanGeometry::coarse());
    } else {
        replyReceived = false;
    }
    ui->lineEditAngleResolution->setText(QString::number(angleResolution, 'f', 2));
}

void MainWindow::setScanGeometry(const ScanGeometry &geometry)
{
    angleResolution = geometry.angleResolution;
    frameLength = geometry.frameLength;
    pointsPerFrame = geometry.pointsPerFrame;
}
