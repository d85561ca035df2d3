#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

// The frameless window resizes and moves itself; these are the decisions behind that, kept apart
// from the event plumbing.
namespace FramelessGeometry {

// Half-width of the resize zone along each window edge.
constexpr int borderWidth = 15;
// Dragging the right edge never makes the window narrower than this.
constexpr int minRightDragWidth = 1000;
// The top edge stops following this close to the desktop's bottom (and the left edge to its right).
constexpr int desktopEndMargin = 50;

// The edges grabbed by a press at `global` on a window with geometry `window`; empty outside every
// zone. Corners are tested first; there is no bottom-right corner, that position is the right edge.
Qt::Edges zoneAt(const QRect &window, const QPoint &global, int border = borderWidth);

Qt::CursorShape cursorFor(Qt::Edges zone);

// The geometry when `edges` of a window that had `start` at the press are dragged to `global`, or
// nothing when that position is outside the limits and the window keeps its geometry.
std::optional<QRect> resized(Qt::Edges edges, const QRect &start, const QPoint &global,
                             const QSize &desktop);

// The part of a title bar with rectangle `titleBar` where a press starts moving the window.
QRect dragZone(const QRect &titleBar);

} // namespace FramelessGeometry
