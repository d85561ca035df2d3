// The main window as the operator first sees it: pages, selectors, ranges, validators, texts.
#include "display/radarindicatorwidget.h"
#include "mainwindow/mainwindow.h"
#include "vksresources.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QRegularExpression>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTranslator>

class TestMainWindowForm : public QObject
{
    Q_OBJECT

    template <typename T> T *child(const char *name)
    {
        auto *widget = window->findChild<T *>(QLatin1String(name));
        if (!widget)
            qFatal("missing widget %s", name);
        return widget;
    }

    QTranslator translator;
    MainWindow *window = nullptr;

private slots:
    void initTestCase()
    {
        initVksResources();
        QVERIFY(translator.load(QStringLiteral(":/lang/resource/Tervane_en.qm")));
        QCoreApplication::installTranslator(&translator);
        window = new MainWindow;
        window->resize(1410, 948);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
    }
    void cleanupTestCase() { delete window; }

    void startsOnConnectionPage()
    {
        QCOMPARE(child<QListWidget>("listWidgetMenu")->currentRow(), 0);
        QCOMPARE(child<QStackedWidget>("stackedWidget")->currentIndex(), 0);
        QCOMPARE(child<QComboBox>("comboBoxConnMode")->currentIndex(), 0);
        QCOMPARE(child<QStackedWidget>("stackedWidgetConnMode")->currentIndex(), 0);
        for (const char *field :
             {"lineEditDevName", "lineEditSerialNo", "lineEditVersionNo", "lineEditBaudRates",
              "lineEditAngleResolution", "lineEditFrenquency"}) {
            auto *edit = child<QLineEdit>(field);
            QVERIFY2(edit->text().isEmpty() && !edit->isEnabled() && edit->isReadOnly(), field);
        }
    }

    void navigationRowIsPage()
    {
        auto *menu = child<QListWidget>("listWidgetMenu");
        auto *pages = child<QStackedWidget>("stackedWidget");
        QCOMPARE(menu->count(), 5);
        const QStringList texts = {"Connect Setting", "Scanned Image", "Area Setting",
                                   "Data Message", "Wiring Diagram"};
        for (int row = menu->count() - 1; row >= 0; --row) {
            QCOMPARE(menu->item(row)->text(), texts.at(row));
            QVERIFY(!menu->item(row)->icon().isNull());
            const QRect rect = menu->visualItemRect(menu->item(row));
            QTest::mouseClick(menu->viewport(), Qt::LeftButton, {}, rect.center());
            QCOMPARE(pages->currentIndex(), row);
        }
    }

    void selectorsHoldTheirDefaults()
    {
        auto *baud = child<QComboBox>("comboBoxBaudRates");
        QCOMPARE(baud->count(), 2);
        QCOMPARE(baud->itemText(0), QStringLiteral("460800"));
        QCOMPARE(baud->itemText(1), QStringLiteral("921600"));
        QCOMPARE(baud->currentIndex(), 0);
        auto *frequency = child<QComboBox>("comboBoxScanFrenquency");
        QCOMPARE(frequency->count(), 5);
        QCOMPARE(frequency->currentText(), QStringLiteral("10HZ"));
        QCOMPARE(frequency->itemText(4), QStringLiteral("Stop rotating"));
        auto *navMode = child<QComboBox>("comboBoxNavMode");
        QCOMPARE(navMode->itemText(0), QStringLiteral("Navigation Mode"));
        QCOMPARE(navMode->itemText(1), QStringLiteral("Avoidance mode"));
        QCOMPARE(child<QComboBox>("comboBoxIOMode")->currentIndex(), 0);
        for (const char *hidden :
             {"comboBoxBaudRates", "comboBoxScanFrenquency", "comboBoxNavMode", "labelNavMode",
              "frameNavMode", "pushButtonAddPoint", "pushButtonClearScreen"})
            QVERIFY2(window->findChild<QWidget *>(QLatin1String(hidden))->isHidden(), hidden);
        // A port the system does not list (a pseudo-terminal, say) can be typed in.
        QVERIFY(child<QComboBox>("comboBoxComNames")->isEditable());
        QVERIFY(child<QComboBox>("comboBoxModbusComNames")->isEditable());
    }

    void rangesAndStartValues()
    {
        auto *alarm = child<QSpinBox>("spinBoxAlarmPointNum");
        QCOMPARE(alarm->minimum(), 4);
        QCOMPARE(alarm->maximum(), 255);
        QCOMPARE(alarm->value(), 5);
        for (const char *name : {"spinBoxPointRadius", "spinBoxLineWidth"}) {
            auto *spin = child<QSpinBox>(name);
            QCOMPARE(spin->minimum(), 1);
            QCOMPARE(spin->maximum(), 25);
            QCOMPARE(spin->value(), 1);
        }
        QCOMPARE(child<QProgressBar>("progressBarUpAndDownload")->value(), 0);
    }

