#include "wiringdiagram.h"

#include "cablewires.h"
#include "canvas.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace {

const int sheetWidth = 1120;
const int sheetHeight = 1150;
const qreal margin = 40;

const QColor sheetBackground(42, 42, 42);
const QColor panelBackground(53, 53, 53);
const QColor panelBorder(75, 75, 75);
const QColor headingText(235, 235, 235);
const QColor bodyText(215, 215, 215);
const QColor dimText(160, 160, 160);
const QColor accent(86, 196, 190);
const QColor wireOutline(12, 12, 12);
const QColor copper(205, 140, 80);
const QColor brass(200, 172, 96);

const QRectF facePanel(margin, 120, 300, 340);
const QRectF cablePanel(360, 120, sheetWidth - margin - 360, 340);
const qreal connectorAxisY = 302;
const qreal tableTop = 490;
const qreal headerHeight = 34;
const qreal rowHeight = 30;
const qreal notesTop = tableTop + headerHeight + 16 * rowHeight + 22;

const SheetText title{"VKS20 系列 接线图", "VKS20 Series Wiring Diagram"};
const SheetText subtitle{"16 芯连接电缆线序定义", "Pin assignment of the 16-core connection cable"};
const SheetText faceCaption{"连接器插针面视图", "Connector, view on the pins"};
const SheetText cableCaption{"连接电缆与线端", "Connection cable and wire ends"};
const SheetText jacketLabel{"屏蔽电缆，16 芯", "Shielded cable, 16 cores"};
const SheetText notesHeading{"说明", "Notes"};
const QVector<SheetText> notes{
    {"1. 接线前请断开电源。", "1. Switch the supply off before wiring."},
    {"2. 区域组选择输入 IN1～IN4 的组合决定当前生效的区域组。",
     "2. The combination of the inputs IN1 to IN4 selects the active area group."},
    {"3. 未使用的线请逐根绝缘；电缆屏蔽层请接大地。",
     "3. Insulate every unused wire; connect the cable shield to earth."},
};

struct TableColumn
{
    SheetText heading;
    qreal width;
};

const QVector<TableColumn> tableColumns{
    {{"线号", "No."}, 64},
    {{"线色", "Colour"}, 190},
    {{"信号", "Signal"}, 120},
    {{"类别", "Group"}, 140},
    {{"说明", "Description"}, sheetWidth - 2 * margin - 64 - 190 - 120 - 140},
};
enum Column
{
    NumberColumn,
    ColourColumn,
    SignalColumn,
    GroupColumn,
    DescriptionColumn
};

