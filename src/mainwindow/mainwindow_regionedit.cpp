// Region editing: what the window shows of every change of the region document, whoever made
// it (editor, mouse, file, device, teach-in, paste, undo or redo).
#include "mainwindow/mainwindow.h"

#include "app/applogger.h"
#include "display/radarindicatorwidget.h"
#include "mainwindow/regioneditactions.h"
#include "regions/regiondocument.h"
#include "regions/regionwidget.h"
#include "ui_mainwindow.h"

#include <QTimer>

namespace {

// Long enough to read, short enough not to linger over the next click.
constexpr int refusalShownMs = 4000;

} // namespace

void MainWindow::connectRegionDocument()
{
    connect(regionDocument, &RegionDocument::vertexMoved, this,
            [this](int group, int rgnIndex, int pointIndex) {
                if (group == currentGroupRow()) {
                    const QPolygonF polygon = regionDocument->region(group, rgnIndex).polygon;
                    regionWidgets.at(rgnIndex)->updateRegionPoint(pointIndex,
                                                                  polygon.at(pointIndex));
                }
                refreshGroupIcon(group);
            });
    connect(regionDocument, &RegionDocument::regionChanged, this, &MainWindow::showRegionChange);
    connect(regionDocument, &RegionDocument::storeReset, this, [this] {
        const int group = currentGroupRow();
        if (group >= 1)
            showGroupInEditors(group);
        updateGroupIcons(-1);
        logInfo(QStringLiteral("Set region group index icon......"));
    });
    // A refused double click is a slip, not an error: a line under the display says why and
    // the work goes on.
    auto *refusalExpiry = new QTimer(this);
    refusalExpiry->setSingleShot(true);
    refusalExpiry->setInterval(refusalShownMs);
    connect(refusalExpiry, &QTimer::timeout, ui->labelDrawRgnStatus, &QLabel::clear);
    connect(ui->radarIndicatorWidgetDrawRgn, &RadarIndicatorWidget::vertexRefused, this,
            [this, refusalExpiry](RegionDocument::AddResult reason) {
                ui->labelDrawRgnStatus->setText(reason == RegionDocument::AddResult::Full
                                                    ? tr("未添加端点：该区域已有 30 个端点。")
                                                    : tr("未添加端点：双击位置在扫描范围之外。"));
                refusalExpiry->start();
            });
}

void MainWindow::showRegionInEditor(int group, int rgnIndex)
{
    const Region region = regionDocument->region(group, rgnIndex);
    RegionWidget *editor = regionWidgets.at(rgnIndex);
    // Refilling the table only when the vertices differ keeps the operator's place in it.
    if (editor->regionPoints() != region.polygon)
        editor->setPoints(region.polygon);
    editor->setColor(region.color);
}

void MainWindow::showRegionChange(int group, int rgnIndex)
{
    if (group == currentGroupRow()) {
        showRegionInEditor(group, rgnIndex);
        refreshAlarmPointNum();
    }
    refreshGroupIcon(group);
}

// A changed group's icon follows at once. The group on display gives its picture as it is,
// without the switching that would end a drag under way; any other is drawn for the moment.
void MainWindow::refreshGroupIcon(int group)
{
    if (group == ui->radarIndicatorWidgetDrawRgn->currentGroupIndex())
        showThumbnailAsIcon(group);
    else
        updateGroupIcons(group);
}

// Undo, copy and paste want a group; teaching wants one and a scan under way.
void MainWindow::updateRegionEditControls()
{
    const int group = currentGroupRow();
    regionEditActions->setGroup(qMax(group, 0));
    ui->pushButtonTeachIn->setEnabled(group >= 1 && scanning);
}