    void validatorsRefuseImpossibleAddresses_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("acceptable");
        QTest::newRow("default") << "192.168.1.200" << true;
        QTest::newRow("leading zeros") << "010.001.000.255" << true;
        QTest::newRow("fifth digit group") << "192.168.1.2000" << false;
        QTest::newRow("octet above 255") << "256.1.1.1" << false;
        QTest::newRow("five numbers") << "1.2.3.4.5" << false;
    }
    void validatorsRefuseImpossibleAddresses()
    {
        QFETCH(QString, text);
        QFETCH(bool, acceptable);
        auto *ip = child<QLineEdit>("lineEditIP");
        QCOMPARE(ip->text(), QStringLiteral("192.168.1.200"));
        int pos = 0;
        const QValidator::State state = ip->validator()->validate(text, pos);
        QCOMPARE(state == QValidator::Acceptable, acceptable);
        if (!acceptable)
            QCOMPARE(state, QValidator::Invalid);
        QCOMPARE(child<QLineEdit>("lineEditPort")->text(), QStringLiteral("502"));
        QString letters = QStringLiteral("50a");
        QCOMPARE(child<QLineEdit>("lineEditPort")->validator()->validate(letters, pos),
                 QValidator::Invalid);
    }

    void regionPageStartsWithNoGroup()
    {
        auto *groups = child<QListWidget>("listWidgetRgnGroupIndex");
        QCOMPARE(groups->count(), 16);
        QCOMPARE(groups->item(0)->text(), QStringLiteral("Close"));
        for (int row = 1; row <= 15; ++row) {
            QCOMPARE(groups->item(row)->text(), QString::number(row));
            QVERIFY(!groups->item(row)->icon().isNull());
        }
        QCOMPARE(groups->currentRow(), 0);
        QCOMPARE(child<QTabWidget>("tabWidgetRgnIndex")->currentIndex(), 2);
        for (const char *name : {"tabWidgetRgnIndex", "pushButtonOpenConfig",
                                 "pushButtonSaveConfig", "pushButtonAlarmState",
                                 "spinBoxAlarmPointNum", "pushButtonUpload", "pushButtonDownload"})
            QVERIFY2(!window->findChild<QWidget *>(QLatin1String(name))->isEnabled(), name);
        for (const char *name : {"pushButtonStartScan", "pushButtonStopScan"})
            QVERIFY2(window->findChild<QWidget *>(QLatin1String(name))->isEnabled(), name);
        QVERIFY(!child<RadarIndicatorWidget>("radarIndicatorWidgetDrawRgn")->regionsVisible());
        QVERIFY(!child<RadarIndicatorWidget>("radarIndicatorWidget")->regionsVisible());
        QCOMPARE(child<QAbstractButton>("pushButtonDownload")->text(), QStringLiteral("Upload"));
        QCOMPARE(child<QAbstractButton>("pushButtonUpload")->text(), QStringLiteral("Download"));
    }

    void wiringDiagramIsTheEnglishPicture()
    {
        auto *label = child<QLabel>("labelWritingDiagram");
        const QImage english(QStringLiteral(":/images/resource/wiring_diagram_en.png"));
        QVERIFY(!english.isNull());
        QCOMPARE(label->size(), english.size());
        QCOMPARE(label->pixmap(Qt::ReturnByValue).toImage().convertToFormat(english.format()),
                 english);
    }

    // Every text the operator can see is translated.
    void noChineseLeftUntranslated()
    {
        const QRegularExpression chinese(
            QStringLiteral("[\\x{3000}-\\x{9fff}\\x{ff00}-\\x{ffef}]"));
        QStringList offenders;
        const auto check = [&](const QString &where, const QString &text) {
            if (text.contains(chinese))
                offenders << where + QLatin1String(": ") + text;
        };
        for (QWidget *widget : window->findChildren<QWidget *>()) {
            const QString name = widget->objectName();
            check(name + QLatin1String(" tooltip"), widget->toolTip());
            if (auto *label = qobject_cast<QLabel *>(widget))
                check(name, label->text());
            if (auto *button = qobject_cast<QAbstractButton *>(widget))
                check(name, button->text());
            if (auto *combo = qobject_cast<QComboBox *>(widget)) {
                for (int i = 0; i < combo->count(); ++i)
                    check(name, combo->itemText(i));
            }
            if (auto *list = qobject_cast<QListWidget *>(widget)) {
                for (int i = 0; i < list->count(); ++i)
                    check(name, list->item(i)->text());
            }
            if (auto *tabs = qobject_cast<QTabWidget *>(widget)) {
                for (int i = 0; i < tabs->count(); ++i)
                    check(name, tabs->tabText(i));
            }
            if (auto *table = qobject_cast<QTableWidget *>(widget)) {
                for (int i = 0; i < table->columnCount(); ++i)
                    check(name, table->horizontalHeaderItem(i)->text());
            }
        }
        QVERIFY2(offenders.isEmpty(), qPrintable(offenders.join(QLatin1Char('\n'))));
    }
};

QTEST_MAIN(TestMainWindowForm)
#include "test_mainwindow_form.moc"
