// The program's command line and its language, down to the connection page the operator sees.
#include "app/windowoptions.h"
#include "mainwindow/mainwindow.h"
#include "vksresources.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

class TestWindowOptions : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initVksResources(); }

    void parse_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("error"); // empty: accepted
        QTest::addColumn<int>("link");
        QTest::addColumn<QString>("where"); // serial path, or address:port
        QTest::addColumn<bool>("modbus");
        QTest::addColumn<bool>("scan");
        const int none = int(StartLink::None), serial = int(StartLink::Serial);
        const int udp = int(StartLink::Udp);
        QTest::newRow("nothing") << QStringList{} << "" << none << "" << false << false;
        QTest::newRow("serial, modbus, scan")
            << QStringList{"--serial", "/dev/ttyUSB0", "--modbus", "--scan"} << "" << serial
            << "/dev/ttyUSB0" << true << true;
        QTest::newRow("udp") << QStringList{"--udp", "127.0.0.2:5020"} << "" << udp
                             << "127.0.0.2:5020" << false << false;
        QTest::newRow("udp ipv6") << QStringList{"--udp", "[::1]:7", "--scan"} << "" << udp
                                  << "::1:7" << false << true;
        QTest::newRow("udp without port")
            << QStringList{"--udp", "127.0.0.1"} << "--udp needs" << none << "" << false << false;
        QTest::newRow("udp host name")
            << QStringList{"--udp", "radar:502"} << "--udp needs" << none << "" << false << false;
        QTest::newRow("both links") << QStringList{"--serial", "x", "--udp", "127.0.0.1:1"}
                                    << "exclude" << none << "" << false << false;
        QTest::newRow("modbus alone")
            << QStringList{"--modbus"} << "--modbus needs" << none << "" << false << false;
        QTest::newRow("scan alone")
            << QStringList{"--scan"} << "--scan needs" << none << "" << false << false;
        QTest::newRow("unknown language")
            << QStringList{"--lang", "fr"} << "--lang must" << none << "" << false << false;
        QTest::newRow("stray argument")
            << QStringList{"x"} << "unexpected" << none << "" << false << false;
    }
    void parse()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, error);
        WindowCommandLine commandLine;
        QCOMPARE(commandLine.parse(QStringList{"vks20"} + arguments), error.isEmpty());
        if (!error.isEmpty()) {
            QVERIFY2(commandLine.errorText().contains(error), qPrintable(commandLine.errorText()));
            return;
        }
        const WindowOptions &options = commandLine.options();
        QTEST(int(options.link), "link");
        QTEST(options.link == StartLink::Udp
                  ? options.udpAddress.toString() + ':' + QString::number(options.udpPort)
                  : options.serialPath,
              "where");
        QTEST(options.modbus, "modbus");
        QTEST(options.scan, "scan");
    }

    // The option wins, else the language last used; Chinese needs no translation, and the
    // connection page then shows no English (names such as "USB" aside).
    void languageOfTheConnectionPage_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("remembered");
        QTest::addColumn<QString>("language");
        QTest::newRow("default") << QStringList{} << ""
                                 << "en";
        QTest::newRow("option") << QStringList{"--lang", "zh"} << "en"
                                << "zh";
        QTest::newRow("remembered") << QStringList{} << "zh"
                                    << "zh";
        QTest::newRow("option over remembered") << QStringList{"--lang", "en"} << "zh"
                                                << "en";
    }
    void languageOfTheConnectionPage()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, remembered);
        QFETCH(QString, language);
        QTemporaryDir dir;
        QSettings settings(dir.filePath("vks20.ini"), QSettings::IniFormat);
        if (!remembered.isEmpty())
            InterfaceLanguage::remember(settings, remembered);
        WindowCommandLine commandLine;
        QVERIFY(commandLine.parse(QStringList{"vks20"} + arguments));
        QCOMPARE(InterfaceLanguage::choose(commandLine.options(), settings), language);

        QTranslator translator;
        QVERIFY(InterfaceLanguage::install(language, translator));
        MainWindow window;
        const QRegularExpression foreign(language == "zh" ? "[a-z]{2}" : "[\\x{3000}-\\x{9fff}]");
        QStringList texts;
        for (QWidget *widget :
             window.findChild<QWidget *>("pageConnSettings")->findChildren<QWidget *>()) {
            if (auto *label = qobject_cast<QLabel *>(widget))
                texts << label->text();
            if (auto *button = qobject_cast<QAbstractButton *>(widget))
                texts << button->text();
            if (auto *combo = qobject_cast<QComboBox *>(widget); combo && !combo->isEditable()) {
                for (int i = 0; i < combo->count(); ++i)
                    texts << combo->itemText(i);
            }
        }
        QVERIFY(texts.contains(language == "zh" ? "通讯方式" : "Comm Method"));
        QCOMPARE(texts.filter(foreign), QStringList());
        QCoreApplication::removeTranslator(&translator);
    }
};

QTEST_MAIN(TestWindowOptions)
#include "test_windowoptions.moc"
