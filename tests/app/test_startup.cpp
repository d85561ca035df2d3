// Start-up as an operator meets it: real program processes, a real lock file, a real log.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

namespace {

const QString program = QStringLiteral(VKS20_PROGRAM);

QProcessEnvironment environmentFor(const QString &tempDir, const QString &platform)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TMPDIR"), tempDir); // the lock file lives here
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
    return env;
}

// Generous: an instrumented build starts the program several times slower.
bool waitFor(const std::function<bool()> &condition, int timeoutMs = 60000)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.hasExpired(timeoutMs))
            return false;
        QTest::qWait(50);
    }
    return true;
}

// A child process that is stopped if the test leaves before it ended. It is asked first, so
// an X server removes its lock and socket for the next one.
struct ChildProcess
{
    QProcess process;
    ~ChildProcess()
    {
        if (process.state() == QProcess::NotRunning)
            return;
        process.terminate();
        if (!process.waitForFinished(5000)) {
            process.kill();
            process.waitForFinished(5000);
        }
    }
};

// Runs the program in `workDir`.
struct RunningProgram : ChildProcess
{
    RunningProgram(const QString &workDir, const QProcessEnvironment &env)
    {
        process.setWorkingDirectory(workDir);
        process.setProcessEnvironment(env);
        process.start(program, QStringList());
    }
};

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

    QTemporaryDir lockDir;
    QTemporaryDir workDir;

    QString lockPath() const { return lockDir.filePath(QStringLiteral("DorozIri.lock")); }
    // The lock names its holder; a lock left by an earlier, killed instance does not count.
    bool lockHeldBy(const QProcess &process) const
    {
        qint64 pid = 0;
        QString host, application;
        QLockFile lock(lockPath());
        return lock.getLockInfo(&pid, &host, &application) && pid == process.processId();
    }
    void writeProperties() const
    {
        QFile file(workDir.filePath(QStringLiteral("Log4Qt.properties")));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("log4j.logger.RollingFile=INFO, run\n"
                   "log4j.appender.run=org.apache.log4j.FileAppender\n"
                   "log4j.appender.run.File=run.log\n"
                   "log4j.appender.run.layout=org.apache.log4j.PatternLayout\n"
                   "log4j.appender.run.layout.ConversionPattern=%m%n\n");
    }

private slots:
    void firstLogLineIsTheStartLine()
    {
        writeProperties();
        RunningProgram run(workDir.path(), environmentFor(lockDir.path(), "offscreen"));
        QVERIFY(run.process.waitForStarted());
        QFile log(workDir.filePath(QStringLiteral("run.log")));
        // The main window's construction ends with this line.
        QVERIFY(waitFor([&] {
            QFile reader(log.fileName());
            return reader.open(QIODevice::ReadOnly) &&
                   reader.readAll().contains("Set region group index icon......");
        }));
        QVERIFY(lockHeldBy(run.process));
        QVERIFY(log.open(QIODevice::ReadOnly));
        QCOMPARE(log.readLine().trimmed(), QByteArray("the application is staring..."));
        QVERIFY(log.readLine().startsWith("findAvailablePorts >>> "));
    }

    void startsWithoutLoggingConfiguration()
    {
        QTemporaryDir bare;
        RunningProgram run(bare.path(), environmentFor(lockDir.path(), "offscreen"));
        QVERIFY(run.process.waitForStarted());
        QVERIFY(waitFor([&] { return lockHeldBy(run.process); }));
        QTest::qWait(500);
        QCOMPARE(run.process.state(), QProcess::Running);
        QCOMPARE(QDir(bare.path()).entryList(QDir::Files | QDir::NoDotAndDotDot), QStringList());
    }

    // The second instance shows its warning in a real window; xdotool answers it.
    void secondInstanceIsRefused()
    {
        const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        const QString xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
        if (xvfb.isEmpty() || xdotool.isEmpty())
            QSKIP("Xvfb and xdotool are needed to answer the second instance's warning");

        // -noreset: a server that resets whenever its last client (an xdotool) leaves refuses
        // the program's connection while it does.
        ChildProcess server;
        server.process.start(xvfb, {QStringLiteral("-displayfd"), QStringLiteral("1"),
                                    QStringLiteral("-noreset"), QStringLiteral("-screen"),
                                    QStringLiteral("0"), QStringLiteral("1280x1024x24")});
        QVERIFY(waitFor([&] { return server.process.canReadLine(); }));
        const QString display =
            QLatin1Char(':') + QString::fromLatin1(server.process.readLine()).trimmed();

        QProcessEnvironment xEnv = QProcessEnvironment::systemEnvironment();
        xEnv.insert(QStringLiteral("DISPLAY"), display);
        const auto xdo = [&](const QStringList &arguments) {
            QProcess run;
            run.setProcessEnvironment(xEnv);
            run.start(xdotool, arguments);
            run.waitForFinished(5000);
            return QString::fromLatin1(run.readAllStandardOutput());
        };
        QVERIFY(waitFor([&] { return !xdo({QStringLiteral("getdisplaygeometry")}).isEmpty(); }));

        RunningProgram first(workDir.path(), environmentFor(lockDir.path(), "offscreen"));
        QVERIFY(waitFor([&] { return lockHeldBy(first.process); }));

        QProcessEnvironment secondEnv = environmentFor(lockDir.path(), "xcb");
        secondEnv.insert(QStringLiteral("DISPLAY"), display);
        RunningProgram second(workDir.path(), secondEnv);

        const auto secondEnded = [&] { return second.process.state() == QProcess::NotRunning; };
        QString windowId;
        QVERIFY(waitFor([&] {
            windowId = xdo({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                            QStringLiteral("--name"), QStringLiteral("^Prompt$")})
                           .section('\n', 0, 0);
            return !windowId.isEmpty() || secondEnded();
        }));
        QVERIFY2(!secondEnded(), second.process.readAllStandardError().constData());

        // No window manager runs here: focus the box directly, then press Enter. A slow
        // (instrumented) program may map the box before it takes keys, so press until it ends.
        QVERIFY(waitFor([&] {
            xdo({QStringLiteral("windowfocus"), QStringLiteral("--sync"), windowId,
                 QStringLiteral("key"), QStringLiteral("Return")});
            QTest::qWait(1000);
            return secondEnded();
        }));
        QCOMPARE(second.process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.process.exitCode(), 0);
        QCOMPARE(first.process.state(), QProcess::Running);
    }

    // A lock left by an instance that is gone does not keep the next start out.
    void startsAgainAfterTheFirstInstanceEnded()
    {
        RunningProgram again(workDir.path(), environmentFor(lockDir.path(), "offscreen"));
        QVERIFY(again.process.waitForStarted());
        QTest::qWait(1500);
        QCOMPARE(again.process.state(), QProcess::Running);
    }
};

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
