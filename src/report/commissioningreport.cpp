#include "report/commissioningreport.h"

#include "protocol/regionframe.h"
#include "regions/regionfingerprint.h"
#include "regions/regionframes.h"

#include <QFontDatabase>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QSaveFile>

#include <cmath>

namespace {

// Page layout in millimetres of an A4 portrait page.
constexpr double pageWidth = 210.0;
constexpr double margin = 15.0;
constexpr double textWidth = pageWidth - 2 * margin;
constexpr double drawingHeight = 105.0;
constexpr double tableRowHeight = 3.9;
constexpr int logRows = 24;

// The scan field the device watches: 270 degrees from -45 to 225, 20 m deep.
constexpr double scanFieldStartAngle = -45.0;
constexpr double scanFieldSpanAngle = 270.0;
constexpr double scanFieldRadius = 20000.0;
// Grid cells from 25 mm to 5 m, as the display steps them; the report takes the one that puts
// about eight cells across the drawing.
constexpr double gridSteps[] = {25, 50, 100, 200, 500, 1000, 2000, 5000};
constexpr double cellsAcross = 8.0;

bool hasVertex(const RegionGroup &group)
{
    for (const Region &region : group) {
        if (!region.polygon.isEmpty())
            return true;
    }
    return false;
}

QString orNone(const QString &text)
{
    return text.isEmpty() ? CommissioningReport::tr("无") : text;
}

// Paints the report's pages on one device, in millimetres from the page's top left corner.
class ReportPainter
{
public:
    explicit ReportPainter(QPagedPaintDevice &device)
        : m_device(device), m_painter(&device), m_unit(device.logicalDpiX() / 25.4)
    {}

    bool isActive() const { return m_painter.isActive(); }
    void newPage() { m_device.newPage(); }
    QPainter &painter() { return m_painter; }
    double unit() const { return m_unit; }
    QPointF at(double x, double y) const { return {x * m_unit, y * m_unit}; }
    QRectF rect(double x, double y, double w, double h) const
    {
        return {x * m_unit, y * m_unit, w * m_unit, h * m_unit};
    }

    void setFont(double points, bool bold = false, bool fixed = false)
    {
        QFont font = fixed ? QFontDatabase::systemFont(QFontDatabase::FixedFont) : QFont();
        font.setPointSizeF(points);
        font.setBold(bold);
        m_painter.setFont(font);
    }
    void text(double x, double y, double w, double h, const QString &text,
              int flags = Qt::AlignLeft | Qt::AlignVCenter)
    {
        m_painter.drawText(rect(x, y, w, h), flags | Qt::TextWordWrap, text);
    }
    void line(double x1, double y1, double x2, double y2)
    {
        m_painter.drawLine(at(x1, y1), at(x2, y2));
    }
    void setPen(const QColor &color, double widthMm = 0.2, Qt::PenStyle style = Qt::SolidLine)
    {
        m_painter.setPen(QPen(color, widthMm * m_unit, style));
    }
    // A ruled table: a header row and `rows` rows, columns as wide as `widths`.
    void table(double x, double y, const QVector<double> &widths, const QStringList &header,
               const QVector<QStringList> &rows, int emptyRows = 0,
               double rowHeight = tableRowHeight)
    {
        double width = 0;
        for (double w : widths)
            width += w;
        const int rowCount = 1 + rows.size() + emptyRows;
        setPen(Qt::black, 0.15);
        for (int row = 0; row <= rowCount; ++row)
            line(x, y + row * rowHeight, x + width, y + row * rowHeight);
        double left = x;
        for (int column = 0; column <= widths.size(); ++column) {
            line(left, y, left, y + rowCount * rowHeight);
            if (column < widths.size())
                left += widths.at(column);
        }
        const QVector<QStringList> filled = QVector<QStringList>{header} + rows;
        for (int row = 0; row < filled.size(); ++row) {
            m_painter.save();
            if (row == 0)
                setFont(m_painter.font().pointSizeF(), true);
            left = x;
            for (int column = 0; column < widths.size(); ++column) {
                text(left + 1, y + row * rowHeight, widths.at(column) - 2, rowHeight,
                     filled.at(row).value(column));
                left += widths.at(column);
            }
            m_painter.restore();
        }
    }

private:
    QPagedPaintDevice &m_device;
    QPainter m_painter;
    double m_unit; // device units per millimetre
};

// The regions of one group to scale: world millimetres (sensor at 0,0, y up) onto a box of
// the page, so that the regions and the sensor fit with a cell's margin.
class GroupDrawing
{
public:
    GroupDrawing(const RegionGroup &group, const QRectF &box) : m_group(group), m_box(box)
    {
        QRectF extent(QPointF(0, 0), QSizeF(0, 0));
        for (const Region &region : group)
            extent = extent.united(region.polygon.boundingRect());
        const double span = std::max({extent.width(), extent.height() * box.width() / box.height(),
                                      gridSteps[0] * cellsAcross});
        m_step = gridSteps[std::size(gridSteps) - 1];
        for (double step : gridSteps) {
            if (span / step <= cellsAcross) {
                m_step = step;
                break;
            }
        }
        const double worldWidth = std::ceil(span / m_step + 2) * m_step;
        m_scale = box.width() / worldWidth; // device units per world millimetre
        m_centre = extent.center();
    }

