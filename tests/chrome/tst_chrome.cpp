#include "chrome/dialoginfo.h"
#include "chrome/exitconfirmation.h"
#include "chrome/framelessgeometry.h"
#include "chrome/uxdarkstyle.h"
#include "chrome/uxframelesswindow.h"

#include <log4qt/properties.h>
#include <log4qt/propertyconfigurator.h>

#include <QDialogButtonBox>
#include <QGraphicsDropShadowEffect>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QToolButton>
#include <QTranslator>
#include <QtTest>

#include "vksresources.h"

#include <functional>
#include <memory>

using namespace FramelessGeometry;
using Answer = std::function<void(DialogInfo *)>;

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

// The window to resize: left 100, right 1300, top 200, bottom 1000.
const QRect shown(100, 200, 1200, 800);
const QSize desktop(1920, 1080);
// Edges, one letter each.
const Qt::Edges none, T(Qt::TopEdge), L(Qt::LeftEdge), R(Qt::RightEdge), B(Qt::BottomEdge);
const std::optional<QRect> unchanged;

std::optional<QRect> rect(int x, int y, int w, int h)
{
    return QRect(x, y, w, h);
}

Answer clicking(QDialogButtonBox::StandardButton which)
{
    return [which](DialogInfo *dialog) {
        QTest::mouseClick(dialog->findChild<QDialogButtonBox *>()->button(which), Qt::LeftButton);
    };
}

} // namespace

Q_DECLARE_METATYPE(Look)
Q_DECLARE_METATYPE(Qt::Edges)
Q_DECLARE_METATYPE(Qt::CursorShape)
Q_DECLARE_METATYPE(std::optional<QRect>)
Q_DECLARE_METATYPE(Answer)

// The framed window, its geometry and style, and the prompt dialog. The dialog's answers are
// reached through confirmExit(), which is DialogInfo::exec() between its two log lines.
class TestChrome : public QObject
{
    Q_OBJECT

    std::unique_ptr<UxFramelessWindow> window;
    UxDarkStyle *darkStyle = nullptr;
    QTranslator english;
    QTemporaryDir logDir;

    QWidget *part(const char *name) const { return window->findChild<QWidget *>(name); }
    void sendMouse(QWidget *target, QEvent::Type type, const QPoint &global,
                   Qt::MouseButtons buttons)
    {
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, target->mapFromGlobal(global), global, button, buttons,
                          Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    }

