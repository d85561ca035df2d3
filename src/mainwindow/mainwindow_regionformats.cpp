// The region page's drawings: the current group out to CAD as DXF, one layer of a DXF drawing
// into the current region as one undoable step.
#include "mainwindow/mainwindow.h"

#include "regionformats/regiondxf.h"
#include "regions/regiondocument.h"
#include "ui_mainwindow.h"

#include <QFileDialog>
#include <QInputDialog>

namespace {

QString refusalText(const RegionDxf::Import &import)
{
    using RegionDxf::Refusal;
    const auto vertex = [&import](const QString &pattern) {
        return pattern.arg(import.vertex)
            .arg(import.point.x(), 0, 'f', 1)
            .arg(import.point.y(), 0, 'f', 1);
    };
    switch (import.refusal) {
    case Refusal::None:
        break;
    case Refusal::NotDxf:
        return MainWindow::tr("不是可读取的 DXF 图纸");
    case Refusal::NoSuchLayer:
        return MainWindow::tr("图纸中没有图层 %1").arg(import.layer);
    case Refusal::NoClosedPolygon:
        return MainWindow::tr("图层 %1 上没有闭合多边形").arg(import.layer);
    case Refusal::TooManyVertices:
        return MainWindow::tr("图层 %1 上的多边形有 %2 个端点，区域最多 %3 个")
            .arg(import.layer)
            .arg(import.vertexCount)
            .arg(Regions::maxVertices);
    case Refusal::BeyondRange:
        return vertex(MainWindow::tr("端点 %1 (%2, %3) mm 超出 20000 mm"));
    case Refusal::OutsideScanField:
        return vertex(MainWindow::tr("端点 %1 (%2, %3) mm 在扫描范围之外"));
    case Refusal::UnknownUnits:
        return MainWindow::tr("图纸单位（$INSUNITS %1）不是毫米、米或英寸").arg(import.unitsCode);
    }
    return {};
}

QString importedText(const RegionDxf::Import &import)
{
    const QString taken =
        MainWindow::tr("已从图层 %1 导入 %2 个端点").arg(import.layer).arg(import.polygon.size());
    if (import.unitsName.isEmpty())
        return taken;
    const QString unit =
        import.unitsName == QLatin1String("metres") ? MainWindow::tr("米") : MainWindow::tr("英寸");
    return taken + MainWindow::tr("（由%1换算为毫米）").arg(unit);
}

} // namespace

void MainWindow::on_pushButtonExportDxf_clicked()
{
    const int group = currentGroupRow();
    if (group < 1)
        return;
    const QString name = QFileDialog::getSaveFileName(
        this, tr("导出 DXF"), QStringLiteral("regions-group%1.dxf").arg(group),
        tr("DXF 图纸 (*.dxf)"));
    if (name.isEmpty())
        return;
    showMessage(RegionDxf::save(name, regionDocument->store(), group) ? tr("导出 DXF 成功！")
                                                                      : tr("导出 DXF 失败！"));
}

void MainWindow::on_pushButtonImportDxf_clicked()
{
    const int group = currentGroupRow();
    const int region = ui->tabWidgetRgnIndex->currentIndex();
    if (group < 1 || region < 0)
        return;
    const QString name =
        QFileDialog::getOpenFileName(this, tr("导入 DXF"), QString(), tr("DXF 图纸 (*.dxf)"));
    if (name.isEmpty())
        return;
    RegionDxf::Drawing drawing;
    if (!drawing.load(name)) {
        showMessage(tr("导入 DXF 失败：%1").arg(tr("不是可读取的 DXF 图纸")));
        return;
    }
    if (drawing.layers().isEmpty()) {
        showMessage(tr("导入 DXF 失败：%1").arg(tr("图纸中没有线条或多段线")));
        return;
    }
    // The layer named for this region, as an export names it, is the likely one.
    const QStringList layers = drawing.layers();
    const int proposed = qMax(0, layers.indexOf(RegionDxf::layerName(group, region)));
    bool chosen = false;
    const QString layer = QInputDialog::getItem(this, tr("导入 DXF"), tr("选取图层："), layers,
                                                proposed, false, &chosen);
    if (!chosen)
        return;
    const RegionDxf::Import import = drawing.region(layer);
    if (!import.accepted()) {
        showMessage(tr("导入 DXF 失败：%1").arg(refusalText(import)));
        return;
    }
    regionDocument->importPolygon(group, region, import.polygon, layer);
    showMessage(importedText(import));
}
