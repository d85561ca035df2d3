#include "regionformats/regiondxf.h"
#include "regions/alarmevaluation.h"
#include "regions/regionfile.h"
#include "regions/regionfingerprint.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <yaml-cpp/yaml.h>

using Points = QVector<QPointF>;

namespace {

const Points triangle{{1000, 0}, {0, 1000}, {-1000, 0}};

// A drawing as a CAD program saves it, each group code and value given as one word.
QByteArray dxf(const QString &entities, const QString &header = QString())
{
    const QString words = QStringLiteral("0 SECTION 2 HEADER 9 $ACADVER 1 AC1009 %1 0 ENDSEC "
                                         "0 SECTION 2 ENTITIES %2 0 ENDSEC 0 EOF")
                              .arg(header, entities);
    return words.split(QLatin1Char(' '), Qt::SkipEmptyParts).join(QLatin1Char('\n')).toLatin1() +
           '\n';
}

QString lwPolyline(const Points &points, int flags = 1, const QString &layer = "A")
{
    QString words =
        QStringLiteral("0 LWPOLYLINE 8 %1 90 %2 70 %3").arg(layer).arg(points.size()).arg(flags);
    for (const QPointF &point : points)
        words += QStringLiteral(" 10 %1 20 %2").arg(point.x()).arg(point.y());
    return words;
}

RegionStore sampleStore()
{
    RegionStore store = Regions::initialStore();
    store[7][0].polygon = QPolygonF(triangle);
    store[7][1].polygon = QPolygonF(Points{{5000, -2000}, {3000, 4000}, {-2500, 1500}});
    store[7][2].polygon = QPolygonF(Points{{19000, 0}, {0, 19000}, {-12000, -11000}, {-900, 12}});
    store[3][2].polygon = QPolygonF(Points{{200, 100}, {100, 200}, {-300, 50}});
    return store;
}

} // namespace

class TestRegionFormats : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

    QString file(const QString &name) const { return m_dir.filePath(name); }
    // vks20-cli with `arguments`; its exit code, stderr in `error`.
    int cli(const QStringList &arguments, QString *error = nullptr)
    {
        QProcess process;
        process.start(QStringLiteral(VKS20_CLI_PATH), arguments);
        process.waitForFinished(30000);
        if (error)
            *error = QString::fromUtf8(process.readAllStandardError()).trimmed();
        return process.exitCode();
    }

