// The region page as an editor, through real mouse and key events on the window: drawing, the
// undo keys and buttons, copy and paste of a group, the exports, the fingerprint, the
// comparison with a file and the report. The cases build on each
// other, on group 3 and region 3 (the tab shown at start). That undo restores the store byte
// for byte is the document's suite's.
#include "display/displaytestsupport.h"
#include "mainwindowsupport.h"
#include "regions/regiondocument.h"
#include "regions/regionfile.h"
#include "regions/regionfingerprint.h"
#include "regions/regionwidget.h"

#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>

class TestMainWindowRegionEdit : public QObject
{
    Q_OBJECT
    MainWindow window;
    QTemporaryDir dir;
    ModalMessages messages;
    RegionDocument *document = window.findChild<RegionDocument *>();
    RadarIndicatorWidget *display =
        widget<RadarIndicatorWidget>(&window, "radarIndicatorWidgetDrawRgn");
    QListWidget *groups = widget<QListWidget>(&window, "listWidgetRgnGroupIndex");

    RegionWidget *editor() { return window.findChildren<RegionWidget *>().at(2); }
    void doubleClick(const QPointF &world)
    {
        DisplayTest::sendMouse(display, QEvent::MouseButtonDblClick,
                               display->viewGeometry().toPixel(world), Qt::LeftButton,
                               Qt::LeftButton);
    }

private slots:
    void initTestCase()
    {
        window.resize(1410, 948);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        showPage(&window, 2);
        groups->setCurrentRow(3);
        QCOMPARE(editor()->rgnIndex(), 2);
        QVERIFY(!widget<QPushButton>(&window, "pushButtonTeachIn")->isEnabled()); // no scan
    }

    void editingExportsAndComparisonFollowTheGroup()
    {
        const RegionStore before = document->store();
        const qint64 icon = groups->item(3)->icon().cacheKey();
        doubleClick(QPointF(1000, 2000)); // 20 mm per pixel: a whole-millimetre vertex
        QCOMPARE(editor()->regionPoints(), QVector<QPointF>{QPointF(1000, 2000)});
        QVERIFY(groups->item(3)->icon().cacheKey() != icon);
        auto *undo = widget<QToolButton>(&window, "toolButtonUndo");
        QCOMPARE(undo->toolTip(), QStringLiteral("撤销：添加端点 1（组 3，区域 3）"));

        const RegionStore drawn = document->store();
        display->setFocus();
        QTest::keyClick(display, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(document->store(), before);
        QVERIFY(editor()->regionPoints().isEmpty());
        QTest::keyClick(display, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(document->store(), drawn);
        QTest::mouseClick(undo, Qt::LeftButton);
        QTest::keyClick(display, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(document->store(), drawn);
        QCOMPARE(editor()->regionPoints(), QVector<QPointF>{QPointF(1000, 2000)});

        emit editor()->colorChosen(2, Qt::red); // as the editor's colour dialog reports it
        QCOMPARE(editor()->color(), QColor(Qt::red));

        // A pasted group is one step.
        groups->setFocus();
        QTest::keyClick(groups, Qt::Key_C, Qt::ControlModifier);
        groups->setCurrentRow(5);
        const RegionStore unpasted = document->store();
        QTest::keyClick(groups, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(document->store()[5], document->store()[3]);
        QCOMPARE(editor()->regionPoints(), QVector<QPointF>{QPointF(1000, 2000)});
        QTest::keyClick(groups, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(document->store(), unpasted);

        groups->setCurrentRow(3);
        document->setVertexCount(3, 2, QPolygonF(QVector<QPointF>(30, QPointF(0, 100))));
        // Refused clicks say why under the display, without a prompt (the exports count them).
        const auto *status = widget<QLabel>(&window, "labelDrawRgnStatus");
        doubleClick(QPointF(2000, 2000));
        QCOMPARE(status->text(), QStringLiteral("未添加端点：该区域已有 30 个端点。"));
        document->undoStack().undo();
        doubleClick(QPointF(0, -3000)); // the blind wedge behind the device
        QCOMPARE(status->text(), QStringLiteral("未添加端点：双击位置在扫描范围之外。"));

        messages.fileName = dir.filePath(QStringLiteral("group.csv"));
        QTest::mouseClick(widget<QPushButton>(&window, "pushButtonExportRegions"), Qt::LeftButton);
        QFile table(messages.fileName);
        QVERIFY(table.open(QIODevice::ReadOnly));
        QCOMPARE(table.readAll(), QByteArray("group,region,vertex,x_mm,y_mm,alarm_points\n"
                                             "3,1,,,,5\n3,2,,,,5\n3,3,1,1000.0,2000.0,5\n"));
        messages.fileName = dir.filePath(QStringLiteral("page.png"));
        QTest::mouseClick(widget<QPushButton>(&window, "pushButtonExportImage"), Qt::LeftButton);
        QCOMPARE(QImage(messages.fileName).size(), display->size());
        messages.fileName = dir.filePath(QStringLiteral("report.pdf"));
        widget<QPushButton>(&window, "pushButtonReport")->menu()->actions().first()->trigger();
        QVERIFY(QTest::qWaitFor([this] { return messages.texts.size() == 3; }));
        QCOMPARE(messages.texts, (QStringList{QStringLiteral("导出区域表格成功！"),
                                              QStringLiteral("导出区域图像成功！"),
                                              QStringLiteral("保存调试报告成功！")}));
        QVERIFY(QFileInfo(messages.fileName).size() > 0);

        // The differing region is picked from the list with the keyboard, as an operator may.
        const QString fingerprint = RegionFingerprint::of(document->store());
        auto *label = widget<QLabel>(&window, "labelFingerprint");
        QCOMPARE(label->text(), "指纹 " + RegionFingerprint::shortForm(fingerprint));
        QCOMPARE(label->toolTip(), fingerprint);
        RegionStore other = document->store();
        other[5][1].polygon << QPointF(0, 3000);
        messages.fileName = dir.filePath(QStringLiteral("other.dat"));
        QVERIFY(RegionFile::save(other, messages.fileName));
        QTest::mouseClick(widget<QPushButton>(&window, "pushButtonCompareFile"), Qt::LeftButton);
        auto *list = widget<QComboBox>(&window, "comboBoxRegionDifferences");
        QVERIFY(list->isVisible());
        QCOMPARE(list->itemText(1), QStringLiteral("第 5 组区域 2：顶点数 0 / 1"));
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(groups->currentRow(), 5);
        QCOMPARE(editor()->rgnIndex(), 1);
        QTest::mouseClick(widget<QToolButton>(&window, "toolButtonEndComparison"), Qt::LeftButton);
        QVERIFY(!list->isVisible());
    }
};

QTEST_MAIN(TestMainWindowRegionEdit)
#include "test_mainwindow_regionedit.moc"
