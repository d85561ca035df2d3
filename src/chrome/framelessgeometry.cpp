#include "chrome/framelessgeometry.h"

#include <QtGlobal>

namespace FramelessGeometry {

Qt::Edges zoneAt(const QRect &window, const QPoint &global, int border)
{
    const auto near = [border](int coordinate, int edge) {
        return qAbs(coordinate - edge) <= border;
    };
    const bool left = near(global.x(), window.x());
    const bool right = near(global.x(), window.x() + window.width());
    const bool top = near(global.y(), window.y());
    const bool bottom = near(global.y(), window.y() + window.height());

    if (left && top)
        return Qt::TopEdge | Qt::LeftEdge;
    if (right && top)
        return Qt::TopEdge | Qt::RightEdge;
    if (left && bottom)
        return Qt::LeftEdge | Qt::BottomEdge;
    if (top)
        return Qt::TopEdge;
    if (left)
        return Qt::LeftEdge;
    if (right)
        return Qt::RightEdge;
    if (bottom)
        return Qt::BottomEdge;
    return {};
}

Qt::CursorShape cursorFor(Qt::Edges zone)
{
    if (zone == (Qt::TopEdge | Qt::LeftEdge))
        return Qt::SizeFDiagCursor;
    if (zone == (Qt::TopEdge | Qt::RightEdge) || zone == (Qt::LeftEdge | Qt::BottomEdge))
        return Qt::SizeBDiagCursor;
    if (zone & (Qt::TopEdge | Qt::BottomEdge))
        return Qt::SizeVerCursor;
    if (zone & (Qt::LeftEdge | Qt::RightEdge))
        return Qt::SizeHorCursor;
    return Qt::ArrowCursor;
}

std::optional<QRect> resized(Qt::Edges edges, const QRect &start, const QPoint &global,
                             const QSize &desktop)
{
    const int gx = global.x();
    const int gy = global.y();
    const int widthToPointer = gx - start.x();
    const int heightToPointer = gy - start.y();
    const bool topWithinDesktop = gy >= 1 && gy < desktop.height() - desktopEndMargin;
    const auto grabbed = [edges](Qt::Edges wanted) { return (edges & wanted) == wanted; };

    QRect geometry = start;
    if (grabbed(Qt::TopEdge | Qt::RightEdge)) {
        if (widthToPointer < 1 || !topWithinDesktop)
            return std::nullopt;
        geometry.setWidth(qMax(widthToPointer, minRightDragWidth));
        geometry.setTop(gy);
    } else if (grabbed(Qt::TopEdge | Qt::LeftEdge)) {
        if (gx < 1 || gy < 1)
            return std::nullopt;
        geometry.setLeft(gx);
        geometry.setTop(gy);
    } else if (grabbed(Qt::BottomEdge | Qt::LeftEdge)) {
        if (heightToPointer < 1 || gx < 1)
            return std::nullopt;
        geometry.setLeft(gx);
        geometry.setHeight(heightToPointer);
    } else if (grabbed(Qt::TopEdge)) {
        if (!topWithinDesktop)
            return std::nullopt;
        geometry.setTop(gy);
    } else if (grabbed(Qt::LeftEdge)) {
        if (gx < 1 || gx >= desktop.width() - desktopEndMargin)
            return std::nullopt;
        geometry.setLeft(gx);
    } else if (grabbed(Qt::RightEdge)) {
        if (widthToPointer < 1)
            return std::nullopt;
        geometry.setWidth(qMax(widthToPointer, minRightDragWidth));
    } else if (grabbed(Qt::BottomEdge)) {
        if (heightToPointer < 1)
            return std::nullopt;
        geometry.setHeight(heightToPointer);
    } else {
        return std::nullopt;
    }
    return geometry;
}

QRect dragZone(const QRect &titleBar)
{
    const int sideMargin = titleBar.width() * 20 / 100;
    const int endMargin = 3;
    return titleBar.adjusted(sideMargin, endMargin, -sideMargin, -endMargin);
}

} // namespace FramelessGeometry
