#include "regions/region.h"
#include "regions/regionfile.h"

#include <QtTest>

#include <csignal>
#include <sys/resource.h>

namespace {

// A group of empty regions takes 4 + 3 * 19 bytes in the file.
constexpr int emptyGroupBytes = 61;

RegionStore variedStore()
{
    RegionStore store = Regions::initialStore();
    store[1][0].polygon = QVector<QPointF>{QPointF(0.25, -0.5), QPointF(-1234.9, 56.7)};
    store[1][1].color = QColor(1, 2, 3, 0);
    store[1][1].alarmPointNum = 0;
    store[7][2].color = QColor(0, 0, 0, 1);
    store[7][2].alarmPointNum = 255;
    store[7][2].polygon = QVector<QPointF>{QPointF(1e-9, 19999.999999), QPointF(-20000, 0)};
    store[15][0].color = QColor(12, 34, 56, 255);
    store[15][0].alarmPointNum = 1000;
    for (int i = 0; i < Regions::maxVertices; ++i)
        store[15][0].polygon << QPointF(i * 0.1, -i * 3.3);
    return store;
}

// The image with `bytes` big-endian bytes of value written at offset.
QByteArray patched(QByteArray image, int offset, qint32 value, int bytes = 4)
{
    for (int i = 0; i < bytes; ++i)
        image[offset + i] = char(quint32(value) >> (8 * (bytes - 1 - i)));
    return image;
}

} // namespace

class RegionModelTest : public QObject
{
    Q_OBJECT

private slots:
    void saveWritesKnownImageOrFails()
    {
        const QByteArray image = imageOf(Regions::initialStore());
        QCOMPARE(image.size(), 915);
        QCOMPARE(
            image.left(23).toHex(' ').toUpper(),
            QByteArray("00 00 00 01 01 80 80 FF FF FA FA 00 00 00 00 00 00 00 00 00 00 00 05"));
        QCOMPARE(image.mid(14 * emptyGroupBytes, 4).toHex(), QByteArray("0000000f"));
        QVERIFY(!RegionFile::save(Regions::initialStore(), dir.filePath("absent/regions.dat")));
        QVERIFY(!RegionFile::save(Regions::initialStore(), dir.path())); // a directory
    }

