#include "chrome/uxframelesswindow.h"

#include "chrome/framelessgeometry.h"
#include "ui_uxframelesswindow.h"

#include <QApplication>
#include <QGraphicsDropShadowEffect>
#include <QMouseEvent>
#include <QScreen>

namespace {

QGraphicsDropShadowEffect *newDropShadow(qreal blurRadius, const QColor &color)
{
    auto *shadow = new QGraphicsDropShadowEffect;
    shadow->setBlurRadius(blurRadius);
    shadow->setColor(color);
    shadow->setOffset(0, 0);
    return shadow;
}

QString titleBarSheet(bool active, bool normalState)
{
    return QStringLiteral("#windowTitlebar{border: 0px none palette(shadow); "
                          "border-top-left-radius:%1px; border-top-right-radius:%1px; "
                          "background-color:%2; height:50px;}")
        .arg(normalState ? 7 : 0)
        .arg(active ? QStringLiteral("palette(shadow)") : QStringLiteral("palette(dark)"));
}

QString frameSheet(bool active, bool normalState)
{
    QString border;
    if (active)
        border =
            normalState ? QStringLiteral("palette(highlight)") : QStringLiteral("palette(dark)");
    else
        border = normalState ? QStringLiteral("#000000") : QStringLiteral("palette(shadow)");
    return QStringLiteral("#windowFrame{border:1px solid %1; border-radius:%2px %2px %2px %2px; "
                          "background-color:palette(Window);}")
        .arg(border)
        .arg(normalState ? 7 : 0);
}

QSize desktopSize()
{
    return QGuiApplication::primaryScreen()->virtualSize();
}

} // namespace

UxFramelessWindow::UxFramelessWindow(QWidget *parent)
    : QWidget(parent), ui(std::make_unique<Ui::UxFramelessWindow>())
{
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowSystemMenuHint);
    setWindowFlags(windowFlags() | Qt::WindowMinimizeButtonHint);
    setAttribute(Qt::WA_NoSystemBackground, true);
    setAttribute(Qt::WA_TranslucentBackground, true);

    ui->setupUi(this);
    ui->restoreButton->setHidden(true);
    ui->otherButton->setHidden(true);
    ui->icon->setPixmap(QPixmap(QStringLiteral(":/images/app_icon.png")));
    ui->titleText->setGraphicsEffect(newDropShadow(7, Qt::black));
    ui->windowFrame->setGraphicsEffect(newDropShadow(9, Qt::white));

    connect(qApp, &QGuiApplication::applicationStateChanged, this,
            &UxFramelessWindow::on_applicationStateChanged);

    setMouseTracking(true);
    // Resizing follows the mouse over every widget of the program, not only over this window.
    qApp->installEventFilter(this);
}

UxFramelessWindow::~UxFramelessWindow() = default;

void UxFramelessWindow::setContent(QWidget *w)
{
    ui->windowContent->layout()->addWidget(w);
}

void UxFramelessWindow::setWindowTitle(const QString &text)
{
    ui->titleText->setText(text);
}

void UxFramelessWindow::setWindowIcon(const QIcon &ico)
{
    ui->icon->setPixmap(ico.pixmap(QSize(175, 25), QIcon::Normal, QIcon::Off));
}

void UxFramelessWindow::setBeforeClosingFunc(std::function<bool()> func)
{
    beforeClosing = std::move(func);
}

void UxFramelessWindow::applyWindowStyle(bool active, bool normalState)
{
    const int margin = normalState ? 13 : 0;
    ui->verticalLayout_2->setContentsMargins(margin, margin, margin, margin);
    ui->windowTitlebar->setStyleSheet(titleBarSheet(active, normalState));
    ui->windowFrame->setStyleSheet(frameSheet(active, normalState));
    // Setting an effect deletes the previous one.
    if (normalState) {
        const QColor shadow = active ? QColor(Qt::white) : palette().color(QPalette::Shadow);
        ui->windowFrame->setGraphicsEffect(newDropShadow(9, shadow));
    } else {
        ui->windowFrame->setGraphicsEffect(nullptr);
    }
}

bool UxFramelessWindow::isNormalState() const
{
    return (windowState() & ~Qt::WindowActive) == Qt::WindowNoState;
}

void UxFramelessWindow::showStateButtons(bool maximized)
{
    ui->restoreButton->setVisible(maximized);
    ui->maximizeButton->setVisible(!maximized);
}

void UxFramelessWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::WindowStateChange) {
        if (isNormalState()) {
            showStateButtons(false);
            applyWindowStyle(true, true);
        } else if ((windowState() & ~Qt::WindowActive) == Qt::WindowMaximized) {
            showStateButtons(true);
            applyWindowStyle(true, false);
        }
    }
    event->accept();
}

void UxFramelessWindow::on_applicationStateChanged(Qt::ApplicationState state)
{
    const bool active = state == Qt::ApplicationActive;
    if (isNormalState())
        applyWindowStyle(active, true);
    else if (windowState() & Qt::WindowFullScreen)
        applyWindowStyle(active, false);
}

void UxFramelessWindow::on_minimizeButton_clicked()
{
    showMinimized();
}

void UxFramelessWindow::on_restoreButton_clicked()
{
    showStateButtons(false);
    showNormal();
}

void UxFramelessWindow::on_maximizeButton_clicked()
{
    showStateButtons(true);
    showMaximized();
    applyWindowStyle(true, false);
}

void UxFramelessWindow::on_closeButton_clicked()
{
    if (!beforeClosing || beforeClosing())
        close();
}

void UxFramelessWindow::on_windowTitlebar_doubleClicked()
{
    if (isMinimized())
        return;
    if (isNormalState())
        on_maximizeButton_clicked();
    else
        on_restoreButton_clicked();
}

void UxFramelessWindow::on_otherButton_clicked() {}

bool UxFramelessWindow::eventFilter(QObject *watched, QEvent *event)
{
    // The window system also hands every mouse event to the QWindow first; one look is enough.
    if (isMaximized() || !watched->isWidgetType())
        return QWidget::eventFilter(watched, event);

    switch (event->type()) {
    case QEvent::MouseMove:
        handleBorderDrag(static_cast<QMouseEvent *>(event));
        break;
    case QEvent::MouseButtonPress: {
        // Presses on the frame, title bar or content reach this window only by propagation;
        // only its own transparent margin starts a resize.
        auto *press = static_cast<QMouseEvent *>(event);
        if (watched == this && !childAt(press->pos()))
            startBorderDrag(press->globalPos());
        break;
    }
    case QEvent::MouseButtonRelease:
        if (mousePressed)
            finishBorderDrag();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void UxFramelessWindow::startBorderDrag(const QPoint &globalPos)
{
    mousePressed = true;
    startGeometry = geometry();
    dragEdges = FramelessGeometry::zoneAt(startGeometry, globalPos);
    if (dragEdges)
        setCursor(FramelessGeometry::cursorFor(dragEdges));
}

void UxFramelessWindow::handleBorderDrag(QMouseEvent *event)
{
    if (!mousePressed) {
        const Qt::Edges hovered = FramelessGeometry::zoneAt(geometry(), event->globalPos());
        if (!hovered)
            dragEdges = {};
        setCursor(FramelessGeometry::cursorFor(hovered));
        return;
    }
    const auto target =
        FramelessGeometry::resized(dragEdges, startGeometry, event->globalPos(), desktopSize());
    if (target)
        setGeometry(*target);
}

void UxFramelessWindow::finishBorderDrag()
{
    mousePressed = false;
    if (dragEdges)
        setCursor(Qt::ArrowCursor);
    dragEdges = {};
}
