#pragma once

#include <QColor>
#include <QImage>

// Window-control glyphs on a transparent square. They are laid out on a 16-unit grid with
// 1-unit strokes on half units, so they stay crisp at 16 px and at any multiple of it.
namespace glyphs {

QImage close(int size, const QColor &color);
QImage maximize(int size, const QColor &color);
QImage minimize(int size, const QColor &color);
QImage restore(int size, const QColor &color);
QImage more(int size, const QColor &color);

} // namespace glyphs
