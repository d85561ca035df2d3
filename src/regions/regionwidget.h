#pragma once

#include <QColor>
#include <QPointF>
#include <QPolygonF>
#include <QVector>
#include <QWidget>

namespace Ui {
class RegionWidget;
}

// Editor of one region of the current group: colour button, vertex count and a table of
// vertex coordinates in millimetres. It holds no store; the owner applies its signals.
class RegionWidget : public QWidget
{
    Q_OBJECT

public:
    explicit RegionWidget(int rgnIndex, QWidget *parent = nullptr);
    ~RegionWidget() override;

    void setColor(const QColor &c);
    QColor color() const { return regionColor; }
    int rgnIndex() const { return regionIndex; }

    // Loads a region's vertices without emitting anything. Only the first 30 fit the slots;
    // the file loader refuses larger regions, so more can only come from a caller's fault.
    void setPoints(const QPolygonF &polygon);
    // The first n slots, n being the vertex count shown in the spin box.
    QVector<QPointF> regionPoints() const;

signals:
    // The vertex count changed: the owner refills region rgnIndex from p->regionPoints().
    void addRegionPoints(RegionWidget *p, int rgnIndex);
    // A cell was edited; the receiver sets isInRange to whether the store took the point.
    // The reference only comes back through a direct connection.
    void updateRegionPoints(int rgnIndex, int pointIndex, QPointF point, bool &isInRange);
    void beyondTheRange();
    // The operator chose a colour; the owner recolours the region, and the button with it.
    void colorChosen(int rgnIndex, const QColor &color);

public slots:
    // A vertex moved elsewhere (dragged on the display): show it and select its row.
    void updateRegionPoint(int pointIndex, QPointF point);

private slots:
    void on_pushButtonColorSelected_clicked();
    void on_spinBox_valueChanged(int arg1);
    void on_tableWidget_cellChanged(int row, int column);

private:
    // Rewrites rows from their slots; the table's signals are blocked meanwhile.
    void showRows(int firstRow, int rowCount);

    Ui::RegionWidget *ui;
    QColor regionColor{128, 0, 0, 100};
    int regionIndex;
    QVector<QPointF> points;
};
