#pragma once

#include "display/radarindicatorwidget.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QWheelEvent>

#include <memory>

// Real input events, built here so that the held buttons are exactly what a test says.
namespace DisplayTest {

const QColor background(53, 53, 53);

inline void sendMouse(QWidget *widget, QEvent::Type type, const QPointF &pos,
                      Qt::MouseButton button, Qt::MouseButtons buttons)
{
    const QPoint point = pos.toPoint();
    QMouseEvent event(type, point, widget->mapToGlobal(point), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

inline void hover(QWidget *widget, const QPointF &pos)
{
    sendMouse(widget, QEvent::MouseMove, pos, Qt::NoButton, Qt::NoButton);
}

inline void press(QWidget *widget, const QPointF &pos, Qt::MouseButton button)
{
    sendMouse(widget, QEvent::MouseButtonPress, pos, button, button);
}

// A move with `held` down.
inline void drag(QWidget *widget, const QPointF &pos, Qt::MouseButtons held)
{
    sendMouse(widget, QEvent::MouseMove, pos, Qt::NoButton, held);
}

inline void sendWheel(QWidget *widget, const QPoint &angleDelta)
{
    const QPointF pos(10, 10);
    QWheelEvent event(pos, widget->mapToGlobal(pos.toPoint()), QPoint(), angleDelta, Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &event);
}

inline std::unique_ptr<RadarIndicatorWidget> shownWidget(const QSize &size, int zoomInNotches = 0)
{
    auto widget = std::make_unique<RadarIndicatorWidget>();
    widget->resize(size);
    widget->show();
    for (int i = 0; i < zoomInNotches; ++i)
        widget->zoomIn();
    return widget;
}

inline QPoint pixelOf(const RadarIndicatorWidget &widget, const QPointF &world)
{
    return widget.viewGeometry().toPixel(world).toPoint();
}

inline QColor canvasColorAt(const RadarIndicatorWidget &widget, const QPointF &world)
{
    return widget.canvas().pixelColor(pixelOf(widget, world));
}

inline QString labelText(const QWidget &widget, const char *name)
{
    return widget.findChild<QLabel *>(QLatin1String(name))->text();
}

} // namespace DisplayTest
