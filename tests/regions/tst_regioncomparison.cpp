#include "regions/regioncomparison.h"
#include "regions/regionfingerprint.h"

#include <QtTest>

#include <functional>

namespace {

using Change = std::function<void(RegionStore &)>;

// Regions with what a writing changes: fractions, entry order, a count beyond one byte, colours.
RegionStore fileStore()
{
    RegionStore store = Regions::initialStore();
    store[3][0].polygon =
        QVector<QPointF>{QPointF(100.7, 50.2), QPointF(-100.9, 50), QPointF(0, 2000.5)};
    store[3][0].color = Qt::red;
    store[15][2].alarmPointNum = 300;
    return store;
}

// The same regions as the device holds them: angular order, millimetres truncated, one byte.
RegionStore deviceStore()
{
    RegionStore store = Regions::initialStore();
    store[3][0].polygon = QVector<QPointF>{QPointF(100, 50), QPointF(0, 2000), QPointF(-101, 50)};
    store[15][2].alarmPointNum = 300 - 256;
    return store;
}

} // namespace

Q_DECLARE_METATYPE(Change)

class RegionComparisonTest : public QObject
{
    Q_OBJECT

private slots:
    void namesEachDifferingRegionInSendingOrder_data()
    {
        QTest::addColumn<Change>("change");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("as written") << Change([](RegionStore &) {}) << QStringList();
        QTest::newRow("vertex lost") << Change([](RegionStore &s) { s[3][0].polygon.removeLast(); })
                                     << QStringList{"group 3 region 1: 2 vertices on the device, "
                                                    "3 in the file"};
        QTest::newRow("vertex moved")
            << Change([](RegionStore &s) { s[3][0].polygon[1].ry() -= 1; })
            << QStringList{"group 3 region 1: vertex 2 at (0, 1999) on the device, (0, 2000) in "
                           "the file"};
        QTest::newRow("alarm count, and a vertex before it")
            << Change([](RegionStore &s) {
                   s[15][2].alarmPointNum = 9;
                   s[1][1].polygon << QPointF(5, 5);
               })
            << QStringList{"group 1 region 2: 1 vertex on the device, 0 in the file",
                           "group 15 region 3: 9 alarm points on the device, 300 in the file"};
    }
    void namesEachDifferingRegionInSendingOrder()
    {
        QFETCH(Change, change);
        QFETCH(QStringList, expected);
        RegionStore device = deviceStore();
        change(device);
        QStringList texts;
        for (const RegionDifference &difference :
             RegionComparison::differences(device, fileStore())) {
            texts << difference.text;
            QVERIFY(difference.text.startsWith(QStringLiteral("group %1 region %2:")
                                                   .arg(difference.group)
                                                   .arg(difference.region)));
        }
        QCOMPARE(texts, expected);
        // The fingerprint names what the device holds: colours, fractions, entry order and the
        // count's lost high byte leave it, any held difference changes it.
        const QString written = RegionFingerprint::of(fileStore());
        QVERIFY(QRegularExpression(QStringLiteral("^[0-9a-f]{64}$")).match(written).hasMatch());
        QCOMPARE(RegionFingerprint::of(device) == written, expected.isEmpty());
    }
};

QTEST_GUILESS_MAIN(RegionComparisonTest)
#include "tst_regioncomparison.moc"
