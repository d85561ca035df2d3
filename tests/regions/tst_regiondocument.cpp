#include "regions/regiondocument.h"
#include "regions/regionfile.h"

#include <QtTest>

#include <functional>

using Edit = std::function<void(RegionDocument &)>;
Q_DECLARE_METATYPE(Edit)

namespace {

const QPolygonF triangle(QVector<QPointF>{QPointF(1000, 0), QPointF(0.5, 2000),
                                          QPointF(-1000, 10)});

// The store as the region file holds it, byte for byte.
QByteArray fileImage(const RegionDocument &document, const QTemporaryDir &dir)
{
    const QString path = dir.filePath(QStringLiteral("image.dat"));
    document.saveFile(path);
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

} // namespace

class RegionDocumentTest : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    // Every kind of change is one step that undo and redo take back and forth exactly; what
    // changes nothing, or is refused, leaves no step.
    void eachChangeIsOneStep_data()
    {
        QTest::addColumn<Edit>("edit");
        QTest::addColumn<QString>("text"); // empty: no step
        const QString file = m_dir.filePath(QStringLiteral("other.dat"));
        RegionStore other = Regions::initialStore();
        other[9][0].polygon = triangle;
        RegionFile::save(other, file);
        const RegionFrame::Content frame{7, 3, 60, triangle};

        using Doc = RegionDocument;
        const auto row = [](const char *name, const char *text, Edit edit) {
            QTest::newRow(name) << edit << QString::fromUtf8(text);
        };
        row("typed", "修改端点 1 坐标（组 2，区域 2）", [](Doc &d) {
            d.setVertex(2, 1, 0, {5, 6});
        });
        row("drag", "拖动端点 3（组 2，区域 2）", [](Doc &d) {
            for (int x : {2, 3, 4})
                d.setVertex(2, 1, 2, {-1000.0 * x, 10}, 4);
        });
        row("count", "端点数设为 1（组 2，区域 2）",
            [](Doc &d) { d.setVertexCount(2, 1, triangle.mid(0, 1)); });
        row("add", "添加端点 4（组 2，区域 2）", [](Doc &d) { d.addVertex(2, 1, {0.5, -0.5}); });
        row("remove", "删除端点 2（组 2，区域 2）", [](Doc &d) { d.removeVertex(2, 1, 1); });
        row("colour", "修改区域颜色（组 2，区域 1）", [](Doc &d) { d.setColor(2, 0, Qt::red); });
        row("alarm", "告警点数设为 9（组 1，区域 3）", [](Doc &d) { d.setAlarmPointNum(1, 2, 9); });
        row("file", "打开区域设置文件 other.dat", [file](Doc &d) { QVERIFY(d.loadFile(file)); });
        row("reading", "从设备读取区域", [frame](Doc &d) {
            d.storeReceivedFrame(frame);
            QVERIFY(!d.undoStack().canUndo()); // nothing is undone halfway through
            d.storeReceivedFrame({2, 1, 8, {}});
            d.endReading();
        });
        row("teach", "从扫描示教（组 4，区域 1）", [](Doc &d) { d.teach(4, 0, triangle); });
        row("DXF import", "从 DXF 图层 group05_region3 导入（组 5，区域 3）",
            [](Doc &d) { d.importPolygon(5, 2, triangle, QStringLiteral("group05_region3")); });
        row("paste", "粘贴到组 6", [](Doc &d) { d.pasteGroup(6, d.store().value(2)); });

        row("blind wedge", "", [](Doc &d) { d.setVertex(2, 1, 0, {0, -1}); });
        row("no such vertex", "", [](Doc &d) {
            d.setVertex(2, 1, 3, {1, 1});
            d.removeVertex(2, 1, -1);
        });
        row("same value", "", [](Doc &d) {
            d.setVertex(2, 1, 1, triangle[1]);
            d.setColor(2, 1, Regions::defaultColor(1));
            d.pasteGroup(2, d.store().value(2));
        });
        row("reading the same", "", [](Doc &d) {
            d.storeReceivedFrame({2, 2, 5, triangle});
            d.endReading();
        });
    }
    void eachChangeIsOneStep()
    {
        QFETCH(Edit, edit);
        QFETCH(QString, text);
        RegionDocument document;
        document.setVertexCount(2, 1, triangle);
        document.undoStack().clear();
        const QByteArray before = fileImage(document, m_dir);

        edit(document);
        QCOMPARE(document.undoStack().count(), text.isEmpty() ? 0 : 1);
        if (text.isEmpty()) {
            QCOMPARE(fileImage(document, m_dir), before);
            return;
        }
        QCOMPARE(document.undoStack().undoText(), text);
        const QByteArray after = fileImage(document, m_dir);
        QVERIFY(after != before);
        document.undoStack().undo();
        QCOMPARE(fileImage(document, m_dir), before);
        document.undoStack().redo();
        QCOMPARE(fileImage(document, m_dir), after);
    }
};

QTEST_MAIN(RegionDocumentTest)
#include "tst_regiondocument.moc"
