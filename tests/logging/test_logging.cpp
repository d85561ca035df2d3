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
#include <memory>
#include <unistd.h>

using namespace Log4Qt;

namespace {

// Redirects the process's stderr into a file for as long as it lives.
class StderrCapture
{
public:
    StderrCapture()
    {
        mFile.open();
        std::fflush(stderr);
        mSaved = dup(STDERR_FILENO);
        dup2(mFile.handle(), STDERR_FILENO);
    }
    ~StderrCapture() { restore(); }
    QString text()
    {
        restore();
        mFile.seek(0);
        return QString::fromLocal8Bit(mFile.readAll());
    }

private:
    void restore()
    {
        if (mSaved < 0)
            return;
        std::fflush(stderr);
        dup2(mSaved, STDERR_FILENO);
        close(mSaved);
        mSaved = -1;
    }
    QTemporaryFile mFile;
    int mSaved = -1;
};

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

QString fileAppender(const QString &name, const QString &file, const QString &extra = QString())
{
    const QString a = QStringLiteral("log4j.appender.") + name;
    return a + QStringLiteral("=org.apache.log4j.FileAppender\n") + a + QStringLiteral(".File=") +
           file + QLatin1Char('\n') + a +
           QStringLiteral(".layout=org.apache.log4j.PatternLayout\n") + a +
           QStringLiteral(".layout.ConversionPattern=%c:%p:%m%n\n") + extra;
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
    void init();
    void cleanup();

    void propertiesSyntax_data();
    void propertiesSyntax();
    void substitution_data();
    void substitution();
    void fileSize_data();
    void fileSize();
    void patternConversion_data();
    void patternConversion();
    void fixedLayouts_data();
    void fixedLayouts();

    void loggerIdentityAndHierarchy();
    void routing_data();
    void routing();
    void reconfigureKeepsLevelAndReplacesAppenders();
    void argumentsAreApplied();

    void rollingKeepsBackupCount_data();
    void rollingKeepsBackupCount();
    void appendFile_data();
    void appendFile();
    void missingPropertiesFileChangesNothing();
    void unconfiguredLoggingIsDropped();
    void malformedConfiguration_data();
    void malformedConfiguration();
    void shippedConfigurationWritesLogFile();

private:
    std::unique_ptr<QTemporaryDir> mDir;
    QString mPreviousDir;
};

void TestLogging::init()
{
    LogManager::resetConfiguration();
    mDir = std::make_unique<QTemporaryDir>();
    mPreviousDir = QDir::currentPath();
    QVERIFY(QDir::setCurrent(mDir->path()));
}

void TestLogging::cleanup()
{
    LogManager::resetConfiguration(); // closes the files before the folder goes
    QDir::setCurrent(mPreviousDir);
    mDir.reset();
}

void TestLogging::propertiesSyntax_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("count");

    QTest::newRow("equals") << "a=b"
                            << "a"
                            << "b" << 1;
    QTest::newRow("colon") << "a:b"
                           << "a"
                           << "b" << 1;
    QTest::newRow("whitespace") << "a   b"
                                << "a"
                                << "b" << 1;
    QTest::newRow("spaces around separator") << "  a\t =  b c  "
                                             << "a"
                                             << "b c  " << 1;
    QTest::newRow("comments") << "# x=1\n  ! y=2\na=1"
                              << "a"
                              << "1" << 1;
    QTest::newRow("blank lines") << "\n\n  \na=1\n\n"
                                 << "a"
                                 << "1" << 1;
    QTest::newRow("continuation") << "a=x\\\n   y\\\n\tz\nb=2"
                                  << "a"
                                  << "xyz" << 2;
    QTest::newRow("escaped backslash ends line") << "a=x\\\\\nb=2"
                                                 << "a"
                                                 << "x\\" << 2;
    QTest::newRow("comment does not continue") << "# c \\\na=1"
                                               << "a"
                                               << "1" << 1;
    QTest::newRow("escaped separator in key") << "a\\=b=c"
                                              << "a=b"
                                              << "c" << 1;
    QTest::newRow("escapes") << "a=\\u0041\\t\\q"
                             << "a"
                             << "A\tq" << 1;
    QTest::newRow("crlf") << "a=1\r\nb=2\r\n"
                          << "b"
                          << "2" << 2;
    QTest::newRow("empty value") << "a=\nb"
                                 << "b"
                                 << "" << 2;
    QTest::newRow("continuation at end") << "a=x\\"
                                         << "a"
                                         << "x" << 1;
}

