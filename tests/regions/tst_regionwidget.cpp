#include "regions/region.h"
#include "regions/regionwidget.h"

#include <QColorDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>

namespace {

using Rows = QVector<QPair<QString, QString>>;
using Points = QVector<QPointF>;

// An editor wired as the main window wires it: the store accepts what is in range.
struct Editor
{
    Editor()
    {
        QObject::connect(&widget, &RegionWidget::addRegionPoints,
                         [this](RegionWidget *p, int rgnIndex) {
                             QCOMPARE(p, &widget);
                             QCOMPARE(rgnIndex, 2);
                             added << p->regionPoints();
                         });
        QObject::connect(&widget, &RegionWidget::updateRegionPoints,
                         [this](int rgnIndex, int pointIndex, QPointF point, bool &isInRange) {
                             QCOMPARE(rgnIndex, 2);
                             isInRange = Regions::isPointInRange(point);
                             updates << qMakePair(pointIndex, point);
                         });
        QObject::connect(&widget, &RegionWidget::beyondTheRange, [this] { ++refusals; });
        widget.show();
    }

    // The table's text; a cell that is not centred shows as "?".
    Rows rows() const
    {
        const auto text = [this](int row, int column) {
            const QTableWidgetItem *item = table->item(row, column);
            return item->textAlignment() == Qt::AlignCenter ? item->text() : QStringLiteral("?");
        };
        Rows shown;
        for (int row = 0; row < table->rowCount(); ++row)
            shown << qMakePair(text(row, 0), text(row, 1));
        return shown;
    }

    int selectedRow() const
    {
        const QModelIndexList selected = table->selectionModel()->selectedRows();
        return selected.size() == 1 ? selected.first().row() : -1;
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
    void vertexCountRefillsRegion()
    {
        Editor editor;
        editor.spinBox->setValue(3);
        QCOMPARE(editor.rows(), Rows(3, {"0", "0"}));
        QCOMPARE(editor.added, QVector<Points>{Points(3)});

        editor.type(0, 0, QStringLiteral("150"));
        editor.type(0, 1, QStringLiteral("-20.5"));
        editor.type(1, 0, QStringLiteral("99"));
        editor.spinBox->setValue(1);
        QCOMPARE(editor.added.last(), Points{QPointF(150, -20.5)});
        QTest::keyClick(editor.spinBox, Qt::Key_Up); // the dropped vertex does not come back
        QCOMPARE(editor.rows(), (Rows{{"150", "-20"}, {"0", "0"}}));
        QCOMPARE(editor.added.last(), (Points{QPointF(150, -20.5), QPointF(0, 0)}));
        QCOMPARE(editor.added.size(), 3);
        QCOMPARE(editor.updates.size(), 3); // one per typed cell, none from the refills
    }

    // The store decides on a typed point. A refused row shows its own slot again, not the row
    // clicked last (row 0, holding 100 / 200).
    void typedPointIsCheckedByStore_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QPointF>("stored");
        QTest::addColumn<QString>("shown");
        QTest::newRow("beyond 20000") << 0 << "20001" << false << QPointF(0, 0) << "0";
        QTest::newRow("at -20000") << 0 << "-20000" << true << QPointF(-20000, 0) << "-20000";
        QTest::newRow("not a number") << 0 << "abc" << true << QPointF(0, 0) << "0";
        QTest::newRow("fraction") << 0 << "-0.7" << true << QPointF(-0.7, 0) << "0";
        QTest::newRow("y beyond -20000") << 1 << "-25000" << false << QPointF(0, 0) << "0";
    }
    void typedPointIsCheckedByStore()
    {
        QFETCH(int, column);
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        QFETCH(QPointF, stored);
        QFETCH(QString, shown);

        Editor editor;
        editor.spinBox->setValue(2);
        editor.type(0, 0, QStringLiteral("100"));
        editor.type(0, 1, QStringLiteral("200"));
        const QRect firstRow = editor.table->visualItemRect(editor.table->item(0, 1));
        QTest::mouseClick(editor.table->viewport(), Qt::LeftButton, {}, firstRow.center());
        editor.type(1, column, typed);
        QCOMPARE(editor.updates.size(), 3);
        QCOMPARE(editor.updates.last().first, 1);
        QCOMPARE(editor.refusals, accepted ? 0 : 1);
        QCOMPARE(editor.widget.regionPoints(), (Points{QPointF(100, 200), stored}));
        const Rows rows{{"100", "200"}, {column == 0 ? shown : "0", column == 1 ? shown : "0"}};
        QCOMPARE(editor.rows(), rows);
    }

