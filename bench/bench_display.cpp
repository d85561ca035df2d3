// Times the radar display's canvas redraw and a vertex drag (each move a step of the region
// document's undo history) on a full-HD widget.
// Run: QT_QPA_PLATFORM=offscreen ./bench_display [runs]
#include "benchsupport.h"
#include "display/radarindicatorwidget.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QtMath>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>

namespace {

QVector<QVector<QPointF>> sampleCloud()
{
    // Five frames of 300 points: a wavy outline over the whole scan field.
    QVector<QVector<QPointF>> frames;
    for (int frame = 0; frame < 5; ++frame) {
        QVector<QPointF> points;
        for (int i = 0; i < 300; ++i) {
            const double degrees = -45.0 + (frame * 300 + i) * 270.0 / 1500.0;
            const double distance = 6000.0 + 4000.0 * qSin(qDegreesToRadians(degrees * 7));
            points.append(QPointF(distance * qCos(qDegreesToRadians(degrees)),
                                  distance * qSin(qDegreesToRadians(degrees))));
        }
        frames.append(points);
    }
    return frames;
}

void addSampleRegions(RegionDocument &document)
{
    for (int r = 0; r < 3; ++r) {
        QPolygonF polygon;
        for (int k = 0; k < 30; ++k) {
            const double degrees = -40.0 + k * 260.0 / 29.0;
            const double distance = 2000.0 + 1500.0 * r + 300.0 * (k % 3);
            polygon.append(QPointF(distance * qCos(qDegreesToRadians(degrees)),
                                   distance * qSin(qDegreesToRadians(degrees))));
        }
        document.setVertexCount(1, r, polygon);
    }
}

struct Figures
{
    double median;
    double p90;
};

struct Timing
{
    Figures wall;
    Figures cpu; // this thread's CPU time: meaningful also on a busy machine
};

double threadCpuMillis()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

Figures medianAndP90(QVector<double> millis)
{
    std::sort(millis.begin(), millis.end());
    const int runs = millis.size();
    return {millis[runs / 2], millis[std::min(runs - 1, runs * 9 / 10)]};
}

Timing measure(int runs, const std::function<void()> &work)
{
    QVector<double> wall;
    QVector<double> cpu;
    QElapsedTimer timer;
    for (int i = 0; i < runs; ++i) {
        const double cpuStart = threadCpuMillis();
        timer.start();
        work();
        wall.append(timer.nsecsElapsed() / 1e6);
        cpu.append(threadCpuMillis() - cpuStart);
    }
    return {medianAndP90(wall), medianAndP90(cpu)};
}

void sendMouse(QWidget &widget, QEvent::Type type, const QPointF &pos, Qt::MouseButton button,
               Qt::MouseButtons buttons)
{
    QMouseEvent event(type, pos, widget.mapToGlobal(pos.toPoint()), button, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

void printFigures(const char *what, const Timing &timing)
{
    std::printf("%-40s wall median %6.2f p90 %6.2f | cpu median %6.2f p90 %6.2f ms\n", what,
                timing.wall.median, timing.wall.p90, timing.cpu.median, timing.cpu.p90);
}

} // namespace

int main(int argc, char *argv[])
{
    const Bench::OffscreenByDefault offscreen;
    QApplication app(argc, argv);
    const int runs = Bench::countArgument(argc, argv, 1, 50);

    RegionDocument document;
    RadarIndicatorWidget widget;
    widget.setDocument(&document);
    widget.resize(1920, 1080);
    widget.show();
    widget.setPointCloud(sampleCloud());
    addSampleRegions(document);
    const auto redraw = [&] { widget.drawCanvas(); };

    std::printf("drawCanvas, 1920x1080, 1500 points, 3 x 30-vertex regions, %d runs\n", runs);
    printFigures("start scale (1000 mm per 50 px)", measure(runs, redraw));
    // A pan step changes the view, so its redraw paints the grid, field and axes again.
    const QPointF grip(400, 300);
    sendMouse(widget, QEvent::MouseButtonPress, grip, Qt::RightButton, Qt::RightButton);
    int step = 0;
    printFigures("start scale, panned (backdrop repainted)", measure(runs, [&] {
                     const QPointF pos = grip + QPointF((step++ % 2) ? 0 : 1, 0);
                     sendMouse(widget, QEvent::MouseMove, pos, Qt::NoButton, Qt::RightButton);
                 }));
    sendMouse(widget, QEvent::MouseButtonRelease, grip, Qt::RightButton, Qt::NoButton);
    for (int i = 0; i < 100; ++i)
        widget.zoomOut();
    printFigures("coarsest scale (5000 mm per 50 px)", measure(runs, redraw));
    for (int i = 0; i < 100; ++i)
        widget.zoomIn();
    printFigures("finest scale (25 mm per 100 px)", measure(runs, redraw));
    widget.setRegionsVisible(false);
    printFigures("finest scale, regions hidden (clipped)", measure(runs, redraw));
    widget.setRegionsVisible(true);

    // Back to the start scale and drag the current region's first vertex to and fro.
    for (int i = 0; i < 100; ++i)
        widget.zoomOut();
    for (int i = 0; i < 22; ++i)
        widget.zoomIn();
    const QPointF handle = widget.viewGeometry().toPixel(document.region(1, 0).polygon[0]);
    sendMouse(widget, QEvent::MouseMove, handle, Qt::NoButton, Qt::NoButton);
    sendMouse(widget, QEvent::MouseButtonPress, handle, Qt::LeftButton, Qt::LeftButton);
    int move = 0;
    const Timing drag = measure(100, [&] {
        const QPointF pos = handle + QPointF((move++ % 2) ? 0 : 3, 0);
        sendMouse(widget, QEvent::MouseMove, pos, Qt::NoButton, Qt::LeftButton);
    });
    printFigures("vertex drag, per mouse move", drag);
    return 0;
}
