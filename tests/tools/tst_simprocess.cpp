#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int waitMs = 5000;

// The symlink's own inode: replacing the link by a rename gives it a new one.
ino_t linkInode(const QString &path)
{
    struct stat info = {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

// Reads until `count` bytes came, the line hung up, or it stayed quiet for waitMs.
QByteArray readFrom(int fd, int count)
{
    QByteArray bytes;
    char buffer[4096];
    pollfd ready = {fd, POLLIN, 0};
    while (bytes.size() < count && ::poll(&ready, 1, waitMs) == 1) {
        const ssize_t got = ::read(fd, buffer, size_t(qMin(count - bytes.size(), 4096)));
        if (got <= 0)
            break;
        bytes.append(buffer, int(got));
    }
    return bytes;
}

} // namespace

// The simulator as its own process; the program's whole conversation with it is the e2e suite's.
class TestSimProcess : public QObject
{
    Q_OBJECT

private slots:
    // The simulator never serves, and so never draws traffic to, anything but loopback.
    void nonLoopbackAddressIsRefused()
    {
        QProcess sim;
        const QStringList refused = {"--udp", "192.168.1.102:502"};
        sim.start(QStringLiteral(VKS20_SIM_PROGRAM), refused);
        QVERIFY(sim.waitForFinished(waitMs));
        QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
        QCOMPARE(sim.exitCode(), 2);
        QVERIFY(sim.readAllStandardError().contains("loopback"));
        QVERIFY(sim.readAllStandardOutput().isEmpty());
    }

    // The cable comes out while scanning and back in on a fresh pty behind the same link.
    void pulledCableComesBackBehindTheLink()
    {
        QTemporaryDir dir;
        const QString link = dir.filePath(QStringLiteral("ttyVKS"));
        QProcess sim;
        sim.start(QStringLiteral(VKS20_SIM_PROGRAM),
                  {"--serial", "--pty-link", link, "--cable-pull-after-scan", "100", "--come-back",
                   "300"});
        QVERIFY(sim.waitForReadyRead(waitMs));
        const QByteArray linkName = QFile::encodeName(link);
        QCOMPARE(sim.readLine(), "PTY " + linkName + '\n');
        QVERIFY(QFileInfo(link).symLinkTarget().startsWith(QLatin1String("/dev/pts/")));
        const ino_t pulledLink = linkInode(link);

        const int pulled = ::open(linkName.constData(), O_RDWR | O_NOCTTY);
        QVERIFY(pulled >= 0);
        QCOMPARE(::write(pulled, "\xFF\x00\xFF\xA1\x00", 5), ssize_t(5)); // start
        QVERIFY(!readFrom(pulled, 1 << 20).isEmpty()); // the stream, until the cable comes out
        pollfd line = {pulled, POLLIN, 0};
        QVERIFY(::poll(&line, 1, 0) == 1 && (line.revents & POLLHUP));
        ::close(pulled);

        QTRY_VERIFY_WITH_TIMEOUT(linkInode(link) != pulledLink, waitMs);
        QCOMPARE(sim.state(), QProcess::Running);
        const int back = ::open(linkName.constData(), O_RDWR | O_NOCTTY);
        QVERIFY(back >= 0);
        QCOMPARE(::write(back, "\xA5\x5A\x04\x9C\xFA\xFB", 6), ssize_t(6)); // stop
        QCOMPARE(readFrom(back, 6), QByteArray::fromHex("A55A0098FAFB"));
        ::close(back);
    }
};

QTEST_GUILESS_MAIN(TestSimProcess)
#include "tst_simprocess.moc"
