// Start-up as an operator meets it: real program processes, a real lock file, a real log.
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

// Generous: an instrumented build starts the program several times slower.
constexpr int startTimeoutMs = 60000;

// A child process, stopped if the test leaves before it ended. It is asked first, so an X
// server removes its lock and socket for the next one; the program dies of it, as it would
// of a kill, and leaves its lock file behind.
struct ChildProcess
{
    // `env` adds to the test's own environment, or overrides it ("NAME=value").
    ChildProcess(const QString &program, const QStringList &arguments,
                 const QStringList &env = QStringList(), const QString &workDir = QString())
    {
        process.setEnvironment(QProcess::systemEnvironment() + env);
        process.setWorkingDirectory(workDir);
        process.start(program, arguments);
    }
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
    QProcess process;
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
        return QLockFile(lockPath()).getLockInfo(&pid, &host, &application) &&
               pid == process.processId();
    }
    // The program in `dir`, with the lock file in the test's own folder.
    std::unique_ptr<ChildProcess> program(const QString &dir,
                                          const QStringList &env = {"QT_QPA_PLATFORM=offscreen"})
    {
        return std::make_unique<ChildProcess>(QStringLiteral(VKS20_PROGRAM), QStringList(),
                                              QStringList{"TMPDIR=" + lockDir.path()} + env, dir);
    }

private slots:
    void firstLogLineIsTheStartLine()
    {
        QFile properties(workDir.filePath(QStringLiteral("Log4Qt.properties")));
        QVERIFY(properties.open(QIODevice::WriteOnly));
        properties.write("log4j.logger.RollingFile=INFO, run\n"
                         "log4j.appender.run=org.apache.log4j.FileAppender\n"
                         "log4j.appender.run.File=run.log\n"
                         "log4j.appender.run.layout=org.apache.log4j.PatternLayout\n"
                         "log4j.appender.run.layout.ConversionPattern=%m%n\n");
        properties.close();
        const auto run = program(workDir.path());
        const auto logged = [&] {
            QFile log(workDir.filePath(QStringLiteral("run.log")));
            return log.open(QIODevice::ReadOnly) ? log.readAll().split('\n') : QList<QByteArray>();
        };
        // The main window's construction ends with this line.
        QTRY_VERIFY_WITH_TIMEOUT(logged().contains("Set region group index icon......"),
                                 startTimeoutMs);
        QVERIFY(lockHeldBy(run->process));
        QCOMPARE(logged().at(0), QByteArray("the application is staring..."));
        QVERIFY(logged().at(1).startsWith("findAvailablePorts >>> "));
    }

    // The instance before was killed and left its lock; without a logging configuration the
    // program still starts, takes the lock over and writes no file.
    void startsAgainWithoutLoggingConfiguration()
    {
        QVERIFY(QFile::exists(lockPath()));
        QTemporaryDir bare;
        const auto run = program(bare.path());
        QTRY_VERIFY_WITH_TIMEOUT(lockHeldBy(run->process), startTimeoutMs);
        QTest::qWait(500);
        QCOMPARE(run->process.state(), QProcess::Running);
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
        ChildProcess server(xvfb, {"-displayfd", "1", "-noreset", "-screen", "0", "1280x1024x24"});
        QTRY_VERIFY_WITH_TIMEOUT(server.process.canReadLine(), startTimeoutMs);
        const QString display = ':' + QString::fromLatin1(server.process.readLine()).trimmed();
        const auto xdo = [&](const QStringList &arguments) {
            ChildProcess run(xdotool, arguments, {"DISPLAY=" + display});
            run.process.waitForFinished(5000);
            return QString::fromLatin1(run.process.readAllStandardOutput());
        };
        QTRY_VERIFY_WITH_TIMEOUT(!xdo({"getdisplaygeometry"}).isEmpty(), startTimeoutMs);

        const auto first = program(workDir.path());
        QTRY_VERIFY_WITH_TIMEOUT(lockHeldBy(first->process), startTimeoutMs);
        const auto second = program(workDir.path(), {"QT_QPA_PLATFORM=xcb", "DISPLAY=" + display});
        const auto secondEnded = [&] { return second->process.state() == QProcess::NotRunning; };
        QString windowId;
        const auto promptShownOrEnded = [&] {
            windowId = xdo({"search", "--onlyvisible", "--name", "^Prompt$"}).section('\n', 0, 0);
            return !windowId.isEmpty() || secondEnded();
        };
        QTRY_VERIFY_WITH_TIMEOUT(promptShownOrEnded(), startTimeoutMs);
        QVERIFY2(!secondEnded(), second->process.readAllStandardError().constData());

        // No window manager runs here: focus the box directly, then press Enter. A slow
        // (instrumented) program may map the box before it takes keys, so press until it ends.
        const auto pressEnter = [&] {
            xdo({"windowfocus", "--sync", windowId, "key", "Return"});
            QTest::qWait(1000);
            return secondEnded();
        };
        QTRY_VERIFY_WITH_TIMEOUT(pressEnter(), startTimeoutMs);
        QCOMPARE(second->process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second->process.exitCode(), 0);
        QVERIFY(lockHeldBy(first->process));
    }
};

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
