#pragma once

#include <QString>

class RadarIndicatorWidget;

// The display as an SVG picture at its size on screen, drawn by the layers that draw it on
// screen, so grid, field and regions stay paths a drawing program can edit.
namespace DisplaySvg {

// All or nothing: a failed export leaves an existing file as it was.
bool save(const RadarIndicatorWidget &display, const QString &path);

} // namespace DisplaySvg
