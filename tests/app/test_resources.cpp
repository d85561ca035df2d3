// Every embedded picture the program addresses by a ":/" path must be present and usable. The
// style sheet is the framed window suite's, which installs and parses it; the English
// translation the dialog and window option suites', which load it and read its texts.
#include "vksresources.h"

#include <QImageReader>
#include <QtTest>

#include <algorithm>

namespace {

// The pictures named anywhere in the sources, forms, translations and the style sheet.
QStringList namedPictures()
{
    const QDir root(QFileInfo(QStringLiteral(__FILE__)).absolutePath() + QStringLiteral("/../.."));
    const QRegularExpression named(QStringLiteral(":/[\\w/.-]+\\.(png|jpg)"));
    QStringList paths;
    for (const char *folder : {"src", "resources/lang", "resources/darkstyle"}) {
        QDirIterator it(root.filePath(QLatin1String(folder)), QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile file(it.next());
            file.open(QIODevice::ReadOnly);
            for (auto m = named.globalMatch(QString::fromUtf8(file.readAll())); m.hasNext();)
                paths << m.next().captured();
        }
    }
    paths.removeDuplicates();
    return paths;
}

} // namespace

class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        initVksResources();
        QVERIFY(namedPictures().contains(QStringLiteral(":/images/app_icon.png")));
    }

    void imagesLoad_data()
    {
        QTest::addColumn<QString>("path");
        for (const QString &path : namedPictures())
            QTest::newRow(qPrintable(path)) << path;
    }
    void imagesLoad()
    {
        QFETCH(QString, path);
        QImageReader reader(path);
        // The file's content must match the format its name promises.
        const QString suffix = QFileInfo(path).suffix();
        QCOMPARE(QString::fromLatin1(reader.format()), suffix == "jpg" ? "jpeg" : suffix);
        const QImage image = reader.read();
        QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
        // Icons lie on whatever is behind them; only the wiring sheets are opaque.
        if (!path.contains("wiring_diagram"))
            QCOMPARE(image.pixelColor(0, 0).alpha(), 0);
        // A picture of one flat colour would mean nothing was drawn.
        const QImage small = image.scaled(16, 16).convertToFormat(QImage::Format_ARGB32);
        const auto *pixels = reinterpret_cast<const QRgb *>(small.constBits());
        QVERIFY(std::any_of(pixels, pixels + 256, [pixels](QRgb p) { return p != pixels[0]; }));
    }
};

QTEST_GUILESS_MAIN(TestResources)
#include "test_resources.moc"
