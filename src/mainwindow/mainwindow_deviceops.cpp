// The session's reports on the window: the protocol monitor, the scan buttons and sweep, the
// resolution field and the point cloud of the page being shown.
#include "mainwindow/mainwindow.h"

#include "device/seriallink.h"
#include "device/udplink.h"
#include "display/radarindicatorwidget.h"
#include "mainwindow/datamessagelog.h"
#include "ui_mainwindow.h"

namespace {

// Rows of listWidgetMenu, which are the page indexes of stackedWidget.
constexpr int scanPageRow = 1;
constexpr int regionPageRow = 2;
// The display is redrawn with one revolution out of this many; it cannot use more.
constexpr int revolutionsPerHandOver = 4;

} // namespace

void MainWindow::connectSession()
{
    connect(session, &DeviceSession::frameSent, dataMessageLog, &DataMessageLog::appendSend);
    connect(session, &DeviceSession::chunkReceived, dataMessageLog, &DataMessageLog::appendReceive);
    connect(session, &DeviceSession::statusReported, dataMessageLog, &DataMessageLog::appendStatus);

    connect(session, &DeviceSession::scanStarting, this, [this] {
        ui->pushButtonStartScan->setEnabled(false);
        ui->radarIndicatorWidget->startSweep();
    });
    connect(session, &DeviceSession::scanStarted, this, [this] {
        ui->pushButtonStopScan->setEnabled(true);
        setScanning(true);
    });
    connect(session, &DeviceSession::scanStopping, this, [this] {
        ui->pushButtonStopScan->setEnabled(false);
        ui->radarIndicatorWidget->stopSweep();
        setScanning(false);
    });
    connect(session, &DeviceSession::scanStopped, ui->pushButtonStartScan,
            [this] { ui->pushButtonStartScan->setEnabled(true); });
    connect(session, &DeviceSession::angleResolutionReceived, this, [this](double degrees) {
        ui->lineEditAngleResolution->setText(QString::number(degrees, 'f', 2));
    });
    connect(session, &DeviceSession::revolutionDecoded, this, [this](const ScanFrames &revolution) {
        if (++revolutionsSinceShown < revolutionsPerHandOver)
            return;
        revolutionsSinceShown = 0;
        showRevolution(revolution);
    });

    connect(session, &DeviceSession::transferStarted, this, &MainWindow::showTransferStarted);
    connect(session, &DeviceSession::transferProgress, ui->progressBarUpAndDownload,
            &QProgressBar::setValue);
    connect(session, &DeviceSession::regionReceived, this, &MainWindow::storeReceivedRegion);
    // A transfer's message waits until the session is back in the event loop: a prompt never
    // holds up the conversation.
    connect(session, &DeviceSession::regionsWritten, this, &MainWindow::showRegionsWritten,
            Qt::QueuedConnection);
    connect(session, &DeviceSession::regionsRead, this, &MainWindow::showRegionsRead,
            Qt::QueuedConnection);

    for (DeviceLink *link :
         {static_cast<DeviceLink *>(serialLink), static_cast<DeviceLink *>(udpLink)})
        connect(link, &DeviceLink::faulted, this, &MainWindow::clearBothDisplays);
    connectTeachIn();
}

void MainWindow::initialiseDevice()
{
    RadarParameters parameters;
    parameters.baudIndex = ui->comboBoxBaudRates->currentIndex();
    parameters.frequencyIndex = ui->comboBoxScanFrenquency->currentIndex();
    parameters.navModeIndex = ui->comboBoxNavMode->currentIndex();
    session->initialise(parameters, ui->comboBoxIOMode->currentIndex());
}

void MainWindow::on_pushButtonStartScan_clicked()
{
    // Off at once: a second click must not queue a second start.
    ui->pushButtonStartScan->setEnabled(false);
    session->startScan();
}

void MainWindow::showScanAndStart()
{
    ui->listWidgetMenu->setCurrentRow(scanPageRow);
    on_pushButtonStartScan_clicked();
}

void MainWindow::on_pushButtonStopScan_clicked()
{
    ui->pushButtonStopScan->setEnabled(false);
    session->stopScan();
}

void MainWindow::on_comboBoxIOMode_currentIndexChanged(int index)
{
    session->setIoOutputMode(index);
}

// From the scan's start to its stop or the link's close: teaching has a scene to learn from,
// and a UDP device that falls silent is worth a line.
void MainWindow::setScanning(bool on)
{
    scanning = on;
    updateRegionEditControls();
    watchUdpSilence(on);
}

void MainWindow::showRevolution(const ScanFrames &revolution)
{
    // Only a display the operator can see is worth redrawing.
    const int row = ui->listWidgetMenu->currentRow();
    if (row == scanPageRow) {
        ui->radarIndicatorWidget->setPointCloud(revolution);
        displayedRevolution = revolution;
    } else if (row == regionPageRow && ui->radarIndicatorWidgetDrawRgn->regionsVisible()) {
        ui->radarIndicatorWidgetDrawRgn->setPointCloud(revolution);
    }
}