    double step() const { return m_step; }
    double scale() const { return m_scale; }

    QPointF toPage(const QPointF &world) const
    {
        return m_box.center() +
               QPointF(world.x() - m_centre.x(), m_centre.y() - world.y()) * m_scale;
    }

    void paint(QPainter &painter, double unit) const
    {
        painter.save();
        painter.setClipRect(m_box);
        paintGrid(painter, unit);
        paintScanField(painter, unit);
        for (const Region &region : m_group)
            paintRegion(painter, region, unit);
        // The sensor.
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::black);
        painter.drawEllipse(toPage({0, 0}), 1.2 * unit, 1.2 * unit);
        painter.restore();
        painter.setPen(QPen(Qt::black, 0.3 * unit));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(m_box);
    }

private:
    void paintGrid(QPainter &painter, double unit) const
    {
        painter.setPen(QPen(QColor(200, 200, 200), 0.1 * unit));
        const QPointF topLeft = toWorld(m_box.topLeft());
        const QPointF bottomRight = toWorld(m_box.bottomRight());
        for (double x = std::floor(topLeft.x() / m_step) * m_step; x <= bottomRight.x();
             x += m_step)
            painter.drawLine(toPage({x, topLeft.y()}), toPage({x, bottomRight.y()}));
        for (double y = std::floor(bottomRight.y() / m_step) * m_step; y <= topLeft.y();
             y += m_step)
            painter.drawLine(toPage({topLeft.x(), y}), toPage({bottomRight.x(), y}));
        painter.setPen(QPen(QColor(120, 120, 120), 0.2 * unit));
        painter.drawLine(toPage({topLeft.x(), 0}), toPage({bottomRight.x(), 0}));
        painter.drawLine(toPage({0, topLeft.y()}), toPage({0, bottomRight.y()}));
    }

