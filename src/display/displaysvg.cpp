#include "display/displaysvg.h"

#include "display/radarindicatorwidget.h"

#include <QPainter>
#include <QSaveFile>
#include <QSvgGenerator>

namespace DisplaySvg {

bool save(const RadarIndicatorWidget &display, const QString &path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QSvgGenerator generator;
    generator.setOutputDevice(&file);
    generator.setSize(display.size());
    generator.setViewBox(display.rect());
    QPainter painter;
    if (!painter.begin(&generator))
        return false;
    display.paintScene(painter);
    return painter.end() && file.commit();
}

} // namespace DisplaySvg
