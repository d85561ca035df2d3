#include "chrome/uxwindowdragger.h"

#include "chrome/framelessgeometry.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOption>

UxWindowDragger::UxWindowDragger(QWidget *parent) : QWidget(parent) {}

QWidget *UxWindowDragger::draggedWindow() const
{
    return parentWidget() ? parentWidget()->parentWidget() : nullptr;
}

void UxWindowDragger::mousePressEvent(QMouseEvent *event)
{
    pressPosition = event->globalPos();
    // The ends of the bar are left to the window buttons and the icon.
    if (!FramelessGeometry::dragZone(rect()).contains(event->pos()))
        return;
    mousePressed = true;
    if (QWidget *window = draggedWindow())
        windowPositionAtPress = window->pos();
}

void UxWindowDragger::mouseMoveEvent(QMouseEvent *event)
{
    QWidget *window = draggedWindow();
    if (window && mousePressed)
        window->move(windowPositionAtPress + event->globalPos() - pressPosition);
}

void UxWindowDragger::mouseReleaseEvent(QMouseEvent *)
{
    mousePressed = false;
}

void UxWindowDragger::mouseDoubleClickEvent(QMouseEvent *)
{
    emit doubleClicked();
}

void UxWindowDragger::paintEvent(QPaintEvent *)
{
    // A plain QWidget subclass paints no style-sheet background, border or radius on its own.
    QStyleOption option;
    option.initFrom(this);
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
}
