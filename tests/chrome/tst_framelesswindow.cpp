#include "chrome/uxdarkstyle.h"
#include "chrome/uxframelesswindow.h"

#include <QGraphicsDropShadowEffect>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

#ifdef VKS_HAS_RESOURCES
#include "vksresources.h"
#endif

#include <memory>

namespace {

const QString activeMaximisedTitleBar =
    "#windowTitlebar{border: 0px none palette(shadow); border-top-left-radius:0px; "
    "border-top-right-radius:0px; background-color:palette(shadow); height:50px;}";
const QString activeMaximisedFrame =
    "#windowFrame{border:1px solid palette(dark); "
    "border-radius:0px 0px 0px 0px; background-color:palette(Window);}";
const QString activeNormalTitleBar =
    "#windowTitlebar{border: 0px none palette(shadow); border-top-left-radius:7px; "
    "border-top-right-radius:7px; background-color:palette(shadow); height:50px;}";
const QString activeNormalFrame =
    "#windowFrame{border:1px solid palette(highlight); "
    "border-radius:7px 7px 7px 7px; background-color:palette(Window);}";
const QString inactiveNormalTitleBar =
    "#windowTitlebar{border: 0px none palette(shadow); border-top-left-radius:7px; "
    "border-top-right-radius:7px; background-color:palette(dark); height:50px;}";
const QString inactiveNormalFrame =
    "#windowFrame{border:1px solid #000000; "
    "border-radius:7px 7px 7px 7px; background-color:palette(Window);}";

QStringList sheetUrls(const QString &sheet)
{
    QStringList urls;
    const QRegularExpression url(QStringLiteral("url\\(([^)]*)\\)"));
    for (auto it = url.globalMatch(sheet); it.hasNext();)
        urls << it.next().captured(1);
    return urls;
}

QStringList parseWarnings;
void collectParseWarnings(QtMsgType, const QMessageLogContext &, const QString &message)
{
    if (message.contains(QStringLiteral("parse")))
        parseWarnings << message;
}

} // namespace

class TestFramelessWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void paletteIsDark_data();
    void paletteIsDark();
    void styleSheetIsInstalledAndParses();
    void destroyingAnotherDarkStyleKeepsTheAppStyle();

    void startsMaximised();
    void titleBarDoubleClickToggles();
    void applicationFocusRestyles_data();
    void applicationFocusRestyles();
    void titleBarMovesWindowOnlyFromItsMiddle_data();
    void titleBarMovesWindowOnlyFromItsMiddle();
    void marginDragResizes_data();
    void marginDragResizes();
    void closeButtonAsksFirst_data();
    void closeButtonAsksFirst();

private:
    template <typename T = QWidget> T *part(const char *name) const
    {
        return window->findChild<T *>(QLatin1String(name));
    }
    void restore();
    void checkStyle(const QString &titleBar, const QString &frame, int margin,
                    const QColor &shadow) const;
    void sendMouse(QWidget *target, QEvent::Type type, const QPoint &global,
                   Qt::MouseButtons buttons);

    std::unique_ptr<UxFramelessWindow> window;
    UxDarkStyle *darkStyle = nullptr;
};

void TestFramelessWindow::initTestCase()
{
#ifdef VKS_HAS_RESOURCES
    initVksResources();
#endif
    darkStyle = new UxDarkStyle;
    QApplication::setStyle(darkStyle);
}

void TestFramelessWindow::init()
{
    window = std::make_unique<UxFramelessWindow>();
    window->showMaximized();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
}

void TestFramelessWindow::cleanup()
{
    window.reset();
}

void TestFramelessWindow::restore()
{
    QTest::mouseClick(part<QToolButton>("restoreButton"), Qt::LeftButton);
    QVERIFY(!window->isMaximized());
}

