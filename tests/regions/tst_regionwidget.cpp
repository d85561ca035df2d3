#include "regions/region.h"
#include "regions/regionwidget.h"

#include <QColorDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QtTest>

namespace {

using Points = QVector<QPointF>;

// An editor of region 2 wired as the main window wires it: the store takes what is in range.
struct Editor
{
    Editor()
    {
        QObject::connect(&widget, &RegionWidget::addRegionPoints, [this](RegionWidget *p, int r) {
            added << (p == &widget && r == 2 ? p->regionPoints() : Points{QPointF(-1, -1)});
        });
        QObject::connect(&widget, &RegionWidget::updateRegionPoints,
                         [this](int r, int pointIndex, QPointF point, bool &isInRange) {
                             isInRange = r == 2 && Regions::isPointInRange(point);
                             updates << qMakePair(pointIndex, point);
                         });
        QObject::connect(&widget, &RegionWidget::beyondTheRange, [this] { ++refusals; });
        widget.show();
    }

    // The table's rows as "x,y".
    QStringList rows() const
    {
        QStringList shown;
        for (int row = 0; row < table->rowCount(); ++row)
            shown << table->item(row, 0)->text() + ',' + table->item(row, 1)->text();
        return shown;
    }

    // Types into a cell the way the operator does: open the editor, type, press Enter.
    void type(int row, int column, const QString &text)
    {
        table->setCurrentCell(row, column);
        table->editItem(table->item(row, column));
        auto *lineEdit = qobject_cast<QLineEdit *>(table->indexWidget(table->currentIndex()));
        QVERIFY(lineEdit);
        lineEdit->selectAll();
        QTest::keyClicks(lineEdit, text);
        QTest::keyClick(lineEdit, Qt::Key_Enter);
        QTRY_VERIFY(!table->indexWidget(table->currentIndex())); // the commit is queued
    }

    RegionWidget widget{2};
    QSpinBox *spinBox = widget.findChild<QSpinBox *>(QStringLiteral("spinBox"));
    QTableWidget *table = widget.findChild<QTableWidget *>(QStringLiteral("tableWidget"));
    QVector<Points> added;
    QVector<QPair<int, QPointF>> updates;
    int refusals = 0;
};

} // namespace

class RegionWidgetTest : public QObject
{
    Q_OBJECT

private slots:
    // Each count change refills the region once; typed cells report one update each.
    void vertexCountRefillsRegion()
    {
        Editor editor;
        editor.spinBox->setValue(3);
        QCOMPARE(editor.rows(), (QStringList{"0,0", "0,0", "0,0"}));
        editor.type(0, 0, QStringLiteral("150"));
        editor.type(0, 1, QStringLiteral("-20.5"));
        editor.type(1, 0, QStringLiteral("99"));
        editor.spinBox->setValue(1);
        QTest::keyClick(editor.spinBox, Qt::Key_Up); // the dropped vertex does not come back
        QCOMPARE(editor.rows(), (QStringList{"150,-20", "0,0"}));
        QCOMPARE(editor.added, (QVector<Points>{Points(3), Points{QPointF(150, -20.5)},
                                                Points{QPointF(150, -20.5), QPointF()}}));
        QCOMPARE(editor.updates.size(), 3);
    }

