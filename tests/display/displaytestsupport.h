#pragma once

#include "display/radarindicatorwidget.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>

#include <memory>

// Real input events, built here so that the held buttons are exactly what a test says.
namespace DisplayTest {

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

// A press at `pos`, a move by each of `steps` with `button` held, and the release where it ends.
inline void gesture(QWidget *widget, QPointF pos, Qt::MouseButton button,
                    const QVector<QPoint> &steps)
{
    press(widget, pos, button);
    for (const QPoint &step : steps)
        drag(widget, pos += step, button);
    sendMouse(widget, QEvent::MouseButtonRelease, pos, button, Qt::NoButton);
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

} // namespace DisplayTest
