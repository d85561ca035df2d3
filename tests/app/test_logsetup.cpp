// Where the logging configuration and the logs are found: a build folder, and an installed
// program with and without XDG_STATE_HOME.
#include "app/logsetup.h"

#include <QDir>
#include <QFile>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>

#include <log4qt/logger.h>
#include <log4qt/logmanager.h>

class TestLogSetup : public QObject
{
    Q_OBJECT

private slots:
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

    // Installed: the shipped configuration writes both files into a state folder that did not
    // exist yet, and nothing under the working directory.
    void installedConfigurationWritesIntoTheStateFolder()
    {
        QTemporaryDir work;
        QVERIFY(QDir::setCurrent(work.path()));
        const QString logFolder = work.filePath(QStringLiteral("state/vks20/logs"));
        QVERIFY(configureLogging({QStringLiteral(SHIPPED_PROPERTIES_FILE), logFolder}));
        Log4Qt::Logger::logger("RollingFile")->info(QStringLiteral("oneFrame data>>> A55A"));
        Log4Qt::Logger::logger("RollingFile")
            ->info(QStringLiteral("the application is staring..."));
        Log4Qt::LogManager::shutdown(); // the ring is written buffered
        QCOMPARE(QDir(logFolder).entryList(QDir::Files, QDir::Name),
                 QStringList({"vks20-trace.log", "vks20.log"}));
        QCOMPARE(QDir(work.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList{"state"});
    }
};

QTEST_GUILESS_MAIN(TestLogSetup)
#include "test_logsetup.moc"