void TestLogging::propertiesSyntax()
{
    QFETCH(QString, text);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(int, count);

    Properties properties;
    properties.load(text);
    QCOMPARE(properties.size(), count);
    QVERIFY(properties.contains(key));
    QCOMPARE(properties.property(key), value);
}

void TestLogging::substitution_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("reportsError");

    QTest::newRow("plain") << "v=logs"
                           << "logs" << false;
    QTest::newRow("one key") << "dir=logs\nv=${dir}/vks.log"
                             << "logs/vks.log" << false;
    QTest::newRow("nested") << "a=x\nb=${a}y\nv=${b}${a}"
                            << "xyx" << false;
    QTest::newRow("unknown key is empty") << "v=a${nope}b"
                                          << "ab" << false;
    QTest::newRow("unclosed") << "v=a${dir"
                              << "a${dir" << true;
    QTest::newRow("cycle") << "a=${v}\nv=x${a}"
                           << "x" << true;
}

void TestLogging::substitution()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QFETCH(bool, reportsError);

    Properties properties;
    properties.load(text);
    StderrCapture capture;
    QCOMPARE(OptionConverter::findAndSubst(properties, QStringLiteral("v")), expected);
    QCOMPARE(!capture.text().isEmpty(), reportsError);
}

void TestLogging::fileSize_data()
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

void TestLogging::fileSize()
{
    QFETCH(QString, option);
    QFETCH(qint64, expected);
    StderrCapture capture;
    QCOMPARE(OptionConverter::toFileSize(option, -7), expected);
    QCOMPARE(capture.text().isEmpty(), expected != -7);
}

void TestLogging::patternConversion_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<qint64>("timeStamp");
    QTest::addColumn<QString>("expected");

    const qint64 relative = LoggingEvent::startTime() + 1234;
    QTest::newRow("message and line") << "%m%n" << fixedTime << "hello\n";
    QTest::newRow("level") << "%p" << fixedTime << "INFO";
    QTest::newRow("left justified") << "%-5p|" << fixedTime << "INFO |";
    QTest::newRow("right justified") << "%5p|" << fixedTime << " INFO|";
    QTest::newRow("precision keeps the end") << "%.2p" << fixedTime << "FO";
    QTest::newRow("width and precision") << "%-7.3p|" << fixedTime << "NFO    |";
    QTest::newRow("category") << "%c" << fixedTime << "vks.link.serial";
    QTest::newRow("category last part") << "%c{1}" << fixedTime << "serial";
    QTest::newRow("category last two") << "%c{2}" << fixedTime << "link.serial";
    QTest::newRow("category more parts than name") << "%c{9}" << fixedTime << "vks.link.serial";
    QTest::newRow("category width") << "%20c" << fixedTime << "     vks.link.serial";
    QTest::newRow("category precision") << "%.6c" << fixedTime << "serial";
    QTest::newRow("date format") << "%d{yyyy-MM-dd hh:mm:ss.zzz}" << fixedTime
                                 << "2024-03-05 07:08:09.045";
    QTest::newRow("date default") << "%d" << fixedTime << "2024-03-05 07:08:09.045";
    QTest::newRow("ISO8601") << "%d{ISO8601}" << fixedTime << "2024-03-05 07:08:09.045";
    QTest::newRow("ABSOLUTE") << "%d{ABSOLUTE}" << fixedTime << "07:08:09.045";
    QTest::newRow("DATE") << "%d{DATE}" << fixedTime << "05 Mar 2024 07:08:09.045";
    QTest::newRow("RELATIVE") << "%d{RELATIVE}" << relative << "1234";
    QTest::newRow("elapsed") << "%r ms" << relative << "1234 ms";
    QTest::newRow("thread") << "[%t]" << fixedTime << "[main]";
    QTest::newRow("contexts are empty") << "<%x|%X{user}|%-3x>" << fixedTime << "<||   >";
    QTest::newRow("percent") << "100%% %m" << fixedTime << "100% hello";
    QTest::newRow("padded message") << "[%-8m][%8m]" << fixedTime << "[hello   ][   hello]";
    QTest::newRow("shipped layout")
        << "%d{yyyy-MM-dd hh:mm:ss.zzz} [%t] %-5p %c - %m%n" << fixedTime
        << "2024-03-05 07:08:09.045 [main] INFO  vks.link.serial - hello\n";
}

