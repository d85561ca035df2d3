#include "darkstyleimages.h"

#include "canvas.h"
#include "glyphs.h"

#include <QPainter>
#include <QPainterPath>

namespace {

// Colours follow the dark palette: base (42,42,42), window (53,53,53), highlight #6d7474 and
// the disabled grey (127,127,127).
struct IndicatorColors
{
    QColor frame;
    QColor fill;
    QColor mark;
};

// The normal, pressed and disabled variants of an indicator, by file-name suffix.
struct InteractionLook
{
    const char *suffix;
    IndicatorColors colors;
};

const QVector<InteractionLook> &interactionLooks()
{
    static const QVector<InteractionLook> looks{
        {"", {QColor(150, 150, 150), QColor(42, 42, 42), QColor(240, 240, 240)}},
        {"_pressed", {QColor(180, 188, 188), QColor(0x6d, 0x74, 0x74), QColor(255, 255, 255)}},
        {"_disabled", {QColor(90, 90, 90), QColor(53, 53, 53), QColor(127, 127, 127)}},
    };
    return looks;
}

const QSize radioButtonSize(18, 18);
const QSize checkBoxSize(16, 16);
const QSize branchSize(20, 20);
const int dockButtonSize = 16;
const QColor branchLineColor(100, 100, 100);
const QColor branchArrowColor(200, 200, 200);
const QColor dockGlyphColor(220, 220, 220);

QImage radioButton(bool checked, const IndicatorColors &colors)
{
    QImage image = transparentCanvas(radioButtonSize);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF center(radioButtonSize.width() / 2.0, radioButtonSize.height() / 2.0);
    painter.setPen(QPen(colors.frame, 1.0));
    painter.setBrush(colors.fill);
    painter.drawEllipse(center, 7.5, 7.5);
    if (checked) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(colors.mark);
        painter.drawEllipse(center, 3.5, 3.5);
    }
    return image;
}

QImage checkBox(Qt::CheckState state, const IndicatorColors &colors)
{
    QImage image = transparentCanvas(checkBoxSize);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(colors.frame, 1.0));
    painter.setBrush(colors.fill);
    painter.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 2, 2);
    painter.setPen(QPen(colors.mark, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    if (state == Qt::Checked) {
        QPainterPath tick;
        tick.moveTo(4.5, 8.2);
        tick.lineTo(6.9, 10.6);
        tick.lineTo(11.5, 5.5);
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(tick);
    } else if (state == Qt::PartiallyChecked) {
        painter.drawLine(QPointF(5, 8), QPointF(11, 8));
    }
    return image;
}

enum class BranchLine
{
    Through,
    More,
    End
};

QImage branchLine(BranchLine kind)
{
    QImage image = transparentCanvas(branchSize);
    QPainter painter(&image);
    painter.setPen(QPen(branchLineColor, 1.0, Qt::SolidLine, Qt::FlatCap));
    const qreal middleX = branchSize.width() / 2 - 0.5;
    const qreal middleY = branchSize.height() / 2 - 0.5;
    const qreal lineEnd = kind == BranchLine::End ? middleY : branchSize.height();
    painter.drawLine(QPointF(middleX, 0), QPointF(middleX, lineEnd));
    if (kind != BranchLine::Through)
        painter.drawLine(QPointF(middleX, middleY), QPointF(branchSize.width(), middleY));
    return image;
}

// A small filled triangle pointing right (closed) or down (open).
QImage branchArrow(bool open)
{
    QImage image = transparentCanvas(branchSize);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(branchSize.width() / 2.0, branchSize.height() / 2.0);
    if (open)
        painter.rotate(90);
    painter.setPen(Qt::NoPen);
    painter.setBrush(branchArrowColor);
    painter.drawPolygon(
        QPolygonF(QVector<QPointF>{QPointF(-2.5, -4.5), QPointF(3, 0), QPointF(-2.5, 4.5)}));
    return image;
}

void addIndicators(NamedImages &images)
{
    const QVector<QPair<Qt::CheckState, QString>> checkStates{
        {Qt::Checked, QStringLiteral("checked")},
        {Qt::Unchecked, QStringLiteral("unchecked")},
        {Qt::PartiallyChecked, QStringLiteral("indeterminate")},
    };
    for (const InteractionLook &look : interactionLooks()) {
        for (const auto &state : checkStates) {
            const QString name = state.second + QLatin1String(look.suffix);
            images.append({QStringLiteral("darkstyle/icon_checkbox_%1.png").arg(name),
                           checkBox(state.first, look.colors)});
            if (state.first != Qt::PartiallyChecked)
                images.append({QStringLiteral("darkstyle/icon_radiobutton_%1.png").arg(name),
                               radioButton(state.first == Qt::Checked, look.colors)});
        }
    }
}

} // namespace

NamedImages darkStyleImages()
{
    NamedImages images;
    addIndicators(images);
    images.append({QStringLiteral("darkstyle/icon_vline.png"), branchLine(BranchLine::Through)});
    images.append({QStringLiteral("darkstyle/icon_branch_more.png"), branchLine(BranchLine::More)});
    images.append({QStringLiteral("darkstyle/icon_branch_end.png"), branchLine(BranchLine::End)});
    images.append({QStringLiteral("darkstyle/icon_branch_closed.png"), branchArrow(false)});
    images.append({QStringLiteral("darkstyle/icon_branch_open.png"), branchArrow(true)});
    images.append({QStringLiteral("darkstyle/icon_close.png"),
                   glyphs::close(dockButtonSize, dockGlyphColor)});
    images.append({QStringLiteral("darkstyle/icon_restore.png"),
                   glyphs::restore(dockButtonSize, dockGlyphColor)});
    return images;
}