    // The store decides on a typed point. A refused row shows its own slot again, not the row
    // clicked last (row 0, holding 100 / 200).
    void typedPointIsCheckedByStore()
    {
        // Column, text typed, whether the store took it, the point stored, the row shown.
        const std::tuple<int, const char *, bool, QPointF, const char *> cases[] = {
            {0, "20001", false, {0, 0}, "0,0"},
            {0, "-20000", true, {-20000, 0}, "-20000,0"},
            {0, "abc", true, {0, 0}, "0,0"},
            {0, "-0.7", true, {-0.7, 0}, "0,0"},
            {1, "-25000", false, {0, 0}, "0,0"}};
        for (const auto &[column, typed, accepted, stored, shown] : cases) {
            Editor editor;
            editor.spinBox->setValue(2);
            editor.type(0, 0, QStringLiteral("100"));
            editor.type(0, 1, QStringLiteral("200"));
            const QRect firstRow = editor.table->visualItemRect(editor.table->item(0, 1));
            QTest::mouseClick(editor.table->viewport(), Qt::LeftButton, {}, firstRow.center());
            editor.type(1, column, typed);
            QVERIFY2(editor.refusals == (accepted ? 0 : 1), typed);
            QCOMPARE(editor.updates.last().first, 1);
            QCOMPARE(editor.widget.regionPoints(), (Points{QPointF(100, 200), stored}));
            QCOMPARE(editor.rows(), (QStringList{"100,200", shown}));
        }
    }

    // Vertices from elsewhere (dragged on the display, loaded) are shown truncated toward zero
    // and never echoed back. A load replaces every slot; only the first 30 vertices fit.
    void outsideChangesAreShownWithoutEcho()
    {
        Editor editor;
        editor.spinBox->setValue(3);
        editor.widget.updateRegionPoint(1, QPointF(-1234.9, 56.7));
        QCOMPARE(editor.table->currentRow(), 1); // the dragged vertex's row is selected
        editor.widget.updateRegionPoint(0, QPointF(-0.5, 19999.99));
        editor.widget.updateRegionPoint(3, QPointF(1, 1)); // no such row
        QCOMPARE(editor.rows(), (QStringList{"0,19999", "-1234,56", "0,0"}));
        QCOMPARE(editor.widget.regionPoints(),
                 (Points{QPointF(-0.5, 19999.99), QPointF(-1234.9, 56.7), QPointF()}));

        editor.widget.updateRegionPoint(2, QPointF(9, 9)); // a slot the next load must clear
        const Points loaded{QPointF(10.9, -3), QPointF(-7, 8)};
        editor.widget.setPoints(QPolygonF(loaded));
        QCOMPARE(editor.rows(), (QStringList{"10,-3", "-7,8"}));
        editor.spinBox->setValue(3); // the slot after the loaded ones starts at the sensor
        QCOMPARE(editor.added, (QVector<Points>{Points(3), loaded + Points{QPointF()}}));
        Points tooMany;
        for (int i = 0; i <= Regions::maxVertices; ++i)
            tooMany << QPointF(i + 1, -i);
        editor.widget.setPoints(QPolygonF(tooMany));
        QCOMPARE(editor.widget.regionPoints(), tooMany.mid(0, Regions::maxVertices));
        QCOMPARE(editor.added.size(), 2);
        QVERIFY(editor.updates.isEmpty());
    }

    // The dialog opens at the region's colour; a choice goes to the owner, cancel goes nowhere.
    void colourDialogReportsChoice()
    {
        Editor editor;
        const QColor regionColor(255, 250, 0, 128);
        editor.widget.setColor(regionColor);
        auto *button = editor.widget.findChild<QPushButton *>("pushButtonColorSelected");
        QCOMPARE(button->styleSheet(), "QPushButton{background-color:rgba(255,250,0,128);}");
        QSignalSpy chosen(&editor.widget, &RegionWidget::colorChosen);
        for (const bool accept : {true, false}) {
            QColor dialogStart;
            QTimer::singleShot(0, [&] {
                auto *dialog = qobject_cast<QColorDialog *>(QApplication::activeModalWidget());
                QVERIFY(dialog);
                dialogStart = dialog->currentColor();
                dialog->setCurrentColor(QColor(10, 20, 30, 40));
                accept ? dialog->accept() : dialog->reject();
            });
            QTest::mouseClick(button, Qt::LeftButton);
            QCOMPARE(dialogStart, regionColor);
        }
        QCOMPARE(QList<QVariantList>(chosen), (QList<QVariantList>{{2, QColor(10, 20, 30, 40)}}));
    }
};

QTEST_MAIN(RegionWidgetTest)
#include "tst_regionwidget.moc"
