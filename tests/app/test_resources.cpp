// Every embedded resource the program addresses by a ":/" path must be present and usable.
#include "vksresources.h"

#include <QImageReader>
#include <QTranslator>
#include <QtTest>

#include <algorithm>

class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initVksResources(); }

    void imagesLoad_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QSize>("minimum");
        QTest::addColumn<QSize>("maximum");

        // The pictures the embedded style sheet names (textsLoad fails if it is missing), then
        // those the code and the forms name.
        QStringList paths;
        QFile sheet(QStringLiteral(":/darkstyle/darkstyle.qss"));
        if (sheet.open(QIODevice::ReadOnly)) {
            const QRegularExpression url(QStringLiteral("url\\((:/[^)]*)\\)"));
            for (auto it = url.globalMatch(QString::fromUtf8(sheet.readAll())); it.hasNext();)
                paths << it.next().captured(1);
            paths.removeDuplicates();
        }
        for (const char *name : {"close", "maximize", "minimize", "restore", "other"})
            paths << QStringLiteral(":/images/icon_window_%1.png").arg(name);
        paths << QStringLiteral(":/images/app_icon.png");
        for (const char *name :
             {"conn_settings.png", "scan_image.png", "region.png", "data.png", "writing_graph.png",
              "default_icon.png", "wiring_diagram.jpg", "wiring_diagram_en.png"})
            paths << QStringLiteral(":/images/resource/") + name;

        // First match wins; the last rule takes the navigation icons. The style sheet sizes radio
        // indicators 18 x 18 and check-box indicators 16 x 16; the title bar shows the logo at
        // natural size beside a label at least 85 px wide.
        const struct
        {
            const char *part;
            QSize minimum, maximum;
        } rules[] = {{"radiobutton", {18, 18}, {18, 18}},  {"checkbox", {16, 16}, {16, 16}},
                     {"darkstyle/", {8, 8}, {32, 32}},     {"icon_window", {16, 16}, {64, 64}},
                     {"app_icon", {40, 16}, {100, 32}},    {"wiring", {1000, 600}, {1200, 1600}},
                     {"default_icon", {36, 36}, {72, 72}}, {"/", {32, 32}, {128, 128}}};
        for (const QString &path : qAsConst(paths)) {
            const auto rule =
                std::find_if(std::begin(rules), std::end(rules),
                             [&path](const auto &r) { return path.contains(r.part); });
            QTest::newRow(qPrintable(path)) << path << rule->minimum << rule->maximum;
        }
    }
    void imagesLoad()
    {
        QFETCH(QString, path);
        QFETCH(QSize, minimum);
        QFETCH(QSize, maximum);

        QImageReader reader(path);
        // The file's content must match the format its name promises.
        const QString suffix = QFileInfo(path).suffix();
        QCOMPARE(QString::fromLatin1(reader.format()), suffix == "jpg" ? "jpeg" : suffix);
        const QImage image = reader.read();
        QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
        const QSize size = image.size();
        QVERIFY2(size.expandedTo(minimum) == size && size.boundedTo(maximum) == size,
                 QByteArray::number(size.width()) + " x " + QByteArray::number(size.height()));
        if (!path.contains("wiring_diagram"))
            QCOMPARE(image.pixelColor(0, 0).alpha(), 0);

        // A picture of one flat colour would mean nothing was drawn.
        const QImage small = image.scaled(16, 16).convertToFormat(QImage::Format_ARGB32);
        const auto *pixels = reinterpret_cast<const QRgb *>(small.constBits());
        QVERIFY(std::any_of(pixels, pixels + 256, [pixels](QRgb p) { return p != pixels[0]; }));
    }

    void wiringDiagramsDiffer()
    {
        const QImage a = QImage(QStringLiteral(":/images/resource/wiring_diagram.jpg"))
                             .convertToFormat(QImage::Format_Grayscale8);
        const QImage b = QImage(QStringLiteral(":/images/resource/wiring_diagram_en.png"))
                             .convertToFormat(QImage::Format_Grayscale8);
        QVERIFY(!a.isNull());
        QCOMPARE(a.size(), b.size());

        // Beyond JPEG noise: the labels themselves must differ.
        int differingPixels = 0;
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x)
                differingPixels += qAbs(a.constScanLine(y)[x] - b.constScanLine(y)[x]) > 60;
        QVERIFY2(differingPixels > a.width() * 10, QByteArray::number(differingPixels));
    }

    void textsLoad()
    {
        QFile sheet(QStringLiteral(":/darkstyle/darkstyle.qss"));
        QVERIFY(sheet.open(QIODevice::ReadOnly));
        QVERIFY(!sheet.readAll().isEmpty());
        // The Chinese texts are the sources, so only the English file holds messages.
        QTranslator english, chinese;
        QVERIFY(english.load(QStringLiteral(":/lang/resource/Tervane_en.qm")));
        QVERIFY(!english.isEmpty());
        QVERIFY(chinese.load(QStringLiteral(":/lang/resource/Tervane_zh.qm")));
    }

    // One file of each collection goes with cleanup and comes back with init.
    void cleanupUnregistersAndInitRestores()
    {
        for (const bool registered : {false, true}) {
            registered ? initVksResources() : cleanupVksResources();
            for (const char *path : {":/darkstyle/darkstyle.qss", ":/images/icon_window_close.png",
                                     ":/images/app_icon.png"})
                QVERIFY2(QFile::exists(path) == registered, path);
        }
    }
};

QTEST_GUILESS_MAIN(TestResources)
#include "test_resources.moc"
