#include "chrome/uxdarkstyle.h"
#include "chrome/uxframelesswindow.h"

#include <QGraphicsDropShadowEffect>
#include <QLayout>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

#include "vksresources.h"

#include <memory>

namespace {

// How the window is drawn in one of its states; no shadow means no margin either.
struct Look
{
    int radius;
    const char *titleBackground;
    const char *frameBorder;
    QColor shadow; // invalid: no shadow
};

const Look maximised{0, "palette(shadow)", "palette(dark)", QColor()};
const Look activeNormal{7, "palette(shadow)", "palette(highlight)", Qt::white};
const Look inactiveNormal{7, "palette(dark)", "#000000", QColor(20, 20, 20)};

QStringList parseWarnings;
void collectParseWarnings(QtMsgType, const QMessageLogContext &, const QString &message)
{
    if (message.contains(QStringLiteral("parse")))
        parseWarnings << message;
}

} // namespace

Q_DECLARE_METATYPE(Look)

class TestFramelessWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<UxFramelessWindow> window;
    UxDarkStyle *darkStyle = nullptr;

    template <typename T = QWidget> T *part(const char *name) const
    {
        return window->findChild<T *>(QLatin1String(name));
    }
    void sendMouse(QWidget *target, QEvent::Type type, const QPoint &global,
                   Qt::MouseButtons buttons)
    {
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, target->mapFromGlobal(global), global, button, buttons,
                          Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    }

