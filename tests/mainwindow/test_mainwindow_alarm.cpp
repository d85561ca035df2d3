// Alarm status through the window: a recording of the simulator's room replayed with a small
// region (region 3, the tab the region page opens on) across the wall straight ahead. The scan
// page's strip and the marks under the replay slider show it alarming, a click on a mark seeks
// there, and dragging the region's far vertex back off the wall on the region page clears it.
#include "device/offlinereplay.h"
#include "display/alarmstatestrip.h"
#include "display/displaytestsupport.h"
#include "display/replayalarmmarks.h"
#include "regions/regiondocument.h"
#include "scancapture.h"

#include <QTemporaryDir>

using namespace ScanCapture;

namespace {

constexpr int revolutions = 20;

// The point of `revolution` nearest to straight ahead, in whole millimetres.
QPointF aheadOf(const ScanFrames &revolution)
{
    QPointF ahead(1e9, 0);
    for (const QVector<QPointF> &frame : revolution)
        for (const QPointF &point : frame)
            if (point.y() > 0 && qAbs(point.x()) < qAbs(ahead.x()))
                ahead = point;
    return ahead.toPoint();
}

} // namespace

class TestMainWindowAlarm : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;
    MainWindow window;
    RegionDocument *document = window.findChild<RegionDocument *>();
    ReplayLink *replay = window.findChild<ReplayLink *>();

    QString stripText(const char *strip)
    {
        return widget<AlarmStateStrip>(&window, strip)->regionText(2);
    }

private slots:
    void alarmsShowLiveOnARecordingAndWhileEditing()
    {
        window.resize(1410, 948);
        window.show();
        const QString capture = dir.filePath(QStringLiteral("room.pcap"));
        write(capture, revolutions);
        QVector<ScanFrames> decoded;
        QVERIFY(OfflineReplay::decode(
            capture, [&](int, qint64, const ScanFrames &r) { decoded.append(r); }));
        // Across the wall: the far vertex beyond it, the two near ones short of it.
        const QPointF wall = aheadOf(decoded.last());
        const QPointF far = wall + QPointF(0, 300);
        document->setVertexCount(
            1, 2, QVector<QPointF>{wall + QPointF(-300, -300), far, wall + QPointF(300, -300)});
        document->setAlarmPointNum(1, 2, 2);
        // The display shows one revolution in four; the wall's noise varies the count a little.
        QStringList alarming;
        for (const ScanFrames &revolution : decoded) {
            const RegionAlarmState state =
                AlarmEvaluator(document->store()[1]).evaluate(revolution)[2];
            QVERIFY(state.alarm);
            alarming << QStringLiteral("区域3：%1 / 2 告警").arg(state.pointsInside);
        }

        showPage(&window, 2);
        widget<QListWidget>(&window, "listWidgetRgnGroupIndex")->setCurrentRow(1);
        QTest::mouseClick(widget<QPushButton>(&window, "pushButtonAlarmState"), Qt::LeftButton);
        widget<QComboBox>(&window, "comboBoxReplaySpeed")->setCurrentIndex(2);
        QVERIFY(window.replayCapture(capture));
        QVERIFY(QSignalSpy(replay, &ReplayLink::finished).wait(10000));
        QVERIFY(alarming.contains(stripText("alarmStateStripScan")));

        // Every complete revolution alarms: one mark, from the first to the last.
        auto *marks = widget<ReplayAlarmMarks>(&window, "replayAlarmMarks");
        QVERIFY(QTest::qWaitFor([&] {
            return marks->spans().size() == 1 && marks->spans()[0].toUs == replay->durationUs();
        }));
        const AlarmSpan span = marks->spans().first();
        QTest::mouseClick(marks, Qt::LeftButton, {}, marks->markRect(span).center());
        QTRY_COMPARE(replay->positionUs(), span.fromUs);

        showPage(&window, 2);
        QVERIFY(playedToTheEnd(&window));
        QVERIFY(alarming.contains(stripText("alarmStateStripRegions")));
        auto *display = widget<RadarIndicatorWidget>(&window, "radarIndicatorWidgetDrawRgn");
        DisplayTest::hover(display, DisplayTest::pixelOf(*display, far));
        // 500 mm nearer
        DisplayTest::gesture(display, DisplayTest::pixelOf(*display, far), Qt::LeftButton,
                             {{0, 25}});
        QVERIFY(playedToTheEnd(&window));
        QCOMPARE(stripText("alarmStateStripRegions"), QStringLiteral("区域3：0 / 2 正常"));
    }
};

QTEST_MAIN(TestMainWindowAlarm)
#include "test_mainwindow_alarm.moc"
