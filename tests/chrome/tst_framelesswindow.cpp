#include "chrome/uxdarkstyle.h"
#include "chrome/uxframelesswindow.h"

#include <QGraphicsDropShadowEffect>
#include <QLayout>
#include <QPushButton>
#include <QtTest>

#include "vksresources.h"

#include <memory>

namespace {

// How the window is drawn in one of its states: what its title bar's and frame's sheets hold,
// and the shadow (invalid: none, and no margin either).
struct Look
{
    const char *title;
    const char *frame;
    QColor shadow;
};

const Look maximised{"radius:0px; background-color:palette(shadow);",
                     "solid palette(dark); border-radius:0px 0px 0px 0px;", QColor()};
const Look activeNormal{"radius:7px; background-color:palette(shadow);",
                        "solid palette(highlight); border-radius:7px 7px 7px 7px;", Qt::white};
const Look inactiveNormal{"radius:7px; background-color:palette(dark);",
                          "solid #000000; border-radius:7px 7px 7px 7px;", QColor(20, 20, 20)};

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

    QWidget *part(const char *name) const { return window->findChild<QWidget *>(name); }
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

    // The style installs the sheet, which must be plain ASCII (it is read as Latin-1) and parse.
    // Its pictures must come from the resources, where the shipped files suite loads each one.
    void styleSheetIsInstalledAndParses()
    {
        QFile file(QStringLiteral(DARKSTYLE_QSS_PATH));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(std::all_of(bytes.cbegin(), bytes.cend(), [](char c) { return c > 0; }));
        const QString sheet = QString::fromLatin1(bytes);
        QCOMPARE(qApp->styleSheet(), sheet);
        QVERIFY(sheet.contains("url(:/") && !sheet.contains(QRegularExpression("url\\((?!:/)")));

        parseWarnings.clear();
        const QtMessageHandler previous = qInstallMessageHandler(collectParseWarnings);
        QWidget probe;
        probe.setStyleSheet(sheet);
        probe.ensurePolished();
        qInstallMessageHandler(previous);
        QCOMPARE(parseWarnings, QStringList());
    }

    // A dialog's own dark style going away must leave the application's style whole.
    void destroyingAnotherDarkStyleKeepsTheAppStyle()
    {
        const QPointer<QStyle> base = darkStyle->baseStyle();
        delete new UxDarkStyle;
        QVERIFY(base);
        QCOMPARE(darkStyle->baseStyle(), base.data());
        QCOMPARE(base->proxy(), darkStyle->proxy());
        QPushButton button(QStringLiteral("probe"));
        button.resize(80, 30);
        QVERIFY(!button.grab().isNull());
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
                QTest::mouseClick(part("restoreButton"), Qt::LeftButton);
            else
                emit qApp->applicationStateChanged(
                    action == QLatin1Char('a') ? Qt::ApplicationActive : Qt::ApplicationInactive);
        }
        const bool isMaximised = !expected.shadow.isValid();
        QCOMPARE(window->isMaximized(), isMaximised);
        QCOMPARE(part("restoreButton")->isVisible(), isMaximised);
        QCOMPARE(part("maximizeButton")->isVisible(), !isMaximised);
        QVERIFY(part("windowTitlebar")->styleSheet().contains(expected.title));
        QVERIFY(part("windowFrame")->styleSheet().contains(expected.frame));
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
        // Where each edge takes the window is the geometry suite's.
        const QRect unchanged(50, 50, 1200, 700);
        QTest::newRow("title bar's end")
            << "windowTitlebar" << QPoint(1100, 39) << QPoint(40, 30) << unchanged;
        QTest::newRow("title bar's middle")
            << "windowTitlebar" << QPoint(600, 39) << QPoint(40, 30) << QRect(90, 80, 1200, 700);
        QTest::newRow("bottom-right corner changes only the width")
            << "window" << QPoint(1195, 695) << QPoint(150, 40) << QRect(50, 50, 1345, 700);
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

        QTest::mouseClick(part("restoreButton"), Qt::LeftButton);
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
        QVector<bool> answers{false, true};
        window->setBeforeClosingFunc([&] { return answers.takeFirst(); });
        QTest::mouseClick(part("closeButton"), Qt::LeftButton);
        QVERIFY(window->isVisible());
        QTest::mouseClick(part("closeButton"), Qt::LeftButton);
        QVERIFY(!window->isVisible());
        QVERIFY(answers.isEmpty());
    }
};

QTEST_MAIN(TestFramelessWindow)
#include "tst_framelesswindow.moc"
