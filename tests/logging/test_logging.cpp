#include "logging/layout.h"
#include "logging/loggingevent.h"
#include "logging/optionconverter.h"
#include "logging/patternformatter.h"

#include <log4qt/logger.h>
#include <log4qt/logmanager.h>
#include <log4qt/properties.h>
#include <log4qt/propertyconfigurator.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QThread>
#include <QtTest>

#include <cstdio>
#include <functional>
#include <memory>
#include <unistd.h>

using namespace Log4Qt;

namespace {

// What the action writes to the process's stderr.
QString stderrOf(const std::function<void()> &action)
{
    QTemporaryFile file;
    file.open();
    std::fflush(stderr);
    const int saved = dup(STDERR_FILENO);
    dup2(file.handle(), STDERR_FILENO);
    action();
    std::fflush(stderr);
    dup2(saved, STDERR_FILENO);
    close(saved);
    file.seek(0);
    return QString::fromLocal8Bit(file.readAll());
}

QString readText(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

void writeText(const QString &fileName, const QString &text)
{
    QFile file(fileName);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text.toUtf8());
}

bool configureFrom(const QString &text)
{
    writeText(QStringLiteral("test.properties"), text);
    return PropertyConfigurator::configure(QStringLiteral("test.properties"));
}

QString fileAppender(const QString &name, const QString &file, const QString &extra = QString(),
                     const QString &appenderClass = "FileAppender")
{
    const QString a = "log4j.appender." + name;
    return a + "=org.apache.log4j." + appenderClass + '\n' + a + ".File=" + file + '\n' + a +
           ".layout=org.apache.log4j.PatternLayout\n" + a +
           ".layout.ConversionPattern=%c:%p:%m%n\n" + extra;
}

const qint64 fixedTime = QDateTime(QDate(2024, 3, 5), QTime(7, 8, 9, 45)).toMSecsSinceEpoch();

LoggingEvent sampleEvent(qint64 timeStamp = fixedTime)
{
    return LoggingEvent{Level::INFO_INT, QStringLiteral("vks.link.serial"), QStringLiteral("hello"),
                        timeStamp};
}

} // namespace

