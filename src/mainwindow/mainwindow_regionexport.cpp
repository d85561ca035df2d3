// The region page's exports for documentation: the display as a picture, the current group's
// regions as a table.
#include "mainwindow/mainwindow.h"

#include "display/displaysvg.h"
#include "display/radarindicatorwidget.h"
#include "regions/regioncsv.h"
#include "regions/regiondocument.h"
#include "ui_mainwindow.h"

#include <QBuffer>
#include <QFileDialog>
#include <QSaveFile>

namespace {

// All or nothing: a failed export leaves an existing file as it was. commit() replaces the file
// even when its own flush fails, hence the flush first.
bool writeWholeFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush() &&
           file.commit();
}

} // namespace

void MainWindow::on_pushButtonExportImage_clicked()
{
    const QString svgFilter = tr("SVG图像(*.svg)");
    QString chosenFilter;
    const QString name = QFileDialog::getSaveFileName(
        this, tr("导出区域图像"), QStringLiteral("regions.png"),
        tr("PNG图像(*.png)") + QStringLiteral(";;") + svgFilter, &chosenFilter);
    if (name.isEmpty())
        return;
    // The display as the operator sees it, at its size on screen.
    RadarIndicatorWidget &display = *ui->radarIndicatorWidgetDrawRgn;
    QByteArray png;
    QBuffer buffer(&png);
    const bool saved =
        chosenFilter == svgFilter || name.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive)
            ? DisplaySvg::save(display, name)
            : buffer.open(QIODevice::WriteOnly) && display.grab().save(&buffer, "PNG") &&
                  writeWholeFile(name, png);
    showMessage(saved ? tr("导出区域图像成功！") : tr("导出区域图像失败！"));
}

void MainWindow::on_pushButtonExportRegions_clicked()
{
    const int group = currentGroupRow();
    if (group < 1)
        return;
    const QString name = QFileDialog::getSaveFileName(
        this, tr("导出区域表格"), QStringLiteral("regions-group%1.csv").arg(group),
        tr("CSV文件(*.csv)"));
    if (name.isEmpty())
        return;
    const QString table =
        RegionCsv::header() + RegionCsv::rows(group, regionDocument->store().value(group));
    showMessage(writeWholeFile(name, table.toUtf8()) ? tr("导出区域表格成功！")
                                                     : tr("导出区域表格失败！"));
}
