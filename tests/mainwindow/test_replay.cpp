// Replaying a capture in the window: the scan display follows the recording, stands still
// while paused, runs four times as fast at 4×, the monitor shows the recorded frames and
// nothing reaches any link; the export holds what the display shows.
#include "device/offlinereplay.h"
#include "device/scancsv.h"
#include "display/radarindicatorwidget.h"
#include "scancapture.h"

#include <QImage>
#include <QSlider>
#include <QTemporaryDir>

#include <algorithm>

using namespace ScanCapture;
constexpr int revolutions = 30;

class TestReplay : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    MainWindow window;
    ReplayLink *replay = window.findChild<ReplayLink *>();
    const RadarIndicatorWidget *scan =
        widget<RadarIndicatorWidget>(&window, "radarIndicatorWidget");

    QString path(const char *name) const { return dir.filePath(QLatin1String(name)); }
    // Plays from the start to the end and returns the wall time it took, or -1 when any record
    // was handed on before its recorded time divided by the speed: load may slow a replay, never
    // hurry it.
    qint64 millisecondsToPlay(double speed, const std::function<void()> &startPlaying)
    {
        QElapsedTimer clock;
        double earliestMs = 0;
        QObject listening;
        connect(replay, &ReplayLink::positionChanged, &listening, [&](qint64 positionUs) {
            const double dueMs = double(positionUs) / usPerMs / speed;
            earliestMs = std::max(earliestMs, dueMs - clock.nsecsElapsed() / 1e6);
        });
        QSignalSpy finished(replay, &ReplayLink::finished);
        clock.start();
        startPlaying();
        const qint64 playedMs = finished.wait(10000) ? clock.elapsed() : -1;
        return earliestMs > 0 ? -1 : playedMs;
    }

private slots:
    void initTestCase()
    {
        window.resize(1410, 948);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }

    void replaysPausesAndSeeksWithoutSendingAnything()
    {
        const QStringList commands = write(path("scan.pcap"), revolutions);
        QObject listening;
        QVector<ScanFrames> decoded;
        connect(window.findChild<DeviceSession *>(), &DeviceSession::revolutionDecoded, &listening,
                [&decoded](const ScanFrames &frames) { decoded.append(frames); });
        QVERIFY(millisecondsToPlay(
                    1, [this] { QVERIFY(window.replayCapture(path("scan.pcap"))); }) >= 0);

        QCOMPARE(DataGram(&window).sent(), commands);
        QCOMPARE(DataGram(&window).received().size(), revolutions + 1);
        QCOMPARE(replay->bytesDiscarded(), 0);
        QVERIFY(widget<QLineEdit>(&window, "lineEditDevName")->text().isEmpty());

        QVERIFY(window.exportScanCsv(path("scan.csv")) && window.exportScanPng(path("scan.png")));
        QFile table(path("scan.csv"));
        QVERIFY(table.open(QIODevice::ReadOnly));
        const QString rows = QString::fromUtf8(table.readAll()).remove(0, ScanCsv::header().size());
        QVERIFY(std::any_of(decoded.cbegin(), decoded.cend(), [&rows](const ScanFrames &frames) {
            return !frames.isEmpty() && rows == ScanCsv::rows(1, frames);
        }));
        QCOMPARE(QImage(path("scan.png")).size(), scan->size());

        widget<QComboBox>(&window, "comboBoxReplaySpeed")->setCurrentIndex(1);
        // Faster than the recording could ever play at 1×, and never ahead of 4×.
        const qint64 fourfoldMs = millisecondsToPlay(4, [this] { clickPlay(&window); });
        QVERIFY2(fourfoldMs >= 0 && fourfoldMs < replay->durationUs() / usPerMs,
                 qPrintable(QString::number(fourfoldMs)));

        widget<QComboBox>(&window, "comboBoxReplaySpeed")->setCurrentIndex(0);
        clickPlay(&window);
        QTRY_VERIFY(replay->positionUs() > revolutions * revolutionUs / 2);
        clickPlay(&window);
        const QImage paused = scan->canvas();
        const qint64 position = replay->positionUs();
        QTest::qWait(300);
        QCOMPARE(replay->positionUs(), position);
        QVERIFY(scan->canvas() == paused);
        QVERIFY(playedToTheEnd(&window));
        QVERIFY(scan->canvas() != paused);

        // A seek hands the records on from the event loop, and the session follows them as the
        // offline decoding does; a damaged capture says where, and the mode stays the recording's.
        const QString damaged = path("damaged.pcap");
        write(damaged, revolutions);
        QVERIFY(QFile::resize(damaged, QFileInfo(damaged).size() - 1));
        int offline = 0;
        OfflineReplay::decode(damaged, [&offline](int, qint64, const ScanFrames &) { ++offline; });
        QObject following;
        int followed = 0;
        connect(window.findChild<DeviceSession *>(), &DeviceSession::revolutionDecoded, &following,
                [&followed](const ScanFrames &, bool complete) { followed += complete; });
        QVERIFY(window.replayCapture(damaged));
        clickPlay(&window);
        QVERIFY(!widget<QComboBox>(&window, "comboBoxConnMode")->isEnabled());
        QCOMPARE(widget<QLabel>(&window, "labelLinkStatus")->text(),
                 QStringLiteral("捕获文件在第 33 条记录（第 1.4 秒）处损坏，只能回放到此处"));

        auto *slider = widget<QSlider>(&window, "horizontalSliderReplay");
        slider->setValue(slider->maximum());
        QCOMPARE(replay->positionUs(), 0);
        QTRY_COMPARE(replay->positionUs(), replay->durationUs());
        QCOMPARE(followed, offline);
    }
};

QTEST_MAIN(TestReplay)
#include "test_replay.moc"
