// The program's command line and language, down to the connection page the operator sees, and
// what it ships beside its code: the embedded pictures, the English translation and the logging
// configuration, with where that configuration and the logs are found. The style
// sheet is the chrome suite's, which installs and parses it; the translation's texts
// the chrome suite's and the connection page's below, which load it and read them.
#include "app/logsetup.h"
#include "app/windowoptions.h"
#include "mainwindow/mainwindow.h"
#include "vksresources.h"

#include <log4qt/logger.h>
#include <log4qt/logmanager.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QImageReader>
#include <QLabel>
#include <QProcessEnvironment>
#include <QSettings>
#include <QTranslator>
#include <QtTest>

#include <algorithm>

namespace {

// The pictures named anywhere in the sources, forms, translations and the style sheet.
QStringList namedPictures()
{
    const QDir root(QFileInfo(QStringLiteral(__FILE__)).absolutePath() + QStringLiteral("/../.."));
    const QRegularExpression named(QStringLiteral(":/[\\w/.-]+\\.(png|jpg)"));
    QStringList paths;
    for (const char *folder : {"src", "resources/lang", "resources/darkstyle"}) {
        QDirIterator it(root.filePath(QLatin1String(folder)), QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile file(it.next());
            file.open(QIODevice::ReadOnly);
            for (auto m = named.globalMatch(QString::fromUtf8(file.readAll())); m.hasNext();)
                paths << m.next().captured();
        }
    }
    paths.removeDuplicates();
    return paths;
}

QString readText(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

class TestApp : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        initVksResources();
        QVERIFY(namedPictures().contains(QStringLiteral(":/images/app_icon.png")));
    }

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

    void imagesLoad_data()
    {
        QTest::addColumn<QString>("path");
        for (const QString &path : namedPictures())
            QTest::newRow(qPrintable(path)) << path;
    }
    void imagesLoad()
    {
        QFETCH(QString, path);
        QImageReader reader(path);
        // The file's content must match the format its name promises.
        const QString suffix = QFileInfo(path).suffix();
        QCOMPARE(QString::fromLatin1(reader.format()), suffix == "jpg" ? "jpeg" : suffix);
        const QImage image = reader.read();
        QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
        // Icons lie on whatever is behind them; only the wiring sheets are opaque.
        if (!path.contains("wiring_diagram"))
            QCOMPARE(image.pixelColor(0, 0).alpha(), 0);
        // A picture of one flat colour would mean nothing was drawn.
        const QImage small = image.scaled(16, 16).convertToFormat(QImage::Format_ARGB32);
        const auto *pixels = reinterpret_cast<const QRgb *>(small.constBits());
        QVERIFY(std::any_of(pixels, pixels + 256, [pixels](QRgb p) { return p != pixels[0]; }));
    }

    // Every text the code passes through tr() has a finished English translation, and the
    // translation holds nothing the code no longer says: lupdate, run over the sources into a
    // copy of the translation, must find nothing to add and nothing to drop.
    void everyTextTranslatedAndNoneStale()
    {
        QTemporaryDir dir;
        const QString copy = dir.filePath(QStringLiteral("en.ts"));
        QVERIFY(QFile::copy(QStringLiteral(TRANSLATION_FILE), copy));
        QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
        QProcess lupdate;
        lupdate.start(QStringLiteral(LUPDATE_PROGRAM),
                      {"-no-obsolete", "-locations", "none", SOURCE_FOLDER, "-ts", copy});
        QVERIFY(lupdate.waitForFinished(60000));
        QCOMPARE(lupdate.exitCode(), 0);

        const QString text = readText(copy);
        QCOMPARE(text.count("<message>"),
                 readText(QStringLiteral(TRANSLATION_FILE)).count("<message>"));
        // A finished translation is not empty and has no type (unfinished, vanished, obsolete).
        const QRegularExpression unfinished(
            "<source>([^<]*)</source>\\s*<translation(?: [^>]*>|></translation>|/>)");
        QStringList found;
        for (auto m = unfinished.globalMatch(text); m.hasNext();)
            found << m.next().captured(1);
        QVERIFY2(found.isEmpty(), qPrintable(found.join('\n')));
    }

