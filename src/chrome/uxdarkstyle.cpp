#include "chrome/uxdarkstyle.h"

#include <QApplication>
#include <QFile>
#include <QFont>
#include <QStyleFactory>

namespace {

QStyle *sharedFusionStyle()
{
    static QStyle *const fusion = QStyleFactory::create(QStringLiteral("Fusion"));
    return fusion;
}

// Proxies alive, oldest first; the shared base calls back into the newest.
QList<UxDarkStyle *> &liveDarkStyles()
{
    static QList<UxDarkStyle *> styles;
    return styles;
}

} // namespace

UxDarkStyle::UxDarkStyle() : QProxyStyle(sharedFusionStyle())
{
    // QProxyStyle takes its base as a child; the shared base must outlive every proxy.
    baseStyle()->setParent(nullptr);
    liveDarkStyles().append(this);
}

UxDarkStyle::~UxDarkStyle()
{
    liveDarkStyles().removeOne(this);
    if (liveDarkStyles().isEmpty())
        return;
    // The base would otherwise keep calling back into this destroyed proxy.
    liveDarkStyles().last()->setBaseStyle(sharedFusionStyle());
    sharedFusionStyle()->setParent(nullptr);
}

void UxDarkStyle::polish(QPalette &palette)
{
    const QColor disabledGrey(127, 127, 127);
    palette.setColor(QPalette::Window, QColor(53, 53, 53));
    palette.setColor(QPalette::WindowText, Qt::white);
    palette.setColor(QPalette::Disabled, QPalette::WindowText, disabledGrey);
    palette.setColor(QPalette::Base, QColor(42, 42, 42));
    palette.setColor(QPalette::AlternateBase, QColor(66, 66, 66));
    palette.setColor(QPalette::ToolTipBase, Qt::white);
    palette.setColor(QPalette::ToolTipText, QColor(53, 53, 53));
    palette.setColor(QPalette::Text, Qt::white);
    palette.setColor(QPalette::Disabled, QPalette::Text, disabledGrey);
    palette.setColor(QPalette::Dark, QColor(0, 0, 0));
    palette.setColor(QPalette::Shadow, QColor(20, 20, 20));
    palette.setColor(QPalette::Button, QColor(53, 53, 53));
    palette.setColor(QPalette::ButtonText, Qt::white);
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, disabledGrey);
    palette.setColor(QPalette::BrightText, Qt::red);
    palette.setColor(QPalette::Link, QColor(42, 130, 218));
    palette.setColor(QPalette::Highlight, QColor(QStringLiteral("#6d7474")));
    palette.setColor(QPalette::Disabled, QPalette::Highlight, QColor(80, 80, 80));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Disabled, QPalette::HighlightedText, disabledGrey);
}

void UxDarkStyle::applyToApplication()
{
    QFont font = QApplication::font();
    font.setPointSize(9);
    font.setFamily(QObject::tr("华文细黑"));
    QApplication::setFont(font);
    QApplication::setStyle(new UxDarkStyle);
}

void UxDarkStyle::polish(QApplication *app)
{
    if (!app)
        return;
    QFile sheet(QStringLiteral(":/darkstyle/darkstyle.qss"));
    if (sheet.open(QIODevice::ReadOnly | QIODevice::Text)) {
        app->setStyleSheet(QString::fromLatin1(sheet.readAll()));
        sheet.close();
    }
}
