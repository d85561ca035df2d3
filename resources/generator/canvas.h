#pragma once

#include <QColor>
#include <QImage>
#include <QSize>

// A fresh, fully transparent picture to draw into.
QImage transparentCanvas(const QSize &size);

// A fresh opaque picture filled with one colour.
QImage opaqueCanvas(const QSize &size, const QColor &fill);
