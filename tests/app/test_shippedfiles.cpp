// What the program ships beside its code: the embedded pictures, the English translation and
// the logging configuration, with where that configuration and the logs are found. The style
// sheet is the chrome suite's, which installs and parses it; the translation's texts
// the chrome and window option suites', which load it and read them.
#include "app/logsetup.h"
#include "vksresources.h"

#include <log4qt/logger.h>
#include <log4qt/logmanager.h>

#include <QImageReader>
#include <QProcessEnvironment>
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

class TestShippedFiles : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        initVksResources();
        QVERIFY(namedPictures().contains(QStringLiteral(":/images/app_icon.png")));
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

QTEST_MAIN(TestShippedFiles)
#include "test_shippedfiles.moc"
