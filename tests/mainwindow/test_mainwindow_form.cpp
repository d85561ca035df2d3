// The main window as the operator first sees it, in English: where it starts, what the menu
// reaches, what refuses input, that nothing shows untranslated, and that every page fits a
// laptop's screen (in Chinese too).
#include "chrome/uxdarkstyle.h"
#include "chrome/uxframelesswindow.h"
#include "display/radarindicatorwidget.h"
#include "mainwindowsupport.h"
#include "vksresources.h"

#include <QAbstractItemView>
#include <QStackedWidget>
#include <QTabBar>
#include <QTranslator>

#include <algorithm>
#include <memory>

namespace {

// Every text a widget shows: its tooltip and text, its items, column headers and tabs.
QStringList shownTexts(QWidget *w)
{
    QStringList texts{w->toolTip(), w->property("text").toString()};
    const auto *combo = qobject_cast<QComboBox *>(w);
    const auto *view = qobject_cast<QAbstractItemView *>(w);
    if (const QAbstractItemModel *model = combo ? combo->model() : view ? view->model() : nullptr) {
        for (int row = 0; row < model->rowCount(); ++row)
            texts << model->index(row, 0).data().toString();
        for (int column = 0; column < model->columnCount(); ++column)
            texts << model->headerData(column, Qt::Horizontal).toString();
    }
    if (const auto *tabs = qobject_cast<QTabBar *>(w))
        for (int i = 0; i < tabs->count(); ++i)
            texts << tabs->tabText(i);
    return texts;
}

bool isControl(const QObject *w)
{
    static const char *const kinds[] = {
        "QAbstractButton", "QLabel",  "QComboBox", "QAbstractSpinBox",    "QLineEdit",
        "QProgressBar",    "QSlider", "QTabBar",   "QAbstractScrollArea", "RadarIndicatorWidget"};
    return std::any_of(std::begin(kinds), std::end(kinds),
                       [w](const char *kind) { return w->inherits(kind); });
}

// A label's text needs its width in the label's font, a button the size its style asks for it.
bool textFits(const QWidget *w)
{
    if (const auto *label = qobject_cast<const QLabel *>(w)) {
        return label->wordWrap() ? label->heightForWidth(label->width()) <= label->height()
                                 : label->fontMetrics().horizontalAdvance(label->text()) <=
                                       label->contentsRect().width();
    }
    if (const auto *list = qobject_cast<const QListView *>(w))
        return list->sizeHintForColumn(0) <= list->viewport()->width();
    return !w->inherits("QAbstractButton") || w->sizeHint().width() <= w->width();
}

// The visible controls of `root` (not the parts of one, such as a spin box's line edit) that
// leave it, lie on one another or cut their text off.
QStringList layoutFaults(QWidget *root)
{
    QWidgetList controls;
    for (QWidget *w : root->findChildren<QWidget *>()) {
        QWidget *up = w->parentWidget();
        while (up != root && !isControl(up))
            up = up->parentWidget();
        if (w->isVisible() && isControl(w) && up == root)
            controls << w;
    }
    const auto placed = [root](const QWidget *w) { return QRect(w->mapTo(root, {}), w->size()); };
    QStringList faults; // a control cut off, or two on one another
    for (int i = 0; i < controls.size(); ++i) {
        const QRect rect = placed(controls.at(i));
        if (!textFits(controls.at(i)) || !root->rect().contains(rect))
            faults << controls.at(i)->objectName();
        for (const QWidget *other : controls.mid(i + 1)) {
            if (rect.intersects(placed(other)))
                faults << controls.at(i)->objectName() + QLatin1Char('/') + other->objectName();
        }
    }
    return faults;
}

} // namespace

class TestMainWindowForm : public QObject
{
    Q_OBJECT
    QTranslator translator;
    std::unique_ptr<MainWindow> window;

    template <typename T> T *child(const char *name) { return widget<T>(window.get(), name); }

private slots:
    void initTestCase()
    {
        initVksResources();
        QVERIFY(translator.load(QStringLiteral(":/lang/resource/Tervane_en.qm")));
        QCoreApplication::installTranslator(&translator);
        window = std::make_unique<MainWindow>();
        window->resize(1410, 948);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }

