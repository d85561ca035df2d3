// Teaching the current region from the scan: the newest complete revolution of the scan under
// way, its contour pulled in by the margin within the chosen sector.
#include "mainwindow/mainwindow.h"

#include "regions/regiondocument.h"
#include "regions/teachin.h"
#include "ui_mainwindow.h"

void MainWindow::connectTeachIn()
{
    // A revolution of an earlier scan may show a scene that has changed since.
    connect(session, &DeviceSession::scanStarted, this, [this] { teachRevolution.clear(); });
    connect(session, &DeviceSession::revolutionDecoded, this,
            [this](const ScanFrames &revolution, bool complete) {
                if (complete)
                    teachRevolution = revolution;
            });
}

void MainWindow::on_pushButtonTeachIn_clicked()
{
    const int group = currentGroupRow();
    if (group < 1)
        return;
    if (teachRevolution.isEmpty()) {
        showMessage(tr("尚未收到完整的一圈扫描！"));
        return;
    }
    QVector<QPointF> points;
    for (const QVector<QPointF> &frame : qAsConst(teachRevolution))
        points += frame;
    TeachIn::Options options;
    options.marginMm = ui->spinBoxTeachMargin->value();
    options.startAngleDeg = ui->spinBoxTeachStartAngle->value();
    options.endAngleDeg = ui->spinBoxTeachEndAngle->value();
    const QPolygonF polygon = TeachIn::regionFromScan(points, options);
    if (polygon.isEmpty()) {
        showMessage(tr("示教扇区内没有可用的扫描范围！"));
        return;
    }
    regionDocument->teach(group, ui->tabWidgetRgnIndex->currentIndex(), polygon);
}