private slots:
    void initTestCase()
    {
        initVksResources();
        darkStyle = new UxDarkStyle;
        QApplication::setStyle(darkStyle);
    }
    void init()
    {
        window = std::make_unique<UxFramelessWindow>();
        window->showMaximized();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }
    void cleanup() { window.reset(); }

    // The style sheet is read as Latin-1 and must parse; every picture it names must exist.
    void styleSheetIsInstalledAndParses()
    {
        QFile file(QStringLiteral(DARKSTYLE_QSS_PATH));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(std::all_of(bytes.cbegin(), bytes.cend(), [](char c) { return c > 0; }));
        const QString sheet = QString::fromLatin1(bytes);
        // Installed by the style when the resource is there; nothing otherwise.
        const bool embedded = QFile::exists(QStringLiteral(":/darkstyle/darkstyle.qss"));
        QCOMPARE(qApp->styleSheet(), embedded ? sheet : QString());

        const QRegularExpression url(QStringLiteral("url\\(([^)]*)\\)"));
        int urls = 0;
        for (auto it = url.globalMatch(sheet); it.hasNext(); ++urls) {
            const QString path = it.next().captured(1);
            QVERIFY2(!embedded || QFile::exists(path), qPrintable(path));
        }
        QVERIFY(urls > 0);

        parseWarnings.clear();
        const QtMessageHandler previous = qInstallMessageHandler(collectParseWarnings);
        QWidget probe;
        probe.setStyleSheet(sheet);
        probe.ensurePolished();
        qInstallMessageHandler(previous);
        QCOMPARE(parseWarnings, QStringList());
    }

    // A dialog's own dark style going away must leave the application's style and palette whole.
    void destroyingAnotherDarkStyleKeepsTheAppStyle()
    {
        const QPointer<QStyle> base = darkStyle->baseStyle();
        {
            UxDarkStyle other;
            QCOMPARE(other.baseStyle(), base.data());
        }
        QVERIFY(base);
        QCOMPARE(darkStyle->baseStyle(), base.data());
        QCOMPARE(base->proxy(), darkStyle->proxy());
        QPushButton button(QStringLiteral("probe"));
        button.resize(80, 30);
        QVERIFY(!button.grab().isNull());
        const QPalette palette = QApplication::palette();
        QCOMPARE(palette.color(QPalette::Window), QColor(53, 53, 53));
        QCOMPARE(palette.color(QPalette::Disabled, QPalette::Text), QColor(127, 127, 127));
        QCOMPARE(palette.color(QPalette::Disabled, QPalette::Highlight), QColor(80, 80, 80));
        QCOMPARE(palette.color(QPalette::Inactive, QPalette::Highlight), QColor("#6d7474"));
    }

    void stateAndFocusRestyle_data()
    {
        // d: double-click the title bar, r: the restore button, a/i: the application turns
        // active/inactive. The window starts maximised.
        QTest::addColumn<QString>("actions");
        QTest::addColumn<Look>("expected");
        QTest::newRow("starts maximised") << "" << maximised;
        QTest::newRow("double click restores") << "d" << activeNormal;
        QTest::newRow("double click again maximises") << "dd" << maximised;
        QTest::newRow("normal, inactive") << "ri" << inactiveNormal;
        QTest::newRow("normal, active again") << "ria" << activeNormal;
        QTest::newRow("maximised keeps the active style") << "i" << maximised;
    }
    void stateAndFocusRestyle()
    {
        QFETCH(QString, actions);
        QFETCH(Look, expected);

        for (const QChar action : actions) {
            if (action == QLatin1Char('d'))
                QTest::mouseDClick(part("windowTitlebar"), Qt::LeftButton);
            else if (action == QLatin1Char('r'))
                QTest::mouseClick(part<QToolButton>("restoreButton"), Qt::LeftButton);
            else
                emit qApp->applicationStateChanged(
                    action == QLatin1Char('a') ? Qt::ApplicationActive : Qt::ApplicationInactive);
        }
        const bool isMaximised = !expected.shadow.isValid();
        QCOMPARE(window->isMaximized(), isMaximised);
        QCOMPARE(part("restoreButton")->isVisible(), isMaximised);
        QCOMPARE(part("maximizeButton")->isVisible(), !isMaximised);
        QVERIFY(!part("otherButton")->isVisible());

        const QString title = part("windowTitlebar")->styleSheet();
        const QString frame = part("windowFrame")->styleSheet();
        QVERIFY2(title.contains(QStringLiteral("radius:%1px; background-color:%2;")
                                    .arg(expected.radius)
                                    .arg(expected.titleBackground)),
                 qPrintable(title));
        QVERIFY2(frame.contains(QStringLiteral("solid %1; border-radius:%2px %2px %2px %2px;")
                                    .arg(expected.frameBorder)
                                    .arg(expected.radius)),
                 qPrintable(frame));
        const int m = isMaximised ? 0 : 13;
        QCOMPARE(window->layout()->contentsMargins(), QMargins(m, m, m, m));
        auto *effect =
            qobject_cast<QGraphicsDropShadowEffect *>(part("windowFrame")->graphicsEffect());
        QCOMPARE(effect ? effect->color() : QColor(), expected.shadow);
    }

    void pressAndDragMovesOrResizes_data()
    {
        QTest::addColumn<QString>("pressOn");
        QTest::addColumn<QPoint>("pressAt");
        QTest::addColumn<QPoint>("drag");
        QTest::addColumn<QRect>("expected");

        // The window is at (50, 50) with size 1200 x 700; presses are in window coordinates.
        // The title bar spans x 14..1185 and y 14..63; only its middle 60 % moves the window.
        const QRect unchanged(50, 50, 1200, 700);
        QTest::newRow("title bar's left end")
            << "windowTitlebar" << QPoint(100, 39) << QPoint(40, 30) << unchanged;
        QTest::newRow("title bar's right end")
            << "windowTitlebar" << QPoint(1100, 39) << QPoint(40, 30) << unchanged;
        QTest::newRow("title bar's middle")
            << "windowTitlebar" << QPoint(600, 39) << QPoint(40, 30) << QRect(90, 80, 1200, 700);
        QTest::newRow("bottom-right corner changes only the width")
            << "window" << QPoint(1195, 695) << QPoint(150, 40) << QRect(50, 50, 1345, 700);
        QTest::newRow("right edge not below 1000 px")
            << "window" << QPoint(1195, 300) << QPoint(-400, 0) << QRect(50, 50, 1000, 700);
        QTest::newRow("bottom edge")
            << "window" << QPoint(600, 695) << QPoint(0, 60) << QRect(50, 50, 1200, 755);
        QTest::newRow("inside the content near the edge")
            << "windowContent" << QPoint(15, 300) << QPoint(-30, 0) << unchanged;
        QTest::newRow("on the frame border")
            << "windowFrame" << QPoint(13, 300) << QPoint(-30, 0) << unchanged;
    }
    void pressAndDragMovesOrResizes()
    {
        QFETCH(QString, pressOn);
        QFETCH(QPoint, pressAt);
        QFETCH(QPoint, drag);

        QTest::mouseClick(part<QToolButton>("restoreButton"), Qt::LeftButton);
        window->setGeometry(50, 50, 1200, 700);
        QWidget *target =
            pressOn == QLatin1String("window") ? window.get() : part(qPrintable(pressOn));
        QVERIFY(target == window.get()
                    ? !window->childAt(pressAt)
                    : target->rect().contains(target->mapFrom(window.get(), pressAt)));
        const QPoint press = window->mapToGlobal(pressAt);
        sendMouse(target, QEvent::MouseButtonPress, press, Qt::LeftButton);
        sendMouse(target, QEvent::MouseMove, press + drag, Qt::LeftButton);
        sendMouse(target, QEvent::MouseButtonRelease, press + drag, Qt::NoButton);
        QTEST(window->geometry(), "expected");
    }

    void closeButtonAsksFirst()
    {
        bool answer = false;
        int asked = 0;
        window->setBeforeClosingFunc([&] { return ++asked, answer; });
        QTest::mouseClick(part<QToolButton>("closeButton"), Qt::LeftButton);
        QCOMPARE(asked, 1);
        QVERIFY(window->isVisible());
        answer = true;
        QTest::mouseClick(part<QToolButton>("closeButton"), Qt::LeftButton);
        QCOMPARE(asked, 2);
        QVERIFY(!window->isVisible());
    }
};

QTEST_MAIN(TestFramelessWindow)
#include "tst_framelesswindow.moc"
