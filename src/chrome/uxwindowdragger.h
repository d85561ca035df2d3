#pragma once

#include <QPoint>
#include <QWidget>

// Title bar of the frameless window: dragging its middle moves the top-level window (its
// grandparent), a double click anywhere on it is reported.
class UxWindowDragger : public QWidget
{
    Q_OBJECT

public:
    explicit UxWindowDragger(QWidget *parent = nullptr);

signals:
    void doubleClicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QWidget *draggedWindow() const;

    QPoint pressPosition;
    QPoint windowPositionAtPress;
    bool mousePressed = false;
};