void TestLogging::patternConversion()
{
    QFETCH(QString, pattern);
    QFETCH(qint64, timeStamp);
    QFETCH(QString, expected);

    const PatternFormatter formatter(pattern);
    QString out = QStringLiteral(">");
    formatter.format(sampleEvent(timeStamp), out);
    QCOMPARE(out, QLatin1Char('>') + expected);
    out.clear();
    formatter.format(sampleEvent(timeStamp), out); // cached values give the same text
    QCOMPARE(out, expected);
}

void TestLogging::fixedLayouts_data()
{
    QTest::addColumn<bool>("simple");
    QTest::addColumn<QStringList>("properties");
    QTest::addColumn<QString>("expected");

    QTest::newRow("simple") << true << QStringList() << "INFO - hello\n";
    QTest::newRow("TTCC default") << false << QStringList()
                                  << "1234 [main] INFO  vks.link.serial  - hello\n";
    QTest::newRow("TTCC without context") << false << QStringList{"ContextPrinting", "false"}
                                          << "1234 [main] INFO  vks.link.serial - hello\n";
    QTest::newRow("TTCC bare") << false << QStringList{"threadprinting",    "false",
                                                       "CategoryPrefixing", "disabled",
                                                       "ContextPrinting",   "0"}
                               << "1234 INFO  - hello\n";
    QTest::newRow("TTCC date format")
        << false << QStringList{"DateFormat", "ABSOLUTE", "ContextPrinting", "false"}
        << "%ABS [main] INFO  vks.link.serial - hello\n";
}

void TestLogging::fixedLayouts()
{
    QFETCH(bool, simple);
    QFETCH(QStringList, properties);
    QFETCH(QString, expected);

    std::unique_ptr<Layout> layout;
    if (simple)
        layout = std::make_unique<SimpleLayout>();
    else
        layout = std::make_unique<TTCCLayout>();
    for (int i = 0; i + 1 < properties.size(); i += 2)
        QVERIFY(layout->setProperty(properties.at(i), properties.at(i + 1)));
    QVERIFY(!layout->setProperty(QStringLiteral("NoSuchProperty"), QStringLiteral("1")));

    const qint64 time = LoggingEvent::startTime() + 1234;
    expected.replace(QLatin1String("%ABS"),
                     QDateTime::fromMSecsSinceEpoch(time).toString(QStringLiteral("hh:mm:ss.zzz")));
    QString out;
    layout->format(sampleEvent(time), out);
    QCOMPARE(out, expected);
}

void TestLogging::loggerIdentityAndHierarchy()
{
    Logger *child = Logger::logger(QStringLiteral("p.q.r"));
    QCOMPARE(Logger::logger("p.q.r"), child);
    QCOMPARE(LogManager::logger(QStringLiteral("p.q.r")), child);
    QCOMPARE(child->name(), QStringLiteral("p.q.r"));
    QCOMPARE(child->parentLogger(), Logger::logger("p.q"));
    QCOMPARE(child->parentLogger()->parentLogger(), Logger::logger("p"));
    QCOMPARE(Logger::logger("p")->parentLogger(), Logger::rootLogger());
    QCOMPARE(Logger::rootLogger()->level(), Level(Level::DEBUG_INT));
}

