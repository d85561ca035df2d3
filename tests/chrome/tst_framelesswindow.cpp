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

// How the window is drawn in one of its states.
struct Look
{
    QString titleBar;
    QString frame;
    int margin;
    QColor shadow; // invalid: no shadow
};

Look look(int radius, const char *titleBackground, const char *frameBorder, int margin,
          const QColor &shadow)
{
    return {QStringLiteral("#windowTitlebar{border: 0px none palette(shadow); "
                           "border-top-left-radius:%1px; border-top-right-radius:%1px; "
                           "background-color:palette(%2); height:50px;}")
                .arg(radius)
                .arg(titleBackground),
            QStringLiteral("#windowFrame{border:1px solid %1; border-radius:%2px %2px %2px %2px; "
                           "background-color:palette(Window);}")
                .arg(frameBorder)
                .arg(radius),
            margin, shadow};
}

const Look maximised = look(0, "shadow", "palette(dark)", 0, QColor());
const Look activeNormal = look(7, "shadow", "palette(highlight)", 13, Qt::white);
const Look inactiveNormal = look(7, "dark", "#000000", 13, QColor(20, 20, 20));

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
#ifdef VKS_HAS_RESOURCES
        initVksResources();
#endif
        darkStyle = new UxDarkStyle;
        QApplication::setStyle(darkStyle);
    }
    void init()
    {
        window = std::make_unique<UxFramelessWindow>();
        window->showMaximized();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }
    void cleanup()
    {
        window.reset();
    }

    void paletteIsDark_data()
    {
        QTest::addColumn<QPalette::ColorGroup>("group");
        QTest::addColumn<QPalette::ColorRole>("role");
        QTest::addColumn<QColor>("colour");

        for (QPalette::ColorRole role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText,
                                         QPalette::HighlightedText})
            QTest::addRow("disabled role %d", role)
                << QPalette::Disabled << role << QColor(127, 127, 127);
        QTest::newRow("disabled highlight")
            << QPalette::Disabled << QPalette::Highlight << QColor(80, 80, 80);
        QTest::newRow("highlight") << QPalette::Active << QPalette::Highlight << QColor("#6d7474");
        QTest::newRow("inactive highlight")
            << QPalette::Inactive << QPalette::Highlight << QColor("#6d7474");
        QTest::newRow("text") << QPalette::Active << QPalette::Text << QColor(Qt::white);
        QTest::newRow("window") << QPalette::Active << QPalette::Window << QColor(53, 53, 53);
        QTest::newRow("shadow") << QPalette::Inactive << QPalette::Shadow << QColor(20, 20, 20);
    }
    void paletteIsDark()
    {
        QFETCH(QPalette::ColorGroup, group);
        QFETCH(QPalette::ColorRole, role);
        QTEST(QApplication::palette().color(group, role), "colour");
    }

    void styleSheetIsInstalledAndParses()
    {
        QFile file(QStringLiteral(DARKSTYLE_QSS_PATH));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(std::all_of(bytes.cbegin(), bytes.cend(), [](char c) { return c > 0; }));
        const QString sheet = QString::fromLatin1(bytes);

        // It names exactly the pictures the resources draw.
        QStringList expectedUrls;
        for (const char *kind : {"checkbox_checked", "checkbox_unchecked", "checkbox_indeterminate",
                                 "radiobutton_checked", "radiobutton_unchecked"})
            for (const char *variant : {"", "_pressed", "_disabled"})
                expectedUrls << QStringLiteral(":/darkstyle/icon_%1%2.png").arg(kind, variant);
        for (const char *image : {"vline", "branch_more", "branch_end", "branch_closed",
                                  "branch_open", "close", "restore"})
            expectedUrls << QStringLiteral(":/darkstyle/icon_%1.png").arg(image);
        QStringList urls;
        const QRegularExpression url(QStringLiteral("url\\(([^)]*)\\)"));
        for (auto it = url.globalMatch(sheet); it.hasNext();)
            urls << it.next().captured(1);
        urls.removeDuplicates();
        urls.sort();
        expectedUrls.sort();
        QCOMPARE(urls, expectedUrls);

        parseWarnings.clear();
        const QtMessageHandler previous = qInstallMessageHandler(collectParseWarnings);
        QWidget probe;
        probe.setStyleSheet(sheet);
        probe.ensurePolished();
        qInstallMessageHandler(previous);
        QCOMPARE(parseWarnings, QStringList());

        // Installed by the style when the resource is there; nothing otherwise.
        const bool embedded = QFile::exists(QStringLiteral(":/darkstyle/darkstyle.qss"));
        QCOMPARE(qApp->styleSheet(), embedded ? sheet : QString());
    }

    void destroyingAnotherDarkStyleKeepsTheAppStyle()
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
        const bool isMaximised = expected.margin == 0;
        QCOMPARE(window->isMaximized(), isMaximised);
        QCOMPARE(part("restoreButton")->isVisible(), isMaximised);
        QCOMPARE(part("maximizeButton")->isVisible(), !isMaximised);
        QVERIFY(!part("otherButton")->isVisible());
        QCOMPARE(part<QLabel>("titleText")->text(), QStringLiteral("VKS20"));

        QCOMPARE(part("windowTitlebar")->styleSheet(), expected.titleBar);
        QCOMPARE(part("windowFrame")->styleSheet(), expected.frame);
        const int m = expected.margin;
        QCOMPARE(window->layout()->contentsMargins(), QMargins(m, m, m, m));
        auto *effect =
            qobject_cast<QGraphicsDropShadowEffect *>(part("windowFrame")->graphicsEffect());
        QCOMPARE(effect != nullptr, expected.shadow.isValid());
        if (effect) {
            QCOMPARE(effect->color(), expected.shadow);
            QCOMPARE(effect->blurRadius(), 9.0);
            QCOMPARE(effect->offset(), QPointF(0, 0));
        }
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

    void closeButtonAsksFirst_data()
    {
        QTest::addColumn<bool>("answer");
        QTest::newRow("refused") << false;
        QTest::newRow("confirmed") << true;
    }
    void closeButtonAsksFirst()
    {
        QFETCH(bool, answer);
        int asked = 0;
        window->setBeforeClosingFunc([&] { return ++asked, answer; });
        QTest::mouseClick(part<QToolButton>("closeButton"), Qt::LeftButton);
        QCOMPARE(asked, 1);
        QCOMPARE(window->isVisible(), !answer);
    }
};

QTEST_MAIN(TestFramelessWindow)
#include "tst_framelesswindow.moc"
