// Hands received point-cloud bytes to the decoder and its revolutions to the visible display.
#include "mainwindow/mainwindow.h"

#include "display/radarindicatorwidget.h"
#include "ui_mainwindow.h"

namespace {

// Rows of listWidgetMenu, which are the page indexes of stackedWidget.
constexpr int scanPageRow = 1;
constexpr int regionPageRow = 2;

} // namespace

void MainWindow::parsePointCloud(const QByteArray &chunk)
{
    pointCloudDecoder.feed(chunk, ScanGeometry{angleResolution, frameLength, pointsPerFrame});
}

void MainWindow::showRevolution(const ScanFrames &revolution)
{
    // Only a display the operator can see is worth redrawing.
    const int row = ui->listWidgetMenu->currentRow();
    if (row == scanPageRow)
        ui->radarIndicatorWidget->setPointCloud(revolution);
    else if (row == regionPageRow && ui->radarIndicatorWidgetDrawRgn->regionsVisible())
        ui->radarIndicatorWidgetDrawRgn->setPointCloud(revolution);
}
