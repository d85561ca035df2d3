// Every embedded resource the program addresses by a ":/" path must be present and usable.
#include "vksresources.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QTranslator>
#include <QtTest>

class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initVksResources(); }

    void imagesLoad_data();
    void imagesLoad();
    void styleSheetOpens();
    void wiringDiagramsDiffer();
    void translationsLoad_data();
    void translationsLoad();
    void cleanupUnregistersAndInitRestores();
};

namespace {

void addImage(const QString &path, const QSize &minimum, const QSize &maximum, bool transparent)
{
    QTest::newRow(qPrintable(path)) << path << minimum << maximum << transparent;
}

void addFixedImage(const QString &path, const QSize &size)
{
    addImage(path, size, size, true);
}

} // namespace

void TestResources::imagesLoad_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("minimum");
    QTest::addColumn<QSize>("maximum");
    QTest::addColumn<bool>("transparentCorner");

    // The style sheet sizes radio indicators 18 x 18 and check-box indicators 16 x 16.
    for (const char *state : {"checked", "checked_pressed", "checked_disabled", "unchecked",
                              "unchecked_pressed", "unchecked_disabled"})
        addFixedImage(QStringLiteral(":/darkstyle/icon_radiobutton_%1.png").arg(state),
                      QSize(18, 18));
    for (const char *state :
         {"checked", "checked_pressed", "checked_disabled", "unchecked", "unchecked_pressed",
          "unchecked_disabled", "indeterminate", "indeterminate_pressed", "indeterminate_disabled"})
        addFixedImage(QStringLiteral(":/darkstyle/icon_checkbox_%1.png").arg(state), QSize(16, 16));
    for (const char *name :
         {"icon_vline", "icon_branch_more", "icon_branch_end", "icon_branch_closed",
          "icon_branch_open", "icon_close", "icon_restore"})
        addImage(QStringLiteral(":/darkstyle/%1.png").arg(name), QSize(8, 8), QSize(32, 32), true);

    for (const char *name : {"close", "maximize", "minimize", "restore", "other"})
        addImage(QStringLiteral(":/images/icon_window_%1.png").arg(name), QSize(16, 16),
                 QSize(64, 64), true);
    // The title bar shows the logo at natural size beside a label at least 85 px wide.
    addImage(QStringLiteral(":/images/app_icon.png"), QSize(40, 16), QSize(100, 32), true);

    for (const char *name : {"conn_settings", "scan_image", "region", "data", "writing_graph"})
        addImage(QStringLiteral(":/images/resource/%1.png").arg(name), QSize(32, 32),
                 QSize(128, 128), true);
    addImage(QStringLiteral(":/images/resource/default_icon.png"), QSize(36, 36), QSize(72, 72),
             true);
    for (const char *name : {"wiring_diagram.jpg", "wiring_diagram_en.png"})
        addImage(QStringLiteral(":/images/resource/%1").arg(name), QSize(1000, 600),
                 QSize(1200, 1600), false);
}

void TestResources::imagesLoad()
{
    QFETCH(QString, path);
    QFETCH(QSize, minimum);
    QFETCH(QSize, maximum);
    QFETCH(bool, transparentCorner);

    QImageReader reader(path);
    // The file's content must match the format its name promises.
    const QString suffix = QFileInfo(path).suffix();
    QCOMPARE(QString::fromLatin1(reader.format()),
             suffix == QLatin1String("jpg") ? QStringLiteral("jpeg") : suffix);
    const QImage image = reader.read();
    QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));

    QVERIFY2(image.width() >= minimum.width() && image.height() >= minimum.height(),
             qPrintable(QStringLiteral("%1 x %2").arg(image.width()).arg(image.height())));
    QVERIFY2(image.width() <= maximum.width() && image.height() <= maximum.height(),
             qPrintable(QStringLiteral("%1 x %2").arg(image.width()).arg(image.height())));
    if (transparentCorner)
        QCOMPARE(image.pixelColor(0, 0).alpha(), 0);

    // A picture of one flat colour would mean nothing was drawn.
    const QImage small = image.scaled(16, 16).convertToFormat(QImage::Format_ARGB32);
    QSet<QRgb> colours;
    for (int y = 0; y < small.height(); ++y)
        for (int x = 0; x < small.width(); ++x)
            colours.insert(small.pixel(x, y));
    QVERIFY(colours.size() > 1);
}

void TestResources::styleSheetOpens()
{
    QFile sheet(QStringLiteral(":/darkstyle/darkstyle.qss"));
    QVERIFY(sheet.open(QIODevice::ReadOnly | QIODevice::Text));
    QVERIFY(!sheet.readAll().isEmpty());
}

void TestResources::wiringDiagramsDiffer()
{
    const QImage chinese(QStringLiteral(":/images/resource/wiring_diagram.jpg"));
    const QImage english(QStringLiteral(":/images/resource/wiring_diagram_en.png"));
    QVERIFY(!chinese.isNull());
    QVERIFY(!english.isNull());
    QCOMPARE(chinese.size(), english.size());

    // Beyond JPEG noise: the labels themselves must differ.
    const QImage a = chinese.convertToFormat(QImage::Format_Grayscale8);
    const QImage b = english.convertToFormat(QImage::Format_Grayscale8);
    int differingPixels = 0;
    for (int y = 0; y < a.height(); ++y) {
        const uchar *lineA = a.constScanLine(y);
        const uchar *lineB = b.constScanLine(y);
        for (int x = 0; x < a.width(); ++x)
            differingPixels += qAbs(lineA[x] - lineB[x]) > 60 ? 1 : 0;
    }
    QVERIFY2(differingPixels > a.width() * 10, qPrintable(QString::number(differingPixels)));
}

void TestResources::translationsLoad_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("en") << QStringLiteral(":/lang/resource/Tervane_en.qm");
    QTest::newRow("zh") << QStringLiteral(":/lang/resource/Tervane_zh.qm");
}

void TestResources::translationsLoad()
{
    QFETCH(QString, path);
    QTranslator translator;
    QVERIFY(translator.load(path));
}

void TestResources::cleanupUnregistersAndInitRestores()
{
    const QStringList oneOfEachCollection{QStringLiteral(":/darkstyle/darkstyle.qss"),
                                          QStringLiteral(":/images/icon_window_close.png"),
                                          QStringLiteral(":/images/app_icon.png")};
    cleanupVksResources();
    for (const QString &path : oneOfEachCollection)
        QVERIFY2(!QFile::exists(path), qPrintable(path));
    initVksResources();
    for (const QString &path : oneOfEachCollection)
        QVERIFY2(QFile::exists(path), qPrintable(path));
}

QTEST_GUILESS_MAIN(TestResources)
#include "test_resources.moc"