void TestFramelessWindow::checkStyle(const QString &titleBar, const QString &frame, int margin,
                                     const QColor &shadow) const
{
    QCOMPARE(part("windowTitlebar")->styleSheet(), titleBar);
    QCOMPARE(part("windowFrame")->styleSheet(), frame);
    QCOMPARE(window->layout()->contentsMargins(), QMargins(margin, margin, margin, margin));
    auto *effect = qobject_cast<QGraphicsDropShadowEffect *>(part("windowFrame")->graphicsEffect());
    QCOMPARE(effect != nullptr, shadow.isValid());
    if (effect) {
        QCOMPARE(effect->color(), shadow);
        QCOMPARE(effect->blurRadius(), 9.0);
        QCOMPARE(effect->offset(), QPointF(0, 0));
    }
}

void TestFramelessWindow::sendMouse(QWidget *target, QEvent::Type type, const QPoint &global,
                                    Qt::MouseButtons buttons)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, target->mapFromGlobal(global), global, button, buttons, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

void TestFramelessWindow::paletteIsDark_data()
{
    QTest::addColumn<QPalette::ColorGroup>("group");
    QTest::addColumn<QPalette::ColorRole>("role");
    QTest::addColumn<QColor>("colour");

    const QColor grey(127, 127, 127);
    QTest::newRow("disabled text") << QPalette::Disabled << QPalette::Text << grey;
    QTest::newRow("disabled window text") << QPalette::Disabled << QPalette::WindowText << grey;
    QTest::newRow("disabled button text") << QPalette::Disabled << QPalette::ButtonText << grey;
    QTest::newRow("disabled highlighted text")
        << QPalette::Disabled << QPalette::HighlightedText << grey;
    QTest::newRow("disabled highlight")
        << QPalette::Disabled << QPalette::Highlight << QColor(80, 80, 80);
    QTest::newRow("highlight") << QPalette::Active << QPalette::Highlight << QColor("#6d7474");
    QTest::newRow("inactive highlight")
        << QPalette::Inactive << QPalette::Highlight << QColor("#6d7474");
    QTest::newRow("text") << QPalette::Active << QPalette::Text << QColor(Qt::white);
    QTest::newRow("window") << QPalette::Active << QPalette::Window << QColor(53, 53, 53);
    QTest::newRow("shadow") << QPalette::Inactive << QPalette::Shadow << QColor(20, 20, 20);
}

void TestFramelessWindow::paletteIsDark()
{
    QFETCH(QPalette::ColorGroup, group);
    QFETCH(QPalette::ColorRole, role);
    QFETCH(QColor, colour);

    QCOMPARE(QApplication::palette().color(group, role), colour);
}

void TestFramelessWindow::styleSheetIsInstalledAndParses()
{
    QFile file(QStringLiteral(DARKSTYLE_QSS_PATH));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(std::all_of(bytes.cbegin(), bytes.cend(), [](char c) { return c > 0; }));
    const QString sheet = QString::fromLatin1(bytes);

    QStringList expectedUrls;
    for (const char *state : {"checked", "unchecked", "indeterminate"})
        for (const char *variant : {"", "_pressed", "_disabled"})
            expectedUrls
                << QStringLiteral(":/darkstyle/icon_checkbox_%1%2.png").arg(state, variant);
    for (const char *state : {"checked", "unchecked"})
        for (const char *variant : {"", "_pressed", "_disabled"})
            expectedUrls
                << QStringLiteral(":/darkstyle/icon_radiobutton_%1%2.png").arg(state, variant);
    for (const char *image :
         {"vline", "branch_more", "branch_end", "branch_closed", "branch_open", "close", "restore"})
        expectedUrls << QStringLiteral(":/darkstyle/icon_%1.png").arg(image);
    const QStringList urls = sheetUrls(sheet);
    for (const QString &url : urls)
        QVERIFY2(expectedUrls.contains(url), qPrintable(url));
    for (const QString &url : expectedUrls)
        QVERIFY2(urls.contains(url), qPrintable(url));

    parseWarnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(collectParseWarnings);
    QWidget probe;
    probe.setStyleSheet(sheet);
    probe.ensurePolished();
    qInstallMessageHandler(previous);
    QVERIFY2(parseWarnings.isEmpty(), qPrintable(parseWarnings.join('\n')));

    // Installed by the style when the resource is there; nothing otherwise.
    const bool embedded = QFile::exists(QStringLiteral(":/darkstyle/darkstyle.qss"));
    QCOMPARE(qApp->styleSheet(), embedded ? sheet : QString());
}