    QStringList logLines() const
    {
        QFile file(logDir.filePath(QStringLiteral("chrome.log")));
        file.open(QIODevice::ReadOnly | QIODevice::Text);
        return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    }

private slots:
    void initTestCase()
    {
        initVksResources();
        darkStyle = new UxDarkStyle;
        QApplication::setStyle(darkStyle);
        QVERIFY(english.load(QStringLiteral(":/lang/resource/Tervane_en.qm")));
        QCoreApplication::installTranslator(&english);

        Log4Qt::Properties log;
        const QString file = "log4j.appender.file";
        log.setProperty("log4j.logger.RollingFile", "INFO, file");
        log.setProperty(file, "org.apache.log4j.FileAppender");
        log.setProperty(file + ".File", logDir.filePath(QStringLiteral("chrome.log")));
        log.setProperty(file + ".layout", "org.apache.log4j.PatternLayout");
        log.setProperty(file + ".layout.ConversionPattern", "%m%n");
        QVERIFY(Log4Qt::PropertyConfigurator::configure(log));
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
        // Where each edge takes the window is resized()'s, below.
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

    void zoneAndCursor_data()
    {
        QTest::addColumn<QPoint>("global");
        QTest::addColumn<Qt::Edges>("zone");
        QTest::addColumn<Qt::CursorShape>("cursor");

        QTest::newRow("top-left outer limit") << QPoint(85, 185) << (T | L) << Qt::SizeFDiagCursor;
        QTest::newRow("top-right") << QPoint(1300, 200) << (T | R) << Qt::SizeBDiagCursor;
        QTest::newRow("bottom-left") << QPoint(100, 1000) << (B | L) << Qt::SizeBDiagCursor;
        QTest::newRow("top") << QPoint(600, 200) << T << Qt::SizeVerCursor;
        QTest::newRow("left") << QPoint(100, 600) << L << Qt::SizeHorCursor;
        QTest::newRow("right") << QPoint(1300, 600) << R << Qt::SizeHorCursor;
        QTest::newRow("bottom") << QPoint(600, 1000) << B << Qt::SizeVerCursor;
        QTest::newRow("bottom-right: right edge") << QPoint(1310, 1010) << R << Qt::SizeHorCursor;
        QTest::newRow("16 px above the top") << QPoint(600, 184) << none << Qt::ArrowCursor;
        QTest::newRow("inside") << QPoint(600, 600) << none << Qt::ArrowCursor;
    }
    void zoneAndCursor()
    {
        QFETCH(QPoint, global);
        const Qt::Edges found = zoneAt(shown, global, borderWidth);
        QTEST(found, "zone");
        QTEST(cursorFor(found), "cursor");
    }

    void resized_data()
    {
        QTest::addColumn<Qt::Edges>("edges");
        QTest::addColumn<QPoint>("global");
        QTest::addColumn<std::optional<QRect>>("expected");

        QTest::newRow("top-right") << (T | R) << QPoint(1500, 150) << rect(100, 150, 1400, 850);
        QTest::newRow("top-right, 1000 wide")
            << (T | R) << QPoint(500, 150) << rect(100, 150, 1000, 850);
        QTest::newRow("top-right at left edge") << (T | R) << QPoint(100, 150) << unchanged;
        QTest::newRow("top-right gy 0") << (T | R) << QPoint(1500, 0) << unchanged;
        QTest::newRow("top-left") << (T | L) << QPoint(50, 100) << rect(50, 100, 1250, 900);
        QTest::newRow("top-left gx 0") << (T | L) << QPoint(0, 100) << unchanged;
        QTest::newRow("top-left gy 0") << (T | L) << QPoint(50, 0) << unchanged;
        QTest::newRow("bottom-left") << (B | L) << QPoint(50, 1100) << rect(50, 200, 1250, 900);
        QTest::newRow("bottom-left at top edge") << (B | L) << QPoint(50, 200) << unchanged;
        QTest::newRow("bottom-left gx 0") << (B | L) << QPoint(0, 1100) << unchanged;
        QTest::newRow("top") << T << QPoint(700, 150) << rect(100, 150, 1200, 850);
        QTest::newRow("top gy 1") << T << QPoint(700, 1) << rect(100, 1, 1200, 999);
        QTest::newRow("top gy 0") << T << QPoint(700, 0) << unchanged;
        QTest::newRow("top 50 px above desktop bottom") << T << QPoint(700, 1030) << unchanged;
        QTest::newRow("left") << L << QPoint(50, 700) << rect(50, 200, 1250, 800);
        QTest::newRow("left gx 1") << L << QPoint(1, 700) << rect(1, 200, 1299, 800);
        QTest::newRow("left gx 0") << L << QPoint(0, 700) << unchanged;
        QTest::newRow("left 50 px before desktop right") << L << QPoint(1870, 700) << unchanged;
        QTest::newRow("right") << R << QPoint(1500, 700) << rect(100, 200, 1400, 800);
        QTest::newRow("right, 1000 wide") << R << QPoint(101, 700) << rect(100, 200, 1000, 800);
        QTest::newRow("right at left edge") << R << QPoint(100, 700) << unchanged;
        QTest::newRow("bottom") << B << QPoint(700, 1100) << rect(100, 200, 1200, 900);
        QTest::newRow("bottom one below top") << B << QPoint(700, 201) << rect(100, 200, 1200, 1);
        QTest::newRow("bottom at top edge") << B << QPoint(700, 200) << unchanged;
        QTest::newRow("no edge") << none << QPoint(700, 700) << unchanged;
    }
    void resized()
    {
        QFETCH(Qt::Edges, edges);
        QFETCH(QPoint, global);
        QTEST(FramelessGeometry::resized(edges, shown, global, desktop), "expected");
    }

    void dragZone_data()
    {
        QTest::addColumn<QRect>("titleBar");
        QTest::addColumn<QRect>("zone");
        QTest::newRow("1000 wide") << QRect(0, 0, 1000, 50) << QRect(200, 3, 600, 44);
        QTest::newRow("20 % truncated") << QRect(0, 0, 14, 50) << QRect(2, 3, 10, 44);
    }
    void dragZone()
    {
        QFETCH(QRect, titleBar);
        QTEST(FramelessGeometry::dragZone(titleBar), "zone");
    }

    void onlyOkConfirmsAndTheQuestionIsLogged_data()
    {
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<bool>("confirmed");
        QTest::newRow("OK") << clicking(QDialogButtonBox::Ok) << true;
        QTest::newRow("NO") << clicking(QDialogButtonBox::No) << false;
        QTest::newRow("close button") << Answer([](DialogInfo *d) {
            QTest::mouseClick(d->findChild<QToolButton *>("closeButton"), Qt::LeftButton);
        }) << false;
        QTest::newRow("Escape") << Answer([](DialogInfo *d) { QTest::keyClick(d, Qt::Key_Escape); })
                                << false;
    }
    // The answer comes once the dialog's exec() loop runs; the frameless box asks in English.
    void onlyOkConfirmsAndTheQuestionIsLogged()
    {
        QFETCH(Answer, answer);
        const int before = logLines().size();
        QStringList linesWhileAsking, shown;
        bool frameless = false;
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<DialogInfo *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            const auto *buttons = dialog->findChild<QDialogButtonBox *>("buttonBox");
            shown =
                QStringList{dialog->windowTitle(), dialog->findChild<QLabel *>("labelInfo")->text(),
                            buttons->button(QDialogButtonBox::Ok)->text(),
                            buttons->button(QDialogButtonBox::No)->text()};
            frameless = dialog->windowFlags().testFlag(Qt::FramelessWindowHint);
            linesWhileAsking = logLines().mid(before);
            answer(dialog);
        });
        QTEST(confirmExit(), "confirmed");
        QCOMPARE(shown, (QStringList{"Prompt Dialog", "Do you want to exit app?", "OK", "NO"}));
        QVERIFY(frameless);
        QCOMPARE(linesWhileAsking, QStringList{"the widow is closing..."});
        QCOMPARE(logLines().mid(before),
                 (QStringList{"the widow is closing...", "the widow is closed..."}));
        DialogInfo other;
        other.setInfoText(QStringLiteral("Setting position limit exceeded!"));
        QCOMPARE(other.findChild<QLabel *>("labelInfo")->text(),
                 "Setting position limit exceeded!");
    }
};

QTEST_MAIN(TestChrome)
#include "tst_chrome.moc"