    // A commit that cannot write leaves the old file whole. A file size limit stands in for a
    // full disk: the tests run as root, whom no permission keeps from writing.
    void failedCommitKeepsTheOldFile()
    {
        const QByteArray old = imageOf(Regions::initialStore());
        rlimit limit{};
        getrlimit(RLIMIT_FSIZE, &limit);
        const rlimit tight{64, limit.rlim_max};
        std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &tight), 0);
        const bool saved = RegionFile::save(variedStore(), dir.filePath("image.dat"));
        setrlimit(RLIMIT_FSIZE, &limit);
        QVERIFY(!saved);
        QFile kept(dir.filePath("image.dat"));
        QVERIFY(kept.open(QIODevice::ReadOnly) && kept.readAll() == old);
    }

    // A file replaces every group it names, a later record of a group an earlier one; a group
    // left out keeps its own.
    void loadReplacesTheGroupsNamed()
    {
        RegionStore store = Regions::initialStore();
        store[2][2].polygon << QPointF(7, 8);
        QVERIFY(RegionFile::load(writeFile(imageOf(variedStore())), store));
        QCOMPARE(store, variedStore());

        store[2][2].polygon << QPointF(7, 8);
        RegionStore inFile = Regions::initialStore();
        inFile[2][0].alarmPointNum = 22;
        RegionStore expected = inFile;
        expected[1] = inFile[2];
        expected[2] = store[2];
        // The second record names group 1 too.
        QVERIFY(RegionFile::load(writeFile(patched(imageOf(inFile), emptyGroupBytes, 1)), store));
        QCOMPARE(store, expected);
    }

    // Loading is all or nothing: a bad file must not leave a half-loaded store.
    void damagedFileLeavesStoreUnchanged_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray image = imageOf(variedStore());
        QTest::newRow("no file") << QByteArray();
        for (int size = 0; size < image.size(); size += 37)
            QTest::addRow("truncated to %d", size) << image.left(size);
        QTest::newRow("last byte missing") << image.chopped(1);
        QTest::newRow("key 0") << patched(image, 0, 0);
        QTest::newRow("key 16") << patched(image, 0, 16);
        RegionStore tooMany = Regions::initialStore();
        tooMany[9][1].polygon = QVector<QPointF>(Regions::maxVertices + 1, QPointF(1, 1));
        QTest::newRow("31 vertices") << imageOf(tooMany);
        // A huge count must be refused before anything is reserved for it.
        QTest::newRow("vertex count 0xFFFFFFFF") << patched(image, 4 + 11, -1);
        QTest::newRow("invalid colour") << patched(image, 4, 0, 1);
        QTest::newRow("unknown colour spec") << patched(image, 4, 100, 1);
        // High words of the doubles of group 1 region 1's first vertex: x at 19, y at 27.
        QTest::newRow("vertex x NaN") << patched(image, 19, 0x7FF80000);
        QTest::newRow("vertex y -20001 mm") << patched(image, 27, int(0xC0D38840));
        QTest::newRow("foreign file") << QByteArray("<?xml version=\"1.0\"?><regions/>\n");
    }
    void damagedFileLeavesStoreUnchanged()
    {
        QFETCH(QByteArray, bytes);
        RegionStore store = variedStore();
        QVERIFY(!RegionFile::load(bytes.isNull() ? dir.filePath("absent.dat") : writeFile(bytes),
                                  store));
        QCOMPARE(store, variedStore());
    }

    // Axes, diagonals and the wrap just below 360: the display and the region order rely on them.
    void polarAngleCoversAllQuadrants()
    {
        const double cases[][3] = {
            {0, 0, 0},    {3, 0, 0},     {1, 1, 45},   {0, 5, 90},   {-1, 1, 135},
            {-2, 0, 180}, {-1, -1, 225}, {0, -5, 270}, {1, -1, 315}, {1, -1e-3, 359.942704}};
        for (const auto &c : cases)
            QVERIFY2(qAbs(polarAngle(c[0], c[1]) - c[2]) < 1e-6, qPrintable(QString::number(c[2])));
    }

    // Entered at 200, 10, 350 and 90 degrees, vertices go out from the scan field's edge at 315.
    void sortedRegionsStartAtScanFieldEdge()
    {
        const QPointF at200(-1000, -364), at10(1000, 176), at350(1000, -176), at90(0, 1000);
        RegionStore store = variedStore();
        store[4][1].polygon = QVector<QPointF>{at200, at10, at350, at90};
        const RegionStore before = store;
        RegionStore expected = store;
        expected[4][1].polygon = QVector<QPointF>{at350, at10, at90, at200};
        expected[1][0].polygon = // 177 degrees before 297
            QVector<QPointF>{QPointF(-1234.9, 56.7), QPointF(0.25, -0.5)};
        QCOMPARE(Regions::sortedRegions(store), expected);
        QCOMPARE(store, before); // the store keeps its entry order
    }

    // The blind wedge (225, 315) is open, the 20000 mm limit closed. Columns: x, y, in range.
    void pointInRangeLimits()
    {
        const double cases[][3] = {
            {0, 0, 1},     {0, -1, 0},     {-5000, -5000, 1},     {5000, -5000, 1},
            {20000, 0, 1}, {-20000, 0, 1}, {-4999.999, -5000, 0}, {4999.999, -5000, 0},
            {20001, 0, 0}, {0, 20001, 0},  {14142, -14142, 1},    {14143, -14143, 0}};
        for (const auto &c : cases)
            QVERIFY2(Regions::isPointInRange(QPointF(c[0], c[1])) == (c[2] != 0),
                     qPrintable(QStringLiteral("%1, %2").arg(c[0]).arg(c[1])));
    }

private:
    QByteArray imageOf(const RegionStore &store)
    {
        const QString path = dir.filePath(QStringLiteral("image.dat"));
        QFile file(path);
        return RegionFile::save(store, path) && file.open(QIODevice::ReadOnly) ? file.readAll()
                                                                               : QByteArray();
    }

    QString writeFile(const QByteArray &bytes)
    {
        QFile file(dir.filePath(QStringLiteral("regions.dat")));
        const bool written = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
        return written ? file.fileName() : QString();
    }

    QTemporaryDir dir;
};

QTEST_GUILESS_MAIN(RegionModelTest)
#include "tst_regionmodel.moc"