void TestFramelessWindow::destroyingAnotherDarkStyleKeepsTheAppStyle()
{
    const QPointer<QStyle> base = darkStyle->baseStyle();
    {
        UxDarkStyle other;
        QCOMPARE(other.baseStyle(), base.data());
        QPalette palette;
        other.polish(palette);
        QCOMPARE(palette.color(QPalette::Base), QColor(42, 42, 42));
    }
    QVERIFY(base);
    QCOMPARE(darkStyle->baseStyle(), base.data());
    QCOMPARE(base->proxy(), darkStyle->proxy());
    QPushButton button(QStringLiteral("probe"));
    button.resize(80, 30);
    QVERIFY(!button.grab().isNull());
}

void TestFramelessWindow::startsMaximised()
{
    QVERIFY(window->isMaximized());
    QVERIFY(part("restoreButton")->isVisible());
    QVERIFY(!part("maximizeButton")->isVisible());
    QVERIFY(!part("otherButton")->isVisible());
    QCOMPARE(part<QLabel>("titleText")->text(), QStringLiteral("VKS20"));
    checkStyle(activeMaximisedTitleBar, activeMaximisedFrame, 0, QColor());
}

void TestFramelessWindow::titleBarDoubleClickToggles()
{
    QWidget *titleBar = part("windowTitlebar");
    QTest::mouseDClick(titleBar, Qt::LeftButton);
    QVERIFY(!window->isMaximized());
    QVERIFY(!part("restoreButton")->isVisible());
    QVERIFY(part("maximizeButton")->isVisible());
    checkStyle(activeNormalTitleBar, activeNormalFrame, 13, Qt::white);

    QTest::mouseDClick(titleBar, Qt::LeftButton);
    QVERIFY(window->isMaximized());
    QVERIFY(part("restoreButton")->isVisible());
    checkStyle(activeMaximisedTitleBar, activeMaximisedFrame, 0, QColor());
}

void TestFramelessWindow::applicationFocusRestyles_data()
{
    QTest::addColumn<bool>("maximised");
    QTest::addColumn<Qt::ApplicationState>("state");
    QTest::addColumn<QString>("titleBar");
    QTest::addColumn<QString>("frame");
    QTest::addColumn<int>("margin");
    QTest::addColumn<QColor>("shadow");

    QTest::newRow("normal, active") << false << Qt::ApplicationActive << activeNormalTitleBar
                                    << activeNormalFrame << 13 << QColor(Qt::white);
    QTest::newRow("normal, inactive") << false << Qt::ApplicationInactive << inactiveNormalTitleBar
                                      << inactiveNormalFrame << 13 << QColor(20, 20, 20);
    QTest::newRow("maximised keeps the active style")
        << true << Qt::ApplicationInactive << activeMaximisedTitleBar << activeMaximisedFrame << 0
        << QColor();
}

void TestFramelessWindow::applicationFocusRestyles()
{
    QFETCH(bool, maximised);
    QFETCH(Qt::ApplicationState, state);
    QFETCH(QString, titleBar);
    QFETCH(QString, frame);
    QFETCH(int, margin);
    QFETCH(QColor, shadow);

    if (!maximised)
        restore();
    emit qApp->applicationStateChanged(state);
    checkStyle(titleBar, frame, margin, shadow);
}

