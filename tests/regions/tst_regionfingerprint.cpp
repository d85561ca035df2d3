#include "regions/regionfingerprint.h"

#include <QtTest>

#include <functional>

namespace {

using Change = std::function<void(RegionStore &)>;

RegionStore someRegions()
{
    RegionStore store = Regions::initialStore();
    store[4][1].polygon = QVector<QPointF>{QPointF(500.4, -100), QPointF(-800, 1200)};
    store[4][1].alarmPointNum = 9;
    return store;
}

} // namespace

Q_DECLARE_METATYPE(Change)

// The fingerprint follows what the device holds and nothing else; that a file and the device
// after writing it share one is the command-line suite's end-to-end run.
class RegionFingerprintTest : public QObject
{
    Q_OBJECT

private slots:
    void followsWhatDeviceHolds_data()
    {
        QTest::addColumn<Change>("change");
        QTest::addColumn<bool>("changed");
        QTest::newRow("colour") << Change([](RegionStore &s) { s[4][1].color = Qt::cyan; })
                                << false;
        QTest::newRow("part of a millimetre")
            << Change([](RegionStore &s) { s[4][1].polygon[0].rx() += 0.5; }) << false;
        QTest::newRow("entry order")
            << Change([](RegionStore &s) { std::swap(s[4][1].polygon[0], s[4][1].polygon[1]); })
            << false;
        QTest::newRow("one millimetre")
            << Change([](RegionStore &s) { s[4][1].polygon[1].ry() += 1; }) << true;
        QTest::newRow("one alarm point")
            << Change([](RegionStore &s) { s[4][1].alarmPointNum += 1; }) << true;
    }
    void followsWhatDeviceHolds()
    {
        QFETCH(Change, change);
        QFETCH(bool, changed);
        RegionStore store = someRegions();
        change(store);
        const QString before = RegionFingerprint::of(someRegions());
        QVERIFY(QRegularExpression(QStringLiteral("^[0-9a-f]{64}$")).match(before).hasMatch());
        QCOMPARE(RegionFingerprint::of(store) != before, changed);
    }
};

QTEST_GUILESS_MAIN(RegionFingerprintTest)
#include "tst_regionfingerprint.moc"