    // Each row of the menu, clicked from the last up, shows its page; the first is shown at
    // start, with the English wiring picture. Row 0 of the groups ("Close") is no group: nothing
    // on the region page may edit or send one.
    void startsOnFirstPageWithNoGroup()
    {
        const QImage english(QStringLiteral(":/images/resource/wiring_diagram_en.png"));
        const QPixmap shown = child<QLabel>("labelWritingDiagram")->pixmap(Qt::ReturnByValue);
        QVERIFY(!english.isNull());
        QCOMPARE(shown.toImage().convertToFormat(english.format()), english);
        auto *groups = child<QListWidget>("listWidgetRgnGroupIndex");
        QCOMPARE(groups->currentRow(), 0);
        for (int row = 1; row < groups->count(); ++row)
            QVERIFY(!groups->item(row)->icon().isNull());
        for (const char *name :
             {"tabWidgetRgnIndex", "pushButtonOpenConfig", "pushButtonSaveConfig",
              "spinBoxAlarmPointNum", "pushButtonUpload", "pushButtonDownload"})
            QVERIFY2(!child<QWidget>(name)->isEnabled(), name);
        QVERIFY(!child<RadarIndicatorWidget>("radarIndicatorWidgetDrawRgn")->regionsVisible());
        QVERIFY(!child<RadarIndicatorWidget>("radarIndicatorWidget")->regionsVisible());

        auto *menu = child<QListWidget>("listWidgetMenu");
        auto *pages = child<QStackedWidget>("stackedWidget");
        QCOMPARE(child<QStackedWidget>("stackedWidgetConnMode")->currentIndex(), 0);
        QCOMPARE(menu->currentRow(), 0);
        QCOMPARE(menu->count(), pages->count());
        for (int row = menu->count() - 1; row >= 0; --row) {
            QVERIFY(!menu->item(row)->icon().isNull());
            const QRect rect = menu->visualItemRect(menu->item(row));
            QTest::mouseClick(menu->viewport(), Qt::LeftButton, {}, rect.center());
            QCOMPARE(pages->currentIndex(), row);
        }
        // Each address text is either acceptable as it stands or refused outright.
        const std::tuple<const char *, QString, QValidator::State> cases[] = {
            {"lineEditIP", child<QLineEdit>("lineEditIP")->text(), QValidator::Acceptable},
            {"lineEditIP", "127.000.000.001", QValidator::Acceptable},
            {"lineEditIP", "127.0.0.1000", QValidator::Invalid},
            {"lineEditIP", "256.1.1.1", QValidator::Invalid},
            {"lineEditIP", "1.2.3.4.5", QValidator::Invalid},
            {"lineEditPort", "50a", QValidator::Invalid}};
        for (auto [field, text, state] : cases) {
            int pos = 0;
            QVERIFY2(child<QLineEdit>(field)->validator()->validate(text, pos) == state,
                     qPrintable(text));
        }
    }

    // On a service laptop's 1280 x 800 screen, in English and then Chinese, every page's
    // controls lie side by side within the window, each with room for its text.
    void pagesFitAndShowNoChinese()
    {
        for (bool english : {true, false}) {
            if (!english)
                QCoreApplication::removeTranslator(&translator);
            UxDarkStyle::applyToApplication();
            UxFramelessWindow host;
            auto *content = new MainWindow;
            host.setContent(content);
            host.resize(1280, 800);
            host.show();
            QVERIFY(QTest::qWaitForWindowExposed(&host));
            for (int page = 0; page < widget<QStackedWidget>(content, "stackedWidget")->count();
                 ++page) {
                showPage(content, page);
                QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
                const QStringList faults = layoutFaults(content);
                QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
            }
        }
        QCoreApplication::installTranslator(&translator);

        // Texts set in code without tr() escape the translation suite; they show up here.
        const QRegularExpression chinese(
            QStringLiteral("[\\x{3000}-\\x{9fff}\\x{ff00}-\\x{ffef}]"));
        QStringList offenders;
        for (QWidget *w : window->findChildren<QWidget *>())
            for (const QString &text : shownTexts(w).filter(chinese))
                offenders << w->objectName() + QLatin1String(": ") + text;
        QVERIFY2(offenders.isEmpty(), qPrintable(offenders.join(QLatin1Char('\n'))));
    }
};

QTEST_MAIN(TestMainWindowForm)
#include "test_mainwindow_form.moc"