    // A vertex dragged on the display: shown truncated toward zero, selected, and not echoed.
    void movedVertexIsShownWithoutEcho()
    {
        Editor editor;
        editor.spinBox->setValue(2);
        editor.widget.updateRegionPoint(1, QPointF(-1234.9, 56.7));
        QCOMPARE(editor.selectedRow(), 1);
        editor.widget.updateRegionPoint(0, QPointF(-0.5, 19999.99));
        QCOMPARE(editor.selectedRow(), 0);
        editor.widget.updateRegionPoint(2, QPointF(1, 1)); // no such row
        QCOMPARE(editor.rows(), (Rows{{"0", "19999"}, {"-1234", "56"}}));
        QCOMPARE(editor.widget.regionPoints(),
                 (Points{QPointF(-0.5, 19999.99), QPointF(-1234.9, 56.7)}));
        QVERIFY(editor.updates.isEmpty());
        QCOMPARE(editor.added.size(), 1);
    }

    // Loads one after another into one editor: each replaces all slots and emits nothing.
    void setPointsLoadsSilently()
    {
        Points tooMany;
        for (int i = 0; i <= Regions::maxVertices; ++i)
            tooMany << QPointF(i + 1, -i);
        Editor editor;
        editor.spinBox->setValue(5);
        editor.widget.updateRegionPoint(2, QPointF(9, 9)); // a stale slot the load must clear
        for (const Points &polygon :
             {Points{QPointF(10.9, -3), QPointF(-7, 8)}, tooMany, Points()}) {
            const int count = qMin(polygon.size(), 30); // only the first 30 fit
            editor.added.clear();
            editor.widget.setPoints(QPolygonF(polygon));
            QCOMPARE(editor.spinBox->value(), count);
            QCOMPARE(editor.widget.regionPoints(), polygon.mid(0, count));
            QCOMPARE(editor.rows().size(), count);
            if (count > 0)
                QCOMPARE(editor.rows().first(), qMakePair(QString::number(int(polygon[0].x())),
                                                          QString::number(int(polygon[0].y()))));
            QVERIFY(editor.added.isEmpty());
            QVERIFY(editor.updates.isEmpty());

            // Growing by one (shrinking when full) keeps the loaded points; new slots are 0.
            const int resized = qMin(count + 1, 29);
            editor.spinBox->setValue(resized);
            Points expected = polygon.mid(0, resized);
            expected.resize(resized);
            QCOMPARE(editor.added, QVector<Points>{expected});
        }
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
            QTimer answer;
            connect(&answer, &QTimer::timeout, [&] {
                auto *dialog = qobject_cast<QColorDialog *>(QApplication::activeModalWidget());
                if (!dialog)
                    return;
                answer.stop();
                dialogStart = dialog->currentColor();
                dialog->setCurrentColor(QColor(10, 20, 30, 40));
                accept ? dialog->accept() : dialog->reject();
            });
            answer.start(10);
            QTest::mouseClick(button, Qt::LeftButton);
            QCOMPARE(dialogStart, regionColor);
        }
        QCOMPARE(QList<QVariantList>(chosen), (QList<QVariantList>{{2, QColor(10, 20, 30, 40)}}));
    }
};

QTEST_MAIN(RegionWidgetTest)
#include "tst_regionwidget.moc"