void TestLogging::routing_data()
{
    QTest::addColumn<QString>("logger");
    QTest::addColumn<int>("level");
    QTest::addColumn<QStringList>("files");

    const QStringList none;
    QTest::newRow("root level passes") << "z" << int(Level::WARN_INT) << QStringList{"root"};
    QTest::newRow("root level blocks") << "z" << int(Level::INFO_INT) << none;
    QTest::newRow("own level, additive") << "a" << int(Level::INFO_INT) << QStringList{"a", "root"};
    QTest::newRow("inherited level") << "a.b" << int(Level::INFO_INT) << QStringList{"a", "root"};
    QTest::newRow("below inherited level") << "a.b" << int(Level::DEBUG_INT) << none;
    QTest::newRow("grandchild level")
        << "a.b.c" << int(Level::DEBUG_INT) << QStringList{"a", "root"};
    QTest::newRow("not additive") << "x" << int(Level::INFO_INT) << QStringList{"a"};
    QTest::newRow("child of not additive") << "x.y" << int(Level::FATAL_INT) << QStringList{"a"};
    QTest::newRow("category alias blocks") << "k" << int(Level::WARN_INT) << none;
    QTest::newRow("category alias passes")
        << "k" << int(Level::ERROR_INT) << QStringList{"a", "root"};
    QTest::newRow("threshold blocks") << "t" << int(Level::WARN_INT) << QStringList{"root"};
    QTest::newRow("threshold passes") << "t" << int(Level::ERROR_INT) << QStringList{"t", "root"};
    QTest::newRow("off") << "o" << int(Level::FATAL_INT) << none;
}

void TestLogging::routing()
{
    QFETCH(QString, logger);
    QFETCH(int, level);
    QFETCH(QStringList, files);

    QVERIFY(configureFrom(QStringLiteral("log4j.rootLogger=WARN, R\n"
                                         "log4j.logger.a=info, A\n"
                                         "log4j.logger.a.b.c=DEBUG\n"
                                         "log4j.logger.x=INFO, A\n"
                                         "log4j.additivity.x=false\n"
                                         "log4j.category.k=ERROR, A\n"
                                         "log4j.logger.t=ALL, T\n"
                                         "log4j.logger.o=OFF\n") +
                          fileAppender(QStringLiteral("R"), QStringLiteral("root.log")) +
                          fileAppender(QStringLiteral("A"), QStringLiteral("a.log")) +
                          fileAppender(QStringLiteral("T"), QStringLiteral("t.log"),
                                       QStringLiteral("log4j.appender.T.Threshold=ERROR\n"))));

    const Level messageLevel(static_cast<Level::Value>(level));
    QCOMPARE(Logger::logger(logger)->isEnabledFor(messageLevel), !files.isEmpty());
    Logger::logger(logger)->log(messageLevel, QStringLiteral("message"));
    const QString line = logger + QLatin1Char(':') + messageLevel.toString() + ":message\n";
    for (const QString &file : QStringList{"root", "a", "t"})
        QCOMPARE(readText(file + QStringLiteral(".log")), files.contains(file) ? line : QString());
}

void TestLogging::reconfigureKeepsLevelAndReplacesAppenders()
{
    QVERIFY(configureFrom(QStringLiteral("log4j.logger.q=ERROR, A\n") +
                          fileAppender(QStringLiteral("A"), QStringLiteral("a.log"))));
    QVERIFY(configureFrom(QStringLiteral("log4j.logger.q=, B\n") +
                          fileAppender(QStringLiteral("B"), QStringLiteral("b.log"))));
    Logger *q = Logger::logger("q");
    q->warn(QStringLiteral("dropped"));
    q->error(QStringLiteral("kept"));
    QCOMPARE(q->level(), Level(Level::ERROR_INT));
    QCOMPARE(readText(QStringLiteral("a.log")), QString());
    QCOMPARE(readText(QStringLiteral("b.log")), QStringLiteral("q:ERROR:kept\n"));
}

void TestLogging::argumentsAreApplied()
{
    QVERIFY(configureFrom(QStringLiteral("log4j.rootLogger=INFO, A\n") +
                          fileAppender(QStringLiteral("A"), QStringLiteral("a.log"))));
    Logger::logger("v")->info(QStringLiteral("got %1 bytes from %2"), 213, QStringLiteral("A55A"));
    Logger::logger("v")->debug(QStringLiteral("dropped %1"), 1);
    QCOMPARE(readText(QStringLiteral("a.log")), QStringLiteral("v:INFO:got 213 bytes from A55A\n"));
}

