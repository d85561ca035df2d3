#include "regions/regionwidget.h"
#include "regions/region.h"
#include "ui_regionwidget.h"

#include <QColorDialog>
#include <QSignalBlocker>
#include <QTableWidgetItem>

#include <cmath>

namespace {

enum Column
{
    ColumnX = 0,
    ColumnY = 1,
};

// Whole millimetres, truncated toward zero; adding +0.0 turns a truncated -0 into 0.
QString millimetreText(double value)
{
    return QString::number(std::trunc(value) + 0.0, 'f', 0);
}

// Edits the existing item rather than replacing it: the row may be rewritten from within the
// item's own change notification.
void showCoordinate(QTableWidget *table, int row, int column, double value)
{
    QTableWidgetItem *item = table->item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        item->setTextAlignment(Qt::AlignCenter);
        table->setItem(row, column, item);
    }
    item->setText(millimetreText(value));
}

double cellValue(const QTableWidget *table, int row, int column)
{
    const QTableWidgetItem *item = table->item(row, column);
    return item ? item->text().toDouble() : 0.0; // text that is not a number counts as 0
}

} // namespace

RegionWidget::RegionWidget(int rgnIndex, QWidget *parent)
    : QWidget(parent), ui(new Ui::RegionWidget), regionIndex(rgnIndex), points(Regions::maxVertices)
{
    ui->setupUi(this);
    ui->tableWidget->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    ui->tableWidget->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    // Coordinates are always Cartesian; the polar choice is not offered.
    ui->radioButtonCartesian->hide();
    ui->radioButtonPolar->hide();
    ui->frame_2->hide();
}

RegionWidget::~RegionWidget()
{
    delete ui;
}

void RegionWidget::setColor(const QColor &c)
{
    regionColor = c;
    ui->pushButtonColorSelected->setStyleSheet(
        QStringLiteral("QPushButton{background-color:rgba(%1,%2,%3,%4);}")
            .arg(c.red())
            .arg(c.green())
            .arg(c.blue())
            .arg(c.alpha()));
}

void RegionWidget::setPoints(const QPolygonF &polygon)
{
    const int count = qMin(polygon.size(), Regions::maxVertices);
    points.fill(QPointF());
    std::copy_n(polygon.cbegin(), count, points.begin());
    ui->tableWidget->clearContents();
    ui->tableWidget->setRowCount(count);
    showRows(0, count);
    const QSignalBlocker blocker(ui->spinBox);
    ui->spinBox->setValue(count);
}

QVector<QPointF> RegionWidget::regionPoints() const
{
    return points.mid(0, ui->spinBox->value());
}

void RegionWidget::updateRegionPoint(int pointIndex, QPointF point)
{
    if (pointIndex < 0 || pointIndex >= ui->tableWidget->rowCount())
        return;
    points[pointIndex] = point;
    showRows(pointIndex, 1);
    ui->tableWidget->selectRow(pointIndex);
}

void RegionWidget::on_pushButtonColorSelected_clicked()
{
    // Cancel changes nothing.
    const QColor chosen =
        QColorDialog::getColor(regionColor, this, tr("颜色对话框"), QColorDialog::ShowAlphaChannel);
    if (chosen.isValid())
        emit colorChosen(regionIndex, chosen);
}

void RegionWidget::on_spinBox_valueChanged(int arg1)
{
    ui->tableWidget->clearContents();
    ui->tableWidget->setRowCount(arg1);
    // Dropped vertices are lost; added rows start at the sensor, where regions begin.
    std::fill(points.begin() + arg1, points.end(), QPointF());
    showRows(0, arg1);
    emit addRegionPoints(this, regionIndex);
}

void RegionWidget::on_tableWidget_cellChanged(int row, int column)
{
    Q_UNUSED(column)
    if (row < 0 || row >= Regions::maxVertices)
        return;
    const QPointF point(cellValue(ui->tableWidget, row, ColumnX),
                        cellValue(ui->tableWidget, row, ColumnY));
    bool isInRange = false;
    emit updateRegionPoints(regionIndex, row, point, isInRange);
    if (isInRange)
        points[row] = point;
    else
        emit beyondTheRange();
    // Either way the row shows what its slot, like the store, now holds.
    showRows(row, 1);
}

void RegionWidget::showRows(int firstRow, int rowCount)
{
    const QSignalBlocker blocker(ui->tableWidget);
    for (int row = firstRow; row < firstRow + rowCount; ++row) {
        showCoordinate(ui->tableWidget, row, ColumnX, points[row].x());
        showCoordinate(ui->tableWidget, row, ColumnY, points[row].y());
    }
}