class TestLogging : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QThread::currentThread()->setObjectName(QStringLiteral("main")); }
    void init()
    {
        LogManager::resetConfiguration();
        mDir = std::make_unique<QTemporaryDir>();
        mPreviousDir = QDir::currentPath();
        QVERIFY(QDir::setCurrent(mDir->path()));
    }

    void cleanup()
    {
        LogManager::resetConfiguration(); // closes the files before the folder goes
        QDir::setCurrent(mPreviousDir);
        mDir.reset();
    }

    // Property file syntax, and ${key} substitution read back through findAndSubst.
    void propertyValues_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("reportsError");
        const auto row = [](const char *name, const QString &text, const QString &key,
                            const QString &value, int count, bool reportsError = false) {
            QTest::newRow(name) << text << key << value << count << reportsError;
        };
        row("equals", "a=b", "a", "b", 1);
        row("colon", "a:b", "a", "b", 1);
        row("whitespace", "a   b", "a", "b", 1);
        row("spaces around separator", "  a\t =  b c  ", "a", "b c  ", 1);
        row("comments", "# x=1\n  ! y=2\na=1", "a", "1", 1);
        row("blank lines", "\n\n  \na=1\n\n", "a", "1", 1);
        row("continuation", "a=x\\\n   y\\\n\tz\nb=2", "a", "xyz", 2);
        row("escaped backslash ends line", "a=x\\\\\nb=2", "a", "x\\", 2);
        row("comment does not continue", "# c \\\na=1", "a", "1", 1);
        row("escaped separator in key", "a\\=b=c", "a=b", "c", 1);
        row("escapes", "a=\\u0041\\t\\q", "a", "A\tq", 1);
        row("crlf", "a=1\r\nb=2\r\n", "b", "2", 2);
        row("empty value", "a=\nb", "b", "", 2);
        row("continuation at end", "a=x\\", "a", "x", 1);
        row("substituted key", "dir=logs\nv=${dir}/vks.log", "v", "logs/vks.log", 2);
        row("nested substitution", "a=x\nb=${a}y\nv=${b}${a}", "v", "xyx", 3);
        row("unknown key is empty", "v=a${nope}b", "v", "ab", 1);
        row("unclosed substitution", "v=a${dir", "v", "a${dir", 1, true);
        row("substitution cycle", "a=${v}\nv=x${a}", "v", "x", 2, true);
    }
    void propertyValues()
    {
        QFETCH(QString, text);
        QFETCH(QString, key);
        QFETCH(bool, reportsError);
        Properties properties;
        properties.load(text);
        QTEST(properties.size(), "count");
        QVERIFY(properties.contains(key));
        QString value;
        const QString errors =
            stderrOf([&] { value = OptionConverter::findAndSubst(properties, key); });
        QTEST(value, "value");
        QCOMPARE(!errors.isEmpty(), reportsError);
    }

    void fileSize_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<qint64>("expected");
        QTest::newRow("bytes") << "100" << Q_INT64_C(100);
        QTest::newRow("KB") << "1KB" << Q_INT64_C(1024);
        QTest::newRow("kb lower case, spaces") << " 5 kb " << Q_INT64_C(5120);
        QTest::newRow("MB") << "10MB" << Q_INT64_C(10485760);
        QTest::newRow("Gb mixed case") << "2Gb" << Q_INT64_C(2147483648);
        QTest::newRow("garbage keeps fallback") << "lots" << Q_INT64_C(-7);
        QTest::newRow("negative keeps fallback") << "-1KB" << Q_INT64_C(-7);
    }
    void fileSize()
    {
        QFETCH(QString, option);
        QFETCH(qint64, expected);
        qint64 size = 0;
        const QString errors = stderrOf([&] { size = OptionConverter::toFileSize(option, -7); });
        QCOMPARE(size, expected);
        QCOMPARE(errors.isEmpty(), expected != -7);
    }

    void patternConversion_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<qint64>("timeStamp");
        QTest::addColumn<QString>("expected");

        const qint64 relative = LoggingEvent::startTime() + 1234;
        QTest::newRow("level, width, precision (keeps the end)")
            << "%p|%5p|%.2p|%-7.3p|" << fixedTime << "INFO| INFO|FO|NFO    |";
        QTest::newRow("category parts, width, precision")
            << "%c{1}|%c{2}|%c{9}|%20c|%.6c" << fixedTime
            << "serial|link.serial|vks.link.serial|     vks.link.serial|serial";
        QTest::newRow("date formats") << "%d|%d{ISO8601}|%d{ABSOLUTE}|%d{DATE}" << fixedTime
                                      << "2024-03-05 07:08:09.045|2024-03-05 07:08:09.045|"
                                         "07:08:09.045|05 Mar 2024 07:08:09.045";
        QTest::newRow("relative and elapsed") << "%d{RELATIVE}|%r ms" << relative << "1234|1234 ms";
        QTest::newRow("contexts are empty") << "<%x|%X{user}|%-3x>" << fixedTime << "<||   >";
        QTest::newRow("percent, padded message")
            << "100%% [%-8m][%8m]" << fixedTime << "100% [hello   ][   hello]";
        // Also the plain %d{format}, %t, %-5p, %c, %m and %n conversions.
        QTest::newRow("shipped layout")
            << "%d{yyyy-MM-dd hh:mm:ss.zzz} [%t] %-5p %c - %m%n" << fixedTime
            << "2024-03-05 07:08:09.045 [main] INFO  vks.link.serial - hello\n";
    }
    void patternConversion()
    {
        QFETCH(QString, pattern);
        QFETCH(qint64, timeStamp);
        QFETCH(QString, expected);

        const PatternFormatter formatter(pattern);
        QString out = QStringLiteral(">");
        formatter.format(sampleEvent(timeStamp), out);
        QCOMPARE(out, '>' + expected);
        out.clear();
        formatter.format(sampleEvent(timeStamp), out); // cached values give the same text
        QCOMPARE(out, expected);
    }

    void fixedLayouts_data()
    {
        QTest::addColumn<bool>("simple");
        QTest::addColumn<QString>("properties"); // name=value ...
        QTest::addColumn<QString>("expected");
        const auto row = [](const char *name, bool simple, const QString &properties,
                            const QString &expected) {
            QTest::newRow(name) << simple << properties << expected;
        };
        const QString full = "[main] INFO  vks.link.serial - hello\n";
        row("simple", true, "", "INFO - hello\n");
        row("TTCC default", false, "", "1234 [main] INFO  vks.link.serial  - hello\n");
        row("TTCC without context", false, "ContextPrinting=false", "1234 " + full);
        row("TTCC bare", false, "threadprinting=false CategoryPrefixing=disabled ContextPrinting=0",
            "1234 INFO  - hello\n");
        row("TTCC date format", false, "DateFormat=ABSOLUTE ContextPrinting=false", "%ABS " + full);
    }
    void fixedLayouts()
    {
        QFETCH(bool, simple);
        QFETCH(QString, properties);
        QFETCH(QString, expected);

        std::unique_ptr<Layout> layout;
        if (simple)
            layout = std::make_unique<SimpleLayout>();
        else
            layout = std::make_unique<TTCCLayout>();
        for (const QString &property : properties.split(' ', Qt::SkipEmptyParts))
            QVERIFY(layout->setProperty(property.section('=', 0, 0), property.section('=', 1)));
        QVERIFY(!layout->setProperty(QStringLiteral("NoSuchProperty"), QStringLiteral("1")));

        const qint64 time = LoggingEvent::startTime() + 1234;
        expected.replace(QLatin1String("%ABS"), QDateTime::fromMSecsSinceEpoch(time).toString(
                                                    QStringLiteral("hh:mm:ss.zzz")));
        QString out;
        layout->format(sampleEvent(time), out);
        QCOMPARE(out, expected);
    }

    void routing_data()
    {
        QTest::addColumn<QString>("logger");
        QTest::addColumn<int>("level");
        QTest::addColumn<QString>("files"); // the files that get the line
        const auto row = [](const char *name, const QString &logger, Level::Value level,
                            const QString &files) {
            QTest::newRow(name) << logger << int(level) << files;
        };
        row("root level passes", "z", Level::WARN_INT, "root");
        row("root level blocks", "z", Level::INFO_INT, "");
        row("own level, additive", "a", Level::INFO_INT, "a root");
        row("inherited level", "a.b", Level::INFO_INT, "a root");
        row("below inherited level", "a.b", Level::DEBUG_INT, "");
        row("grandchild level", "a.b.c", Level::DEBUG_INT, "a root");
        row("not additive", "x", Level::INFO_INT, "a");
        row("child of not additive", "x.y", Level::FATAL_INT, "a");
        row("category alias blocks", "k", Level::WARN_INT, "");
        row("category alias passes", "k", Level::ERROR_INT, "a root");
        row("threshold blocks", "t", Level::WARN_INT, "root");
        row("threshold passes", "t", Level::ERROR_INT, "t root");
        row("off", "o", Level::FATAL_INT, "");
    }
    void routing()
    {
        QFETCH(QString, logger);
        QFETCH(int, level);
        QFETCH(QString, files);

        QVERIFY(configureFrom("log4j.rootLogger=WARN, R\nlog4j.logger.a=info, A\n"
                              "log4j.logger.a.b.c=DEBUG\nlog4j.logger.x=INFO, A\n"
                              "log4j.additivity.x=false\nlog4j.category.k=ERROR, A\n"
                              "log4j.logger.t=ALL, T\nlog4j.logger.o=OFF\n" +
                              fileAppender("R", "root.log") + fileAppender("A", "a.log") +
                              fileAppender("T", "t.log", "log4j.appender.T.Threshold=ERROR\n")));

        const Level messageLevel(static_cast<Level::Value>(level));
        QCOMPARE(Logger::logger(logger)->isEnabledFor(messageLevel), !files.isEmpty());
        Logger::logger(logger)->log(messageLevel, QStringLiteral("message"));
        const QString line = logger + ':' + messageLevel.toString() + ":message\n";
        for (const QString &file : QStringList{"root", "a", "t"})
            QCOMPARE(readText(file + ".log"), files.split(' ').contains(file) ? line : QString());
    }

    // A second configuration keeps an unset level and replaces appenders; a missing file (the
    // issue asks for it) logs its problem and changes nothing.
    void reconfiguration()
    {
        QVERIFY(configureFrom("log4j.logger.q=ERROR, A\n" + fileAppender("A", "a.log")));
        QVERIFY(configureFrom("log4j.logger.q=, B\n" + fileAppender("B", "b.log")));
        bool configured = true;
        const QString errors =
            stderrOf([&] { configured = PropertyConfigurator::configure("missing.properties"); });
        QVERIFY(!configured);
        QVERIFY(errors.contains("Unable to open property file 'missing.properties'"));
        Logger *q = Logger::logger("q");
        q->warn(QStringLiteral("dropped %1"), 1);
        q->error(QStringLiteral("got %1 bytes from %2"), 213, QStringLiteral("A55A"));
        QCOMPARE(readText(QStringLiteral("a.log")), QString());
        QCOMPARE(readText(QStringLiteral("b.log")),
                 QStringLiteral("q:ERROR:got 213 bytes from A55A\n"));
    }

    // The issue asks: a rolling appender rolls at its size and keeps its backup count.
    void rollingKeepsBackupCount_data()
    {
        QTest::addColumn<int>("maxBackupIndex");
        QTest::addColumn<int>("lineCount");
        // Lines of 50 bytes against 100 bytes: a file rolls after its third line.
        QTest::addColumn<QStringList>("files"); // the file, then file.1 .. file.N

        QTest::newRow("no roll at exactly the size") << 3 << 2 << QStringList{"1 2"};
        QTest::newRow("first roll") << 3 << 4 << QStringList{"4", "1 2 3"};
        QTest::newRow("oldest dropped")
            << 3 << 14 << QStringList{"13 14", "10 11 12", "7 8 9", "4 5 6"};
        QTest::newRow("one backup") << 1 << 9 << QStringList{"", "7 8 9"};
        QTest::newRow("no backups") << 0 << 7 << QStringList{"7"};
    }
    void rollingKeepsBackupCount()
    {
        QFETCH(int, maxBackupIndex);
        QFETCH(int, lineCount);
        QFETCH(QStringList, files);

        QVERIFY(configureFrom(
            QStringLiteral(
                "log4j.rootLogger=INFO, F\nlog4j.appender.F=Log4Qt::RollingFileAppender\n"
                "log4j.appender.F.File=roll.log\nlog4j.appender.F.MaxFileSize=100\n"
                "log4j.appender.F.MaxBackupIndex=%1\n"
                "log4j.appender.F.layout=Log4Qt::PatternLayout\n"
                "log4j.appender.F.layout.ConversionPattern=%-49m%n\n")
                .arg(maxBackupIndex)));
        for (int i = 1; i <= lineCount; ++i)
            Logger::logger("r")->info(QString::number(i));

        for (int i = 0; i < files.size(); ++i) {
            const QString name =
                i == 0 ? QStringLiteral("roll.log") : QStringLiteral("roll.log.%1").arg(i);
            QString expected;
            for (const QString &number : files.at(i).split(' ', Qt::SkipEmptyParts))
                expected += number.leftJustified(49) + '\n';
            QVERIFY(QFile::exists(name));
            QCOMPARE(readText(name), expected);
        }
        QVERIFY(!QFile::exists(
            QStringLiteral("roll.log.%1").arg(qMax(files.size(), maxBackupIndex + 1))));
    }

    void appendFile_data()
    {
        QTest::addColumn<QString>("appenderClass");
        QTest::addColumn<QString>("appendFile"); // empty: property not given
        QTest::addColumn<QString>("content");
        QTest::addColumn<QString>("backup");
        const auto row = [](const char *name, const QString &appenderClass,
                            const QString &appendFile, const QString &content,
                            const QString &backup) {
            QTest::newRow(name) << appenderClass << appendFile << content << backup;
        };
        const QString line = "f:INFO:new\n";
        row("file default truncates", "FileAppender", "", line, "");
        row("file truncates", "FileAppender", "false", line, "");
        row("file appends", "FileAppender", "true", "old\n" + line, "");
        row("rolling default rolls over", "RollingFileAppender", "", line, "old\n");
        row("rolling appends", "RollingFileAppender", "true", "old\n" + line, "");
    }
    void appendFile()
    {
        QFETCH(QString, appenderClass);
        QFETCH(QString, appendFile);
        QFETCH(QString, backup);
        writeText(QStringLiteral("app.log"), QStringLiteral("old\n"));
        const QString append =
            appendFile.isEmpty() ? QString() : "log4j.appender.F.AppendFile=" + appendFile + '\n';
        QVERIFY(configureFrom("log4j.rootLogger=INFO, F\n" +
                              fileAppender("F", "app.log", append, appenderClass)));
        Logger::logger("f")->info(QStringLiteral("new"));
        QTEST(readText(QStringLiteral("app.log")), "content");
        QCOMPARE(QFile::exists(QStringLiteral("app.log.1")), !backup.isEmpty());
        QCOMPARE(readText(QStringLiteral("app.log.1")), backup);
    }

    void unconfiguredLoggingIsDropped()
    {
        QCOMPARE(LogManager::logger(QStringLiteral("RollingFile")), Logger::logger("RollingFile"));
        QCOMPARE(Logger::rootLogger()->level(), Level(Level::DEBUG_INT));
        Logger *logger = Logger::logger("RollingFile");
        QVERIFY(!logger->isEnabledFor(Level::FATAL_INT));
        QCOMPARE(stderrOf([logger] {
                     logger->info(QStringLiteral("nowhere"));
                     logger->fatal(QStringLiteral("nowhere"));
                 }),
                 QString());
        QCOMPARE(QDir::current().entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot),
                 QStringList());
    }

    void malformedConfiguration_data()
    {
        QTest::addColumn<QString>("bad");
        QTest::addColumn<bool>("reported");
        const auto row = [](const char *name, const QString &bad, bool reported = true) {
            QTest::newRow(name) << bad << reported;
        };
        const QString bad = "log4j.logger.bad=INFO, X\n";
        const QString x = bad + "log4j.appender.X=org.apache.log4j.";
        const QString file = "FileAppender\nlog4j.appender.X.File=bad.log\n";
        const auto withX = [&bad](const QString &extra) {
            return bad + fileAppender("X", "x.log", "log4j.appender.X." + extra + '\n');
        };
        row("garbage lines",
            "@@@\n=\n===x\n\\\nlog4j.logger=\nlog4j.appender.=?\nlog4j.logger.bad=INFO, \n", false);
        row("unknown appender class",
            x + "NoSuchAppender\nlog4j.appender.X.layout=org.apache.log4j.SimpleLayout\n");
        row("daily rolling is not supported", x + "DailyRollingFileAppender\n");
        row("missing layout", x + file);
        row("unknown layout", x + file + "log4j.appender.X.layout=org.apache.log4j.XMLLayout\n");
        row("missing file", bad + fileAppender("X", ""));
        row("file in a folder two levels down", bad + fileAppender("X", "p/q/x.log"));
        row("unknown property Append", withX("Append=true"));
        row("bad flush value", withX("ImmediateFlush=maybe"));
        row("bad threshold", withX("Threshold=LOUD"));
        row("bad patterns", withX("layout.ConversionPattern=%q%d{%-"));
        row("invalid level", "log4j.logger.bad=LOUD\n");
        row("undefined appender", "log4j.logger.bad=INFO, Nowhere\n");
        row("bad substitution", "log4j.logger.bad=${oops\n");
    }
    void malformedConfiguration()
    {
        QFETCH(QString, bad);
        QFETCH(bool, reported);

        bool configured = false;
        const QString errors = stderrOf([&] {
            configured =
                configureFrom("log4j.logger.good=INFO, G\n" + fileAppender("G", "good.log") + bad);
        });
        QCOMPARE(!configured, reported);
        QCOMPARE(!errors.isEmpty(), reported);
        Logger::logger("bad")->info(QStringLiteral("anything"));
        Logger::logger("good")->info(QStringLiteral("works"));
        QCOMPARE(readText(QStringLiteral("good.log")), QStringLiteral("good:INFO:works\n"));
    }

    // The issue asks: the first line of a run is "the application is staring...".
    void shippedConfigurationWritesLogFile()
    {
        QVERIFY(PropertyConfigurator::configure(QStringLiteral(SHIPPED_PROPERTIES_FILE)));
        Logger::logger("RollingFile")->info(QStringLiteral("the application is staring..."));
        LogManager::shutdown(); // the file is written buffered
        const QString text = readText(QStringLiteral("logs/vks20.log"));
        const QRegularExpression line(QStringLiteral(
            "^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} \\[main\\] INFO  RollingFile - "
            "the application is staring\\.\\.\\.\\n$"));
        QVERIFY2(line.match(text).hasMatch(), qPrintable(text));
    }

private:
    std::unique_ptr<QTemporaryDir> mDir;
    QString mPreviousDir;
};

QTEST_GUILESS_MAIN(TestLogging)
#include "test_logging.moc"
