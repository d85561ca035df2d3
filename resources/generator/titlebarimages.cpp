#include "titlebarimages.h"

#include "canvas.h"
#include "glyphs.h"

#include <QConicalGradient>
#include <QFont>
#include <QPainter>

namespace {

// Drawn at twice the 16 px the buttons show, so they stay sharp on high-density screens.
const int buttonGlyphSize = 32;
const QColor buttonGlyphColor(225, 225, 225);

const QSize logoSize(85, 25);
const QColor logoAccent(86, 196, 190);
const QColor logoText(225, 225, 225);

// The desktop's menu icon: the scope on a dark tile, drawn at 32 px and scaled to 256.
const int desktopIconSize = 256;
const qreal desktopIconDesign = 32.0;
const QColor desktopTile(42, 42, 42);

// A radar scope: rings, a fading sweep wedge and one echo.
void drawScope(QPainter &painter, const QRectF &area)
{
    const QPointF center = area.center();
    const qreal radius = area.width() / 2 - 1;

    QConicalGradient sweep(center, 90);
    sweep.setColorAt(0.0, QColor(logoAccent.red(), logoAccent.green(), logoAccent.blue(), 200));
    sweep.setColorAt(0.22, QColor(logoAccent.red(), logoAccent.green(), logoAccent.blue(), 0));
    sweep.setColorAt(1.0, QColor(logoAccent.red(), logoAccent.green(), logoAccent.blue(), 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(sweep);
    painter.drawPie(QRectF(center.x() - radius, center.y() - radius, 2 * radius, 2 * radius),
                    90 * 16, 80 * 16);

    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(logoAccent, 1.4));
    painter.drawEllipse(center, radius, radius);
    painter.setPen(QPen(logoAccent.darker(140), 1.0));
    painter.drawEllipse(center, radius * 0.55, radius * 0.55);
    painter.setPen(QPen(logoAccent, 1.6, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(center, QPointF(center.x(), center.y() - radius));

    painter.setPen(Qt::NoPen);
    painter.setBrush(logoText);
    painter.drawEllipse(center, 1.6, 1.6);
    painter.drawEllipse(QPointF(center.x() - radius * 0.45, center.y() - radius * 0.5), 1.3, 1.3);
}

void drawWordmark(QPainter &painter, const QRectF &area)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(15);
    font.setBold(true);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 0.5);
    painter.setFont(font);
    painter.setPen(logoText);
    QRectF bounds;
    painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("VKS"), &bounds);
    painter.setPen(logoAccent);
    painter.drawText(area.adjusted(bounds.width(), 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("20"));
}

} // namespace

NamedImages titleBarImages()
{
    return {
        {QStringLiteral("images/icon_window_close.png"),
         glyphs::close(buttonGlyphSize, buttonGlyphColor)},
        {QStringLiteral("images/icon_window_maximize.png"),
         glyphs::maximize(buttonGlyphSize, buttonGlyphColor)},
        {QStringLiteral("images/icon_window_minimize.png"),
         glyphs::minimize(buttonGlyphSize, buttonGlyphColor)},
        {QStringLiteral("images/icon_window_restore.png"),
         glyphs::restore(buttonGlyphSize, buttonGlyphColor)},
        {QStringLiteral("images/icon_window_other.png"),
         glyphs::more(buttonGlyphSize, buttonGlyphColor)},
    };
}

NamedImage applicationIcon()
{
    QImage image = transparentCanvas(logoSize);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const qreal scopeSide = logoSize.height();
    drawScope(painter, QRectF(0, 0, scopeSide, scopeSide));
    drawWordmark(painter,
                 QRectF(scopeSide + 5, 0, logoSize.width() - scopeSide - 5, logoSize.height()));
    return {QStringLiteral("images/app_icon.png"), image};
}

NamedImage desktopIcon()
{
    QImage image = transparentCanvas(QSize(desktopIconSize, desktopIconSize));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(desktopIconSize / desktopIconDesign, desktopIconSize / desktopIconDesign);
    painter.setPen(Qt::NoPen);
    painter.setBrush(desktopTile);
    painter.drawRoundedRect(QRectF(1, 1, 30, 30), 6, 6);
    drawScope(painter, QRectF(4, 4, 24, 24));
    return {QStringLiteral("icons/vks20.png"), image};
}