void TestLogging::rollingKeepsBackupCount_data()
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

void TestLogging::rollingKeepsBackupCount()
{
    QFETCH(int, maxBackupIndex);
    QFETCH(int, lineCount);
    QFETCH(QStringList, files);

    QVERIFY(configureFrom(QStringLiteral("log4j.rootLogger=INFO, F\n"
                                         "log4j.appender.F=Log4Qt::RollingFileAppender\n"
                                         "log4j.appender.F.File=roll.log\n"
                                         "log4j.appender.F.MaxFileSize=100\n"
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
        for (const QString &number : files.at(i).split(QLatin1Char(' '), Qt::SkipEmptyParts))
            expected += number.leftJustified(49) + QLatin1Char('\n');
        QVERIFY2(QFile::exists(name), qPrintable(name));
        QCOMPARE(readText(name), expected);
    }
    QVERIFY(
        !QFile::exists(QStringLiteral("roll.log.%1").arg(qMax(files.size(), maxBackupIndex + 1))));
}

void TestLogging::appendFile_data()
{
    QTest::addColumn<QString>("appenderClass");
    QTest::addColumn<QString>("appendFile"); // empty: property not given
    QTest::addColumn<QString>("content");
    QTest::addColumn<QString>("backup");

    QTest::newRow("file default truncates") << "FileAppender"
                                            << ""
                                            << "new\n"
                                            << "";
    QTest::newRow("file truncates") << "FileAppender"
                                    << "false"
                                    << "new\n"
                                    << "";
    QTest::newRow("file appends") << "FileAppender"
                                  << "true"
                                  << "old\nnew\n"
                                  << "";
    QTest::newRow("rolling default rolls over") << "RollingFileAppender"
                                                << ""
                                                << "new\n"
                                                << "old\n";
    QTest::newRow("rolling appends") << "RollingFileAppender"
                                     << "true"
                                     << "old\nnew\n"
                                     << "";
}

void TestLogging::appendFile()
{
    QFETCH(QString, appenderClass);
    QFETCH(QString, appendFile);
    QFETCH(QString, content);
    QFETCH(QString, backup);

    writeText(QStringLiteral("app.log"), QStringLiteral("old\n"));
    QString text = QStringLiteral("log4j.rootLogger=INFO, F\n"
                                  "log4j.appender.F=org.apache.log4j.%1\n"
                                  "log4j.appender.F.File=app.log\n"
                                  "log4j.appender.F.layout=org.apache.log4j.PatternLayout\n"
                                  "log4j.appender.F.layout.ConversionPattern=%m%n\n")
                       .arg(appenderClass);
    if (!appendFile.isEmpty())
        text += QStringLiteral("log4j.appender.F.AppendFile=") + appendFile;
    QVERIFY(configureFrom(text));
    Logger::logger("f")->info(QStringLiteral("new"));
    QCOMPARE(readText(QStringLiteral("app.log")), content);
    QCOMPARE(QFile::exists(QStringLiteral("app.log.1")), !backup.isEmpty());
    QCOMPARE(readText(QStringLiteral("app.log.1")), backup);
}

void TestLogging::missingPropertiesFileChangesNothing()
{
    QVERIFY(configureFrom(QStringLiteral("log4j.rootLogger=INFO, A\n") +
                          fileAppender(QStringLiteral("A"), QStringLiteral("a.log"))));
    StderrCapture capture;
    QVERIFY(!PropertyConfigurator::configure(QStringLiteral("missing.properties")));
    QVERIFY(capture.text().contains(
        QStringLiteral("Unable to open property file 'missing.properties'")));
    Logger::logger("m")->info(QStringLiteral("still here"));
    QCOMPARE(readText(QStringLiteral("a.log")), QStringLiteral("m:INFO:still here\n"));
}

void TestLogging::unconfiguredLoggingIsDropped()
{
    StderrCapture capture;
    Logger *logger = Logger::logger("RollingFile");
    QVERIFY(!logger->isEnabledFor(Level::FATAL_INT));
    logger->info(QStringLiteral("nowhere"));
    logger->fatal(QStringLiteral("nowhere"));
    QCOMPARE(capture.text(), QString());
    QCOMPARE(QDir::current().entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot),
             QStringList());
}

void TestLogging::malformedConfiguration_data()
{
    QTest::addColumn<QString>("bad");
    QTest::addColumn<bool>("reported");

    QTest::newRow("garbage lines") << "@@@\n=\n===x\n\\\nlog4j.logger=\nlog4j.appender.=?\n"
                                      "log4j.logger.bad=INFO, \n"
                                   << false;
    QTest::newRow("unknown appender class")
        << "log4j.logger.bad=INFO, X\nlog4j.appender.X=org.apache.log4j.NoSuchAppender\n"
           "log4j.appender.X.layout=org.apache.log4j.SimpleLayout\n"
        << true;
    QTest::newRow("daily rolling is not supported")
        << "log4j.logger.bad=INFO, X\nlog4j.appender.X=org.apache.log4j.DailyRollingFileAppender\n"
        << true;
    QTest::newRow("missing layout")
        << "log4j.logger.bad=INFO, X\nlog4j.appender.X=org.apache.log4j.FileAppender\n"
           "log4j.appender.X.File=bad.log\n"
        << true;
    QTest::newRow("unknown layout")
        << "log4j.logger.bad=INFO, X\nlog4j.appender.X=org.apache.log4j.FileAppender\n"
           "log4j.appender.X.File=bad.log\nlog4j.appender.X.layout=org.apache.log4j.XMLLayout\n"
        << true;
    QTest::newRow("missing file") << "log4j.logger.bad=INFO, X\n" +
                                         fileAppender(QStringLiteral("X"), QString())
                                  << true;
    QTest::newRow("file in a folder two levels down")
        << "log4j.logger.bad=INFO, X\n" +
               fileAppender(QStringLiteral("X"), QStringLiteral("p/q/x.log"))
        << true;
    QTest::newRow("unknown property Append")
        << "log4j.logger.bad=INFO, X\n" +
               fileAppender(QStringLiteral("X"), QStringLiteral("x.log"),
                            QStringLiteral("log4j.appender.X.Append=true\n"))
        << true;
    QTest::newRow("bad values") << "log4j.logger.bad=INFO, X\n" +
                                       fileAppender(
                                           QStringLiteral("X"), QStringLiteral("x.log"),
                                           QStringLiteral("log4j.appender.X.ImmediateFlush=maybe\n"
                                                          "log4j.appender.X.Threshold=LOUD\n"))
                                << true;
    QTest::newRow("invalid level") << "log4j.logger.bad=LOUD\n" << true;
    QTest::newRow("undefined appender") << "log4j.logger.bad=INFO, Nowhere\n" << true;
    QTest::newRow("bad patterns")
        << "log4j.logger.bad=INFO, X\n" +
               fileAppender(QStringLiteral("X"), QStringLiteral("x.log"),
                            QStringLiteral("log4j.appender.X.layout.ConversionPattern=%q%d{%-\n"))
        << true;
    QTest::newRow("bad substitution") << "log4j.logger.bad=${oops\n" << true;
}

void TestLogging::malformedConfiguration()
{
    QFETCH(QString, bad);
    QFETCH(bool, reported);

    StderrCapture capture;
    QCOMPARE(!configureFrom(QStringLiteral("log4j.logger.good=INFO, G\n") +
                            fileAppender(QStringLiteral("G"), QStringLiteral("good.log")) + bad),
             reported);
    QCOMPARE(!capture.text().isEmpty(), reported);
    Logger::logger("bad")->info(QStringLiteral("anything"));
    Logger::logger("good")->info(QStringLiteral("works"));
    QCOMPARE(readText(QStringLiteral("good.log")), QStringLiteral("good:INFO:works\n"));
}

void TestLogging::shippedConfigurationWritesLogFile()
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

QTEST_GUILESS_MAIN(TestLogging)
#include "test_logging.moc"
