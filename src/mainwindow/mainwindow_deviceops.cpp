// Start, stop, resolution query, parameters and IO mode: short blocking sequences whose
// replies arrive through the event loop turned inside their waits.
#include "mainwindow/mainwindow.h"

#include "app/applogger.h"
#include "display/radarindicatorwidget.h"
#include "mainwindow/datamessagelog.h"
#include "protocol/commands.h"
#include "ui_mainwindow.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QTimer>

#include <log4qt/logger.h>

namespace {

constexpr int startRepeats = 3;
constexpr int startPauseMs = 150;
constexpr int stopAttempts = 3;
constexpr int stopReplyTimeoutMs = 1000;
constexpr int resolutionReplyTimeoutMs = 500;
constexpr int ioRepeats = 3;
constexpr int ioPauseMs = 20;
constexpr int initialisationPauseMs = 100;
// Wakes a waiting loop that has no events to handle, so it sleeps instead of spinning.
constexpr int waitWakeIntervalMs = 5;

} // namespace

void MainWindow::sleepMs(int ms)
{
    QElapsedTimer clock;
    clock.start();
    for (qint64 left = ms; left > 0; left = ms - clock.elapsed())
        QThread::msleep(static_cast<unsigned long>(left));
}

bool MainWindow::waitFor(const bool &flag, int timeoutMs)
{
    QTimer wake;
    wake.setTimerType(Qt::PreciseTimer);
    wake.start(waitWakeIntervalMs);
    QElapsedTimer clock;
    clock.start();
    while (!flag && !clock.hasExpired(timeoutMs))
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    return flag;
}

void MainWindow::turnEventLoop(int ms)
{
    const bool never = false;
    waitFor(never, ms);
}

void MainWindow::on_pushButtonStartScan_clicked()
{
    startScan();
}

void MainWindow::on_pushButtonStopScan_clicked()
{
    stopScan();
}

void MainWindow::on_comboBoxIOMode_currentIndexChanged(int index)
{
    logInfo(QStringLiteral("Set ladar IO output mode..."));
    sendIoOutputMode(index);
}

void MainWindow::startScan()
{
    ui->pushButtonStartScan->setEnabled(false);
    ui->radarIndicatorWidget->startSweep();
    reportStatus(tr("发送雷达开始采集命令"),
                 QStringLiteral("Send radar start acquisition command......"));
    linkState = StartingScan;
    for (int i = 0; i < startRepeats; ++i) {
        sendHexCommand(DeviceCommand::startScan(ConnMode(connMode)));
        sleepMs(startPauseMs);
    }
    linkState = Scanning;
    ui->pushButtonStopScan->setEnabled(true);
}

void MainWindow::stopScan()
{
    ui->pushButtonStopScan->setEnabled(false);
    ui->radarIndicatorWidget->stopSweep();
    reportStatus(tr("发送雷达停止采集命令"),
                 QStringLiteral("Send radar stop acquisition command......"));
    linkState = StoppingScan;
    for (int attempt = 1; attempt <= stopAttempts; ++attempt) {
        replyReceived = false;
        sendHexCommand(DeviceCommand::stopScan(ConnMode(connMode)));
        if (waitFor(replyReceived, stopReplyTimeoutMs)) {
            reportStatus(tr("发送雷达停止采集命令成功"),
                         QStringLiteral("Successfully sent radar stop acquisition command"));
            break;
        }
        const QString number = QString::number(attempt);
        reportStatus(tr("响应超时第") + number + tr("次"),
                     QStringLiteral("Response timeout at ") + number + QStringLiteral(" time"));
    }
    ui->pushButtonStartScan->setEnabled(true);
}

void MainWindow::queryAngleResolution()
{
    logInfo(QStringLiteral("Obtain radar angular resolution......"));
    replyReceived = false;
    linkState = ResolutionQuery;
    sendHexCommand(DeviceCommand::resolutionQuery(ConnMode(connMode)));
    if (waitFor(replyReceived, resolutionReplyTimeoutMs)) {
        reportStatus(tr("获取雷达角分辨率成功"),
                     QStringLiteral("Successfully obtained radar angular resolution......"));
    } else {
        reportStatus(tr("获取雷达角分辨率响应超时"),
                     QStringLiteral("Obtaining radar angular resolution response timeout......"));
    }
}

void MainWindow::sendRadarParameters()
{
    sendHexCommand(DeviceCommand::radarParameters(
        ConnMode(connMode), ui->comboBoxBaudRates->currentIndex(),
        ui->comboBoxScanFrenquency->currentIndex(), ui->comboBoxNavMode->currentIndex()));
}

void MainWindow::sendIoOutputMode(int index)
{
    for (int i = 0; i < ioRepeats; ++i) {
        sendHexCommand(DeviceCommand::ioOutputMode(index));
        sleepMs(ioPauseMs);
    }
}

void MainWindow::initialiseConnection(QPushButton *connectButton)
{
    reportStatus(tr("停止雷达"), QStringLiteral("Stop radar......"));
    stopScan();
    sleepMs(initialisationPauseMs);

    reportStatus(tr("设置雷达参数"), QStringLiteral("Set radar parameters......"));
    if (connectButton)
        connectButton->setText(tr("关闭"));
    sendRadarParameters();
    sleepMs(initialisationPauseMs);

    queryAngleResolution();
    logInfo(QStringLiteral("Set ladar IO output mode..."));
    sendIoOutputMode(ui->comboBoxIOMode->currentIndex());
}