// A wire drawn as its insulation: outline, base colour and, for two-colour cores, stripes.
void strokeWire(QPainter &painter, const QPainterPath &path, const CableWire &wire, qreal width)
{
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(wireOutline, width + 2, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    painter.drawPath(path);
    painter.setPen(QPen(wire.colour, width, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    painter.drawPath(path);
    if (wire.stripe.isValid()) {
        const qreal stripeLength = 9 / width;
        QPen stripe(wire.stripe, width, Qt::CustomDashLine, Qt::FlatCap, Qt::RoundJoin);
        stripe.setDashPattern({stripeLength, stripeLength});
        painter.setPen(stripe);
        painter.drawPath(path);
    }
}

QPainterPath straightLine(const QPointF &from, const QPointF &to)
{
    QPainterPath path(from);
    path.lineTo(to);
    return path;
}

class WiringSheet
{
public:
    explicit WiringSheet(SheetLanguage language) : language(language) {}

    QImage render() const
    {
        QImage image = opaqueCanvas(QSize(sheetWidth, sheetHeight), sheetBackground);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        drawTitle(painter);
        drawPanel(painter, facePanel, faceCaption);
        drawConnectorFace(painter);
        drawPanel(painter, cablePanel, cableCaption);
        drawCable(painter);
        drawTable(painter);
        drawNotes(painter);
        return image;
    }

private:
    QString text(const SheetText &sheetText) const { return sheetText.in(language); }

    QFont font(int pixelSize, bool bold = false) const
    {
        QFont font;
        font.setFamilies(
            language == SheetLanguage::Chinese
                ? QStringList{QStringLiteral("WenQuanYi Micro Hei"),
                              QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Sans Serif")}
                : QStringList{QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans"),
                              QStringLiteral("Sans Serif")});
        font.setPixelSize(pixelSize);
        font.setBold(bold);
        return font;
    }

    static QFont signalFont(int pixelSize)
    {
        QFont font(QStringLiteral("DejaVu Sans Mono"));
        font.setStyleHint(QFont::Monospace);
        font.setPixelSize(pixelSize);
        font.setBold(true);
        return font;
    }

    void drawTitle(QPainter &painter) const
    {
        painter.setPen(headingText);
        painter.setFont(font(28, true));
        painter.drawText(QRectF(margin, 26, sheetWidth - 2 * margin, 38),
                         Qt::AlignLeft | Qt::AlignVCenter, text(title));
        painter.setPen(dimText);
        painter.setFont(font(15));
        painter.drawText(QRectF(margin, 66, sheetWidth - 2 * margin, 22),
                         Qt::AlignLeft | Qt::AlignVCenter, text(subtitle));
        painter.setPen(QPen(accent, 2));
        painter.drawLine(QPointF(margin, 100), QPointF(sheetWidth - margin, 100));
    }

    void drawPanel(QPainter &painter, const QRectF &panel, const SheetText &caption) const
    {
        painter.setPen(QPen(panelBorder, 1));
        painter.setBrush(panelBackground);
        painter.drawRoundedRect(panel.adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
        painter.setPen(dimText);
        painter.setFont(font(14, true));
        painter.drawText(panel.adjusted(14, 10, -14, 0), Qt::AlignLeft | Qt::AlignTop,
                         text(caption));
    }

    // Pins 1 to 11 run clockwise round the outer ring from the key, 12 to 15 round the inner
    // ring, 16 sits in the middle.
    void drawConnectorFace(QPainter &painter) const
    {
        const QPointF center(facePanel.center().x(), connectorAxisY);
        painter.setPen(QPen(QColor(130, 130, 130), 2));
        painter.setBrush(QColor(78, 78, 78));
        painter.drawEllipse(center, 112, 112);
        painter.setPen(QPen(QColor(100, 100, 100), 1));
        painter.drawEllipse(center, 102, 102);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(28, 28, 28));
        painter.drawEllipse(center, 94, 94);
        painter.setBrush(QColor(78, 78, 78));
        painter.drawRect(QRectF(center.x() - 8, center.y() - 96, 16, 16));

        QVector<QPointF> pins;
        const auto addRing = [&](int count, qreal radius) {
            for (int pin = 0; pin < count; ++pin) {
                const qreal angle = qDegreesToRadians(-90.0 + 360.0 * (pin + 0.5) / count);
                pins.append(center + radius * QPointF(qCos(angle), qSin(angle)));
            }
        };
        addRing(11, 68);
        addRing(4, 30);
        pins.append(center);

        painter.setFont(signalFont(11));
        for (int pin = 0; pin < pins.size(); ++pin) {
            painter.setPen(QPen(brass.darker(160), 1));
            painter.setBrush(brass);
            painter.drawEllipse(pins.at(pin), 11, 11);
            painter.setPen(QColor(30, 30, 30));
            painter.drawText(QRectF(pins.at(pin) - QPointF(11, 11), QSizeF(22, 22)),
                             Qt::AlignCenter, QString::number(pin + 1));
        }
    }

    // Side view of the plug, the cable jacket and the fanned-out cores with their numbers.
    void drawCable(QPainter &painter) const
    {
        const qreal y = connectorAxisY;
        const auto body = [&](qreal left, qreal right, qreal halfHeight, const QColor &fill) {
            painter.setPen(QPen(QColor(125, 125, 125), 1));
            painter.setBrush(fill);
            const QRectF part(left, y - halfHeight, right - left, 2 * halfHeight);
            painter.drawRect(part);
            return part;
        };
        const QRectF thread = body(380, 396, 32, QColor(150, 150, 150));
        painter.setPen(QPen(QColor(110, 110, 110), 1));
        for (qreal line = thread.top() + 4; line < thread.bottom(); line += 5)
            painter.drawLine(QPointF(thread.left(), line), QPointF(thread.right(), line));
        const QRectF nut = body(396, 456, 46, QColor(96, 96, 96));
        painter.setPen(QPen(QColor(120, 120, 120), 1));
        for (qreal line = nut.left() + 5; line < nut.right(); line += 5)
            painter.drawLine(QPointF(line, nut.top() + 2), QPointF(line, nut.bottom() - 2));
        body(456, 526, 36, QColor(82, 82, 82));
        painter.setPen(QPen(QColor(125, 125, 125), 1));
        painter.setBrush(QColor(70, 70, 70));
        painter.drawPolygon(
            QPolygonF(QVector<QPointF>{QPointF(526, y - 36), QPointF(586, y - 16),
                                       QPointF(586, y + 16), QPointF(526, y + 36)}));
        const QRectF relief = body(586, 640, 15, QColor(60, 60, 60));
        painter.setPen(QPen(QColor(90, 90, 90), 1));
        for (qreal line = relief.left() + 6; line < relief.right(); line += 6)
            painter.drawLine(QPointF(line, relief.top() + 1), QPointF(line, relief.bottom() - 1));

        const qreal fanStart = 780;
        const QRectF jacket = body(640, fanStart, 11, QColor(30, 30, 30));
        painter.setPen(dimText);
        painter.setFont(font(13));
        painter.drawText(QRectF(jacket.center().x() - 150, jacket.top() - 30, 300, 22),
                         Qt::AlignCenter, text(jacketLabel));

        const QVector<CableWire> &wires = cableWires();
        const qreal pitch = 18;
        const qreal firstEnd = y - pitch * (wires.size() - 1) / 2;
        const qreal wireEnd = 930;
        for (int index = 0; index < wires.size(); ++index) {
            const CableWire &wire = wires.at(index);
            const qreal start = y - 8 + 16.0 * index / (wires.size() - 1);
            const qreal end = firstEnd + pitch * index;
            QPainterPath path(QPointF(fanStart - 2, start));
            path.cubicTo(QPointF(fanStart + 60, start), QPointF(fanStart + 70, end),
                         QPointF(fanStart + 130, end));
            path.lineTo(wireEnd, end);
            strokeWire(painter, path, wire, 7);
            painter.setPen(QPen(copper, 3, Qt::SolidLine, Qt::FlatCap));
            painter.drawLine(QPointF(wireEnd, end), QPointF(wireEnd + 16, end));

            painter.setPen(bodyText);
            painter.setFont(font(12, true));
            painter.drawText(QRectF(wireEnd + 20, end - 9, 26, 18),
                             Qt::AlignRight | Qt::AlignVCenter, QString::number(wire.number));
            painter.setPen(accent);
            painter.setFont(signalFont(12));
            painter.drawText(QRectF(wireEnd + 54, end - 9, 90, 18),
                             Qt::AlignLeft | Qt::AlignVCenter, QLatin1String(wire.signal));
        }
        // The bundle leaves the jacket under a ring of shield braid.
        painter.setPen(QPen(QColor(150, 150, 150), 1));
        painter.setBrush(QColor(110, 110, 110));
        painter.drawRect(QRectF(fanStart - 6, y - 12, 8, 24));
    }

    QRectF cell(int row, int column) const
    {
        qreal left = margin;
        for (int previous = 0; previous < column; ++previous)
            left += tableColumns.at(previous).width;
        const qreal top = row < 0 ? tableTop : tableTop + headerHeight + row * rowHeight;
        return QRectF(left, top, tableColumns.at(column).width, row < 0 ? headerHeight : rowHeight);
    }

    void drawTable(QPainter &painter) const
    {
        const QVector<CableWire> &wires = cableWires();
        const QRectF table(margin, tableTop, sheetWidth - 2 * margin,
                           headerHeight + wires.size() * rowHeight);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(66, 66, 66));
        painter.drawRect(QRectF(table.topLeft(), QSizeF(table.width(), headerHeight)));
        painter.setPen(headingText);
        painter.setFont(font(14, true));
        for (int column = 0; column < tableColumns.size(); ++column)
            painter.drawText(cell(-1, column).adjusted(12, 0, -12, 0),
                             Qt::AlignLeft | Qt::AlignVCenter,
                             text(tableColumns.at(column).heading));

        for (int row = 0; row < wires.size(); ++row)
            drawWireRow(painter, row, wires.at(row));
        drawGroupCells(painter, wires);

        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(QColor(95, 95, 95), 1));
        painter.drawRect(table.adjusted(0.5, 0.5, -0.5, -0.5));
    }

    void drawWireRow(QPainter &painter, int row, const CableWire &wire) const
    {
        const QRectF line(cell(row, 0).topLeft(), QSizeF(sheetWidth - 2 * margin, rowHeight));
        painter.setPen(Qt::NoPen);
        painter.setBrush(row % 2 == 0 ? panelBackground : QColor(47, 47, 47));
        painter.drawRect(line);

        painter.setPen(bodyText);
        painter.setFont(font(14, true));
        painter.drawText(cell(row, NumberColumn).adjusted(12, 0, -12, 0),
                         Qt::AlignLeft | Qt::AlignVCenter, QString::number(wire.number));

        const QRectF colour = cell(row, ColourColumn);
        const qreal swatchY = colour.center().y();
        strokeWire(painter,
                   straightLine(QPointF(colour.left() + 13, swatchY),
                                QPointF(colour.left() + 49, swatchY)),
                   wire, 12);
        painter.setPen(bodyText);
        painter.setFont(font(14));
        painter.drawText(colour.adjusted(60, 0, -8, 0), Qt::AlignLeft | Qt::AlignVCenter,
                         text(wire.colourName));
        painter.drawText(cell(row, DescriptionColumn).adjusted(12, 0, -12, 0),
                         Qt::AlignLeft | Qt::AlignVCenter, text(wire.description));

        painter.setPen(accent);
        painter.setFont(signalFont(14));
        painter.drawText(cell(row, SignalColumn).adjusted(12, 0, -12, 0),
                         Qt::AlignLeft | Qt::AlignVCenter, QLatin1String(wire.signal));
    }

    // One merged cell per run of wires of the same group, with a rule between groups.
    void drawGroupCells(QPainter &painter, const QVector<CableWire> &wires) const
    {
        int first = 0;
        while (first < wires.size()) {
            int last = first;
            while (last + 1 < wires.size() && wires.at(last + 1).group == wires.at(first).group)
                ++last;
            const QRectF span = cell(first, GroupColumn).united(cell(last, GroupColumn));
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor(58, 58, 58));
            painter.drawRect(span);
            painter.setPen(bodyText);
            painter.setFont(font(14));
            painter.drawText(span.adjusted(12, 0, -12, 0), Qt::AlignLeft | Qt::AlignVCenter,
                             text(wireGroupName(wires.at(first).group)));
            if (first > 0) {
                painter.setPen(QPen(QColor(95, 95, 95), 1));
                const qreal ruleY = qFloor(span.top()) + 0.5;
                painter.drawLine(QPointF(margin, ruleY), QPointF(sheetWidth - margin, ruleY));
            }
            first = last + 1;
        }
    }

    void drawNotes(QPainter &painter) const
    {
        painter.setPen(headingText);
        painter.setFont(font(14, true));
        painter.drawText(QRectF(margin, notesTop, sheetWidth - 2 * margin, 22),
                         Qt::AlignLeft | Qt::AlignVCenter, text(notesHeading));
        painter.setPen(dimText);
        painter.setFont(font(13));
        for (int line = 0; line < notes.size(); ++line)
            painter.drawText(
                QRectF(margin, notesTop + 24 * (line + 1), sheetWidth - 2 * margin, 22),
                Qt::AlignLeft | Qt::AlignVCenter, text(notes.at(line)));
    }

    SheetLanguage language;
};

} // namespace

NamedImages wiringDiagrams()
{
    return {
        {QStringLiteral("images/resource/wiring_diagram.jpg"),
         WiringSheet(SheetLanguage::Chinese).render()},
        {QStringLiteral("images/resource/wiring_diagram_en.png"),
         WiringSheet(SheetLanguage::English).render()},
    };
}