private slots:
    // Every region out to its layer and back into a file that did not exist gives the same
    // region set.
    void dxfRoundTripKeepsTheFingerprint()
    {
        const RegionStore store = sampleStore();
        QVERIFY(RegionFile::save(store, file("original.dat")));
        QCOMPARE(cli({"regions", "export", file("original.dat"), "--dxf", file("all.dxf")}), 0);
        QFile::remove(file("copy.dat"));
        for (const auto &[group, region] : {std::pair(7, 1), {7, 2}, {7, 3}, {3, 3}})
            QCOMPARE(
                cli({"regions", "import", file("all.dxf"), "--layer",
                     RegionDxf::layerName(group, region - 1), "--group", QString::number(group),
                     "--region", QString::number(region), file("copy.dat")}),
                0);
        RegionStore copy;
        QVERIFY(RegionFile::load(file("copy.dat"), copy));
        QCOMPARE(RegionFingerprint::of(copy), RegionFingerprint::of(store));
    }

    // A drawing as a CAD program saves it imports as region 7/2; one the tool refuses says why
    // on one line and leaves the file as it was.
    void drawingImports_data()
    {
        QTest::addColumn<QByteArray>("drawing");
        QTest::addColumn<QString>("layer");
        QTest::addColumn<QString>("reason"); // empty where the drawing imports
        QTest::newRow("R12 POLYLINE") << dxf("0 POLYLINE 8 A 66 1 70 1 0 VERTEX 8 A 10 1000 20 0 "
                                             "0 VERTEX 8 A 10 0 20 1000 0 VERTEX 8 A 10 -1000 20 0 "
                                             "0 SEQEND 8 A")
                                      << "A" << QString();
        QTest::newRow("LWPOLYLINE") << dxf(lwPolyline(triangle)) << "A" << QString();
        QTest::newRow("closed run of LINEs")
            << dxf("0 LINE 8 A 10 1000 20 0 11 0 21 1000 0 LINE 8 A 10 1000 20 0 11 -1000 21 0 "
                   "0 LINE 8 A 10 0 20 1000 11 -1000 21 0")
            << "A" << QString();
        QTest::newRow("metres, converted")
            << dxf(lwPolyline({{1, 0}, {0, 1}, {-1, 0}}), "9 $INSUNITS 70 6") << "A" << QString();
        Points fan;
        for (int i = 0; i <= Regions::maxVertices; ++i)
            fan.append(QPointF(1000 * qCos(i * 0.1), 1000 * qSin(i * 0.1)));
        QTest::newRow("damaged") << QByteArray("0\nSECTION\n2\nENT") << "A"
                                 << "not a readable DXF";
        QTest::newRow("no such layer") << dxf(lwPolyline(triangle)) << "B"
                                       << "no layer B";
        QTest::newRow("open polyline") << dxf(lwPolyline(triangle, 0)) << "A"
                                       << "layer A holds no closed polygon";
        QTest::newRow("31 vertices") << dxf(lwPolyline(fan)) << "A"
                                     << "has 31 vertices";
        QTest::newRow("blind wedge") << dxf(lwPolyline({{1000, 0}, {0, -1000}, {-1000, 0}})) << "A"
                                     << "vertex 2 (0.0, -1000.0) mm lies outside the scan";
        QTest::newRow("beyond range") << dxf(lwPolyline({{25000, 0}, {0, 1000}, {-1000, 0}})) << "A"
                                      << "vertex 1 (25000.0, 0.0) mm lies beyond 20000";
        QTest::newRow("feet") << dxf(lwPolyline(triangle), "9 $INSUNITS 70 2") << "A"
                              << "($INSUNITS 2) are not millimetres";
    }
    void drawingImports()
    {
        QFETCH(QByteArray, drawing);
        QFETCH(QString, layer);
        QFETCH(QString, reason);
        QFile in(file("in.dxf"));
        QVERIFY(in.open(QIODevice::WriteOnly) && in.write(drawing) == drawing.size());
        in.close();
        QVERIFY(RegionFile::save(sampleStore(), file("kept.dat")));
        QString error;
        QCOMPARE(cli({"regions", "import", file("in.dxf"), "--layer", layer, "--group", "7",
                      "--region", "2", file("kept.dat")},
                     &error),
                 reason.isEmpty() ? 0 : 2);
        QVERIFY2(error.contains(reason) && !error.contains('\n'), qPrintable(error));
        RegionStore expected = sampleStore(), kept;
        if (reason.isEmpty())
            expected[7][1].polygon = QPolygonF(triangle);
        QVERIFY(RegionFile::load(file("kept.dat"), kept));
        QCOMPARE(RegionFingerprint::of(kept), RegionFingerprint::of(expected));
    }

    void nav2HoldsTheGroupInMetres()
    {
        const RegionStore store = sampleStore();
        QVERIFY(RegionFile::save(store, file("nav2.dat")));
        QCOMPARE(cli({"regions", "export", file("nav2.dat"), "--nav2", file("nav2.yaml"), "--group",
                      "7"}),
                 0);
        const YAML::Node parameters =
            YAML::LoadFile(file("nav2.yaml").toStdString())["collision_monitor"]["ros__parameters"];
        QCOMPARE(parameters["polygons"].size(), std::size_t(3));
        const char *const actions[] = {"stop", "slowdown", "approach"};
        for (int r = 0; r < Regions::regionsPerGroup; ++r) {
            const YAML::Node polygon = parameters[RegionDxf::layerName(7, r).toStdString()];
            QCOMPARE(polygon["type"].as<std::string>(), std::string("polygon"));
            QCOMPARE(polygon["action_type"].as<std::string>(), std::string(actions[r]));
            const YAML::Node points = YAML::Load(polygon["points"].as<std::string>());
            const QPolygonF mm = AlarmEvaluator(store[7]).heldPolygon(r);
            QCOMPARE(int(points.size()), mm.size());
            for (int i = 0; i < mm.size(); ++i) {
                QCOMPARE(points[i][0].as<double>(), mm[i].x() / 1000);
                QCOMPARE(points[i][1].as<double>(), mm[i].y() / 1000);
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestRegionFormats)
#include "tst_regionformats.moc"