    void paintScanField(QPainter &painter, double unit) const
    {
        const double radius = scanFieldRadius * m_scale;
        const QPointF sensor = toPage({0, 0});
        QPainterPath outline(sensor);
        outline.arcTo(QRectF(sensor - QPointF(radius, radius), sensor + QPointF(radius, radius)),
                      scanFieldStartAngle, scanFieldSpanAngle);
        outline.closeSubpath();
        painter.setPen(QPen(QColor(90, 110, 110), 0.3 * unit, Qt::DashLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(outline);
    }

    // As the display draws a region: the sensor followed by its vertices in angular order.
    void paintRegion(QPainter &painter, const Region &region, double unit) const
    {
        if (region.polygon.isEmpty())
            return;
        QPolygonF page;
        page << toPage({0, 0});
        for (const QPointF &point : region.polygon)
            page << toPage(point);
        QColor fill = region.color;
        fill.setAlpha(70);
        painter.setPen(QPen(region.color.darker(130), 0.3 * unit));
        painter.setBrush(fill);
        painter.drawPolygon(page);
        painter.setBrush(region.color.darker(130));
        for (int i = 1; i < page.size(); ++i)
            painter.drawEllipse(page.at(i), 0.6 * unit, 0.6 * unit);
    }

    QPointF toWorld(const QPointF &page) const
    {
        const QPointF offset = (page - m_box.center()) / m_scale;
        return {m_centre.x() + offset.x(), m_centre.y() - offset.y()};
    }

    const RegionGroup &m_group;
    QRectF m_box;
    double m_step = 1000;
    double m_scale = 1;
    QPointF m_centre;
};

} // namespace

CommissioningReport::CommissioningReport(const RegionStore &store, const ReportContext &context)
    : m_held(store), m_context(context), m_fingerprint(RegionFingerprint::of(store))
{
    for (const RegionFrame::Content &frame : RegionFrames::toDevice(store))
        RegionFrames::store(m_held, RegionFrame::asHeldByDevice(frame));
    for (auto group = m_held.cbegin(); group != m_held.cend(); ++group) {
        if (hasVertex(*group))
            m_groups.append(group.key());
    }
}

bool CommissioningReport::print(QPagedPaintDevice &device) const
{
    device.setPageSize(QPageSize(QPageSize::A4));
    device.setPageOrientation(QPageLayout::Portrait);
    device.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    ReportPainter page(device);
    if (!page.isActive())
        return false;

    // The cover.
    QStringList usedGroups;
    for (int group : m_groups)
        usedGroups << QString::number(group);
    page.setFont(20, true);
    page.text(margin, margin, textWidth, 20, tr("调试报告：安全区域配置"));
    page.setFont(10);
    struct Fact
    {
        QString label;
        QString value;
        bool fixedPitch = false;
    };
    const QVector<Fact> facts = {
        {tr("日期和时间"), m_context.time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss t"))},
        {tr("工具版本"), m_context.toolVersion},
        {tr("区域设置文件"), orNone(m_context.regionFile)},
        {tr("指纹 (SHA-256)"), m_fingerprint, true},
        {tr("设备连接"), m_context.deviceLink.isEmpty() ? tr("未连接") : m_context.deviceLink},
        {tr("角分辨率"), orNone(m_context.resolution)},
        {tr("上次校验下载"), orNone(m_context.verifiedDownload)},
        {tr("使用的区域组"), orNone(usedGroups.join(QStringLiteral(", ")))},
    };
    double y = margin + 26;
    for (const Fact &fact : facts) {
        page.setFont(10, true);
        page.text(margin, y, 50, 8, fact.label);
        page.setFont(fact.fixedPitch ? 8.5 : 10, false, fact.fixedPitch);
        page.text(margin + 50, y, textWidth - 50, 8, fact.value);
        y += 9;
    }
    y += 12;
    page.setFont(10, true);
    for (const QString &field : {tr("车辆"), tr("负责人"), tr("签名"), tr("日期")}) {
        page.text(margin, y, 50, 8, field);
        page.setPen(Qt::black, 0.2);
        page.line(margin + 50, y + 7, margin + textWidth, y + 7);
        y += 14;
    }

    // One page per group that has a vertex.
    for (int groupIndex : m_groups) {
        const RegionGroup &group = m_held.value(groupIndex);
        page.newPage();
        page.setFont(14, true);
        page.text(margin, margin, textWidth, 9, tr("第 %1 组").arg(groupIndex));
        const QRectF box = page.rect(margin, margin + 11, textWidth, drawingHeight);
        const GroupDrawing drawing(group, box);
        drawing.paint(page.painter(), page.unit());

        // The scale bar: one grid cell.
        const double barY = margin + 11 + drawingHeight + 4;
        const double barLength = drawing.step() * drawing.scale() / page.unit();
        page.setPen(Qt::black, 0.5);
        page.line(margin, barY, margin + barLength, barY);
        page.line(margin, barY - 1, margin, barY + 1);
        page.line(margin + barLength, barY - 1, margin + barLength, barY + 1);
        page.setFont(8);
        page.text(margin + barLength + 3, barY - 3, 80, 6,
                  tr("%1 mm（网格一格）").arg(drawing.step()));

        const double tableWidth = (textWidth - 2 * 4) / 3;
        for (int k = 0; k < group.size(); ++k) {
            const Region &region = group.at(k);
            const double left = margin + k * (tableWidth + 4);
            const double top = barY + 6;
            page.setFont(9, true);
            page.text(left, top, tableWidth, 5, tr("区域%1").arg(k + 1));
            page.setFont(8);
            page.text(left, top + 5, tableWidth, 5, tr("报警点数：%1").arg(region.alarmPointNum));
            QVector<QStringList> rows;
            for (int i = 0; i < region.polygon.size(); ++i) {
                const QPointF &point = region.polygon.at(i);
                rows.append({QString::number(i + 1), QString::number(point.x()),
                             QString::number(point.y())});
            }
            page.setFont(7);
            page.table(left, top + 11, {tableWidth / 5, tableWidth * 2 / 5, tableWidth * 2 / 5},
                       {tr("顶点"), QStringLiteral("X mm"), QStringLiteral("Y mm")}, rows);
        }
    }

    // The intrusion-test log.
    page.newPage();
    page.setFont(14, true);
    page.text(margin, margin, textWidth, 9, tr("侵入测试记录"));
    page.setFont(9);
    page.text(margin, margin + 10, textWidth, 10,
              tr("对每个区域，将测试物体放入区域内，记录位置、预期反应和实际结果。"));
    page.table(margin, margin + 22, {22, 36, 36, 32, 32, 22},
               {tr("区域"), tr("测试物体"), tr("位置"), tr("预期"), tr("结果"), tr("签名缩写")}, {},
               logRows, 8.5);
    return true;
}

bool CommissioningReport::writePdf(const QString &path, QString *error) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    {
        QPdfWriter writer(&file);
        writer.setCreator(QCoreApplication::applicationName());
        writer.setTitle(tr("调试报告：安全区域配置"));
        if (!print(writer)) {
            file.cancelWriting();
            *error = QStringLiteral("the PDF could not be painted");
            return false;
        }
    }
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}
