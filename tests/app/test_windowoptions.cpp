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

    // Accepted lines as "<link> <where> [modbus] [scan]"; refused ones by their error.
    void parse_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("outcome");
        QTest::newRow("nothing") << QStringList{} << "none";
        QTest::newRow("serial") << QStringList{"--serial", "/dev/ttyUSB0", "--modbus", "--scan"}
                                << "serial /dev/ttyUSB0 modbus scan";
        QTest::newRow("udp") << QStringList{"--udp", "127.0.0.2:5020"} << "udp 127.0.0.2:5020";
        QTest::newRow("udp ipv6") << QStringList{"--udp", "[::1]:7", "--scan"} << "udp ::1:7 scan";
        QTest::newRow("no port") << QStringList{"--udp", "127.0.0.1"} << "--udp needs";
        QTest::newRow("host name") << QStringList{"--udp", "radar:502"} << "--udp needs";
        QTest::newRow("replay") << QStringList{"--replay", "scan.pcap"} << "replay scan.pcap";
        QTest::newRow("two links") << QStringList{"--serial", "x", "--udp", "127.0.0.1:1"}
                                   << "--serial, --udp and --replay exclude each other";
        QTest::newRow("replay and scan")
            << QStringList{"--replay", "x", "--scan"} << "--scan needs --serial or --udp";
        QTest::newRow("modbus alone") << QStringList{"--modbus"} << "--modbus needs --serial";
        QTest::newRow("scan alone") << QStringList{"--scan"} << "--scan needs --serial or --udp";
        QTest::newRow("language") << QStringList{"--lang", "fr"} << "--lang must be en or zh";
        QTest::newRow("stray") << QStringList{"x"} << "unexpected argument: x";
    }
    void parse()
    {
        QFETCH(QStringList, arguments);
        WindowCommandLine commandLine;
        const bool accepted = commandLine.parse(QStringList{"vks20"} + arguments);
        const WindowOptions &o = commandLine.options();
        const QString where = o.link == StartLink::Udp
                                  ? o.udpAddress.toString() + ':' + QString::number(o.udpPort)
                                  : o.serialPath + o.replayPath;
        QStringList parts = {QStringList{"none", "serial", "udp", "replay"}.at(int(o.link)), where,
                             o.modbus ? "modbus" : "", o.scan ? "scan" : ""};
        parts.removeAll(QString());
        const QString accepting = parts.join(' ');
        QFETCH(QString, outcome);
        QVERIFY2(accepted ? outcome == accepting : commandLine.errorText().startsWith(outcome),
                 qPrintable(accepted ? accepting : commandLine.errorText()));
    }

    // The option wins, else the language last used; Chinese needs no translation, and the
    // connection page then shows no English (names such as "USB" aside).
    void languageOfTheConnectionPage_data()
    {
        // The arguments, the language remembered, the language chosen.
        QTest::addColumn<QStringList>("languages");
        QTest::newRow("default") << QStringList{"", "", "en"};
        QTest::newRow("option") << QStringList{"--lang zh", "en", "zh"};
        QTest::newRow("remembered") << QStringList{"", "zh", "zh"};
        QTest::newRow("option over remembered") << QStringList{"--lang en", "zh", "en"};
    }
    void languageOfTheConnectionPage()
    {
        QFETCH(QStringList, languages);
        const QString remembered = languages.at(1), language = languages.at(2);
        QTemporaryDir dir;
        QSettings settings(dir.filePath("vks20.ini"), QSettings::IniFormat);
        if (!remembered.isEmpty())
            InterfaceLanguage::remember(settings, remembered);
        WindowCommandLine commandLine;
        QVERIFY(commandLine.parse(("vks20 " + languages.at(0)).split(' ', Qt::SkipEmptyParts)));
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