    void findsConfigurationAndLogFolder_data()
    {
        QTest::addColumn<bool>("besideProgram");
        QTest::addColumn<QString>("stateHome");
        QTest::addColumn<QString>("propertiesFile");
        QTest::addColumn<QString>("logFolder");
        const QString installed = QStringLiteral("/etc/vks20/Log4Qt.properties");
        QTest::newRow("beside the program") << true << "/run/state"
                                            << "Log4Qt.properties" << QString();
        QTest::newRow("installed, XDG_STATE_HOME")
            << false << "/run/state" << installed << "/run/state/vks20/logs";
        QTest::newRow("installed, no XDG_STATE_HOME")
            << false << QString() << installed << "/home/op/.local/state/vks20/logs";
        QTest::newRow("installed, XDG_STATE_HOME not absolute")
            << false << "state" << installed << "/home/op/.local/state/vks20/logs";
    }
    void findsConfigurationAndLogFolder()
    {
        QFETCH(bool, besideProgram);
        QFETCH(QString, stateHome);
        QTemporaryDir programFolder;
        if (besideProgram)
            QFile(programFolder.filePath(QStringLiteral("Log4Qt.properties")))
                .open(QIODevice::WriteOnly);
        QProcessEnvironment environment;
        environment.insert(QStringLiteral("HOME"), QStringLiteral("/home/op"));
        if (!stateHome.isNull())
            environment.insert(QStringLiteral("XDG_STATE_HOME"), stateHome);

        const LogLocation location = LogLocation::find(
            programFolder.path(), environment, QStringLiteral("/etc/vks20/Log4Qt.properties"));
        QTEST(location.propertiesFile, "propertiesFile");
        QTEST(location.logFolder, "logFolder");
    }

    // The shipped configuration writes into a log folder that did not exist yet, and nothing
    // else under the working directory; a trace line goes only to the ring, a status line only
    // to the program log.
    void shippedConfigurationSplitsTraceLines_data()
    {
        QTest::addColumn<QString>("logFolder"); // in the working directory; empty: its own
        QTest::newRow("beside the program") << QString();
        QTest::newRow("installed") << "state/vks20/logs";
    }
    void shippedConfigurationSplitsTraceLines()
    {
        QFETCH(QString, logFolder);
        QThread::currentThread()->setObjectName(QStringLiteral("main"));
        QTemporaryDir work;
        QVERIFY(QDir::setCurrent(work.path()));
        QVERIFY(configureLogging({QStringLiteral(SHIPPED_PROPERTIES_FILE),
                                  logFolder.isEmpty() ? logFolder : work.filePath(logFolder)}));
        const QString folder = logFolder.isEmpty() ? QStringLiteral("logs") : logFolder;
        const QDir logs(work.filePath(folder));
        const QString trace = QStringLiteral("oneFrame data>>> A55A0102");
        const QString status = QStringLiteral("the application is staring...");
        Log4Qt::Logger::logger("RollingFile")->info(trace);
        Log4Qt::Logger::logger("RollingFile")->info(status);
        Log4Qt::LogManager::shutdown(); // the ring is written buffered
        QCOMPARE(QDir(work.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList{folder.section('/', 0, 0)});
        QCOMPARE(logs.entryList(QDir::Files, QDir::Name),
                 QStringList({"vks20-trace.log", "vks20.log"}));
        for (const auto &[file, message] :
             {std::pair("vks20.log", status), std::pair("vks20-trace.log", trace)}) {
            const QString text = readText(logs.filePath(QString::fromLatin1(file)));
            const QRegularExpression line("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} "
                                          "\\[main\\] INFO  RollingFile - " +
                                          QRegularExpression::escape(message) + "\\n$");
            QVERIFY2(line.match(text).hasMatch(), qPrintable(text));
        }
    }
};

QTEST_MAIN(TestApp)
#include "test_app.moc"