void TestFramelessWindow::titleBarMovesWindowOnlyFromItsMiddle_data()
{
    QTest::addColumn<double>("pressAt");
    QTest::addColumn<bool>("moves");

    QTest::newRow("left end") << 0.1 << false;
    QTest::newRow("right end") << 0.9 << false;
    QTest::newRow("middle") << 0.5 << true;
}

void TestFramelessWindow::titleBarMovesWindowOnlyFromItsMiddle()
{
    QFETCH(double, pressAt);
    QFETCH(bool, moves);

    restore();
    window->setGeometry(50, 50, 1200, 700);
    QWidget *titleBar = part("windowTitlebar");
    const QPoint press =
        titleBar->mapToGlobal(QPoint(int(titleBar->width() * pressAt), titleBar->height() / 2));
    const QPoint start = window->pos();
    const QPoint offset(40, 30);

    sendMouse(titleBar, QEvent::MouseButtonPress, press, Qt::LeftButton);
    sendMouse(titleBar, QEvent::MouseMove, press + offset, Qt::LeftButton);
    sendMouse(titleBar, QEvent::MouseButtonRelease, press + offset, Qt::NoButton);
    QCOMPARE(window->pos(), moves ? start + offset : start);
}

void TestFramelessWindow::marginDragResizes_data()
{
    QTest::addColumn<QString>("pressOn");
    QTest::addColumn<QPoint>("pressAt");
    QTest::addColumn<QPoint>("drag");
    QTest::addColumn<QRect>("expected");

    // The window is at (50, 50) with size 1200 x 700; presses are in window coordinates.
    QTest::newRow("bottom-right corner changes only the width")
        << "window" << QPoint(1195, 695) << QPoint(150, 40) << QRect(50, 50, 1345, 700);
    QTest::newRow("right edge not below 1000 px")
        << "window" << QPoint(1195, 300) << QPoint(-400, 0) << QRect(50, 50, 1000, 700);
    QTest::newRow("bottom edge") << "window" << QPoint(600, 695) << QPoint(0, 60)
                                 << QRect(50, 50, 1200, 755);
    QTest::newRow("inside the content near the edge")
        << "windowContent" << QPoint(15, 300) << QPoint(-30, 0) << QRect(50, 50, 1200, 700);
    QTest::newRow("on the frame border")
        << "windowFrame" << QPoint(13, 300) << QPoint(-30, 0) << QRect(50, 50, 1200, 700);
}

void TestFramelessWindow::marginDragResizes()
{
    QFETCH(QString, pressOn);
    QFETCH(QPoint, pressAt);
    QFETCH(QPoint, drag);
    QFETCH(QRect, expected);

    restore();
    window->setGeometry(50, 50, 1200, 700);
    QWidget *target = pressOn == QLatin1String("window") ? window.get() : part(qPrintable(pressOn));
    const QPoint press = window->mapToGlobal(pressAt);
    QCOMPARE(window->childAt(pressAt) == nullptr, target == window.get());

    sendMouse(target, QEvent::MouseButtonPress, press, Qt::LeftButton);
    sendMouse(target, QEvent::MouseMove, press + drag, Qt::LeftButton);
    sendMouse(target, QEvent::MouseButtonRelease, press + drag, Qt::NoButton);
    QCOMPARE(window->geometry(), expected);
}

void TestFramelessWindow::closeButtonAsksFirst_data()
{
    QTest::addColumn<bool>("answer");
    QTest::newRow("refused") << false;
    QTest::newRow("confirmed") << true;
}

void TestFramelessWindow::closeButtonAsksFirst()
{
    QFETCH(bool, answer);

    int asked = 0;
    window->setBeforeClosingFunc([&] { return ++asked, answer; });
    QTest::mouseClick(part<QToolButton>("closeButton"), Qt::LeftButton);
    QCOMPARE(asked, 1);
    QCOMPARE(window->isVisible(), !answer);
}

QTEST_MAIN(TestFramelessWindow)
#include "tst_framelesswindow.moc"
