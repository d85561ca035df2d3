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

    Rows rows() const
    {
        Rows shown;
        for (int row = 0; row < table->rowCount(); ++row)
            shown << qMakePair(table->item(row, 0)->text(), table->item(row, 1)->text());
        return shown;
    }

    bool allCentred() const
    {
        bool centred = true;
        for (int row = 0; row < table->rowCount(); ++row)
            for (int column = 0; column < table->columnCount(); ++column)
                centred = centred && table->item(row, column)->textAlignment() == Qt::AlignCenter;
        return centred;
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

    void clickRow(int row)
    {
        const QRect cell = table->visualItemRect(table->item(row, 1));
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
    }

    RegionWidget widget{2};
    QSpinBox *spinBox = widget.findChild<QSpinBox *>(QStringLiteral("spinBox"));
    QTableWidget *table = widget.findChild<QTableWidget *>(QStringLiteral("tableWidget"));
    QVector<QVector<QPointF>> added;
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
        QCOMPARE(editor.added, QVector<QVector<QPointF>>{QVector<QPointF>(3)});

        editor.type(0, 0, QStringLiteral("150"));
        editor.type(0, 1, QStringLiteral("-20.5"));
        editor.type(1, 0, QStringLiteral("99"));
        editor.spinBox->setValue(1);
        QCOMPARE(editor.added.last(), QVector<QPointF>{QPointF(150, -20.5)});
        QTest::keyClick(editor.spinBox, Qt::Key_Up); // the dropped vertex does not come back
        QCOMPARE(editor.rows(), (Rows{{"150", "-20"}, {"0", "0"}}));
        QVERIFY(editor.allCentred());
        QCOMPARE(editor.added.last(), (QVector<QPointF>{QPointF(150, -20.5), QPointF(0, 0)}));
        QCOMPARE(editor.added.size(), 3);
        QCOMPARE(editor.updates.size(), 3); // one per typed cell, none from the refills
    }

    // The store decides on a typed point. A refused row shows its own slot again, not the row
    // clicked last (row 0, holding 100 / 200), as the issue asks.
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
        editor.clickRow(0);
        editor.type(1, column, typed);
        QCOMPARE(editor.updates.size(), 3);
        QCOMPARE(editor.updates.last().first, 1);
        QCOMPARE(editor.refusals, accepted ? 0 : 1);
        QCOMPARE(editor.widget.regionPoints(), (QVector<QPointF>{QPointF(100, 200), stored}));
        const Rows rows{{"100", "200"}, {column == 0 ? shown : "0", column == 1 ? shown : "0"}};
        QCOMPARE(editor.rows(), rows);
    }

    void movedVertexIsShownWithoutEcho_data()
    {
        QTest::addColumn<int>("pointIndex");
        QTest::addColumn<QPointF>("point");
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::newRow("truncated toward zero") << 1 << QPointF(-1234.9, 56.7) << -1234 << 56;
        QTest::newRow("small negative") << 0 << QPointF(-0.5, 19999.99) << 0 << 19999;
    }
    void movedVertexIsShownWithoutEcho()
    {
        QFETCH(int, pointIndex);
        QFETCH(QPointF, point);
        QFETCH(int, x);
        QFETCH(int, y);

        Editor editor;
        editor.spinBox->setValue(2);
        editor.widget.updateRegionPoint(pointIndex, point);
        QCOMPARE(editor.rows().at(pointIndex), qMakePair(QString::number(x), QString::number(y)));
        QCOMPARE(editor.widget.regionPoints().at(pointIndex), point);
        QCOMPARE(editor.table->selectionModel()->selectedRows().size(), 1);
        QCOMPARE(editor.table->selectionModel()->selectedRows().first().row(), pointIndex);

        editor.widget.updateRegionPoint(2, QPointF(1, 1)); // no such row
        QCOMPARE(editor.widget.regionPoints().size(), 2);
        QVERIFY(editor.updates.isEmpty());
        QCOMPARE(editor.added.size(), 1);
    }

    void setPointsLoadsSilently_data()
    {
        QTest::addColumn<QVector<QPointF>>("polygon");
        QTest::addColumn<int>("shownCount");
        QTest::newRow("empty") << QVector<QPointF>() << 0;
        QTest::newRow("two") << QVector<QPointF>{QPointF(10.9, -3), QPointF(-7, 8)} << 2;
        QVector<QPointF> tooMany;
        for (int i = 0; i <= Regions::maxVertices; ++i)
            tooMany << QPointF(i, i);
        QTest::newRow("31 vertices, first 30 kept") << tooMany << 30;
    }
    void setPointsLoadsSilently()
    {
        QFETCH(QVector<QPointF>, polygon);
        QFETCH(int, shownCount);

        Editor editor;
        editor.spinBox->setValue(5);
        editor.added.clear();
        editor.widget.setPoints(QPolygonF(polygon));
        QCOMPARE(editor.spinBox->value(), shownCount);
        QCOMPARE(editor.table->rowCount(), shownCount);
        QCOMPARE(editor.widget.regionPoints(), polygon.mid(0, shownCount));
        if (shownCount > 0)
            QCOMPARE(editor.rows().first(), qMakePair(QString::number(int(polygon.first().x())),
                                                      QString::number(int(polygon.first().y()))));
        QVERIFY(editor.added.isEmpty());
        QVERIFY(editor.updates.isEmpty());

        // Slots past the loaded points are 0.
        editor.spinBox->setValue(shownCount == 30 ? 29 : shownCount + 1);
        QCOMPARE(editor.added.last().mid(0, qMin(shownCount, 29)),
                 polygon.mid(0, qMin(shownCount, 29)));
        if (shownCount < 30)
            QCOMPARE(editor.added.last().last(), QPointF(0, 0));
    }

    void colourDialogOnlyRecoloursButton_data()
    {
        QTest::addColumn<bool>("accept");
        QTest::addColumn<QString>("styleSheet");
        QTest::newRow("chosen") << true << "QPushButton{background-color:rgba(10,20,30,40);}";
        QTest::newRow("cancelled") << false << "QPushButton{background-color:rgba(255,250,0,128);}";
    }
    void colourDialogOnlyRecoloursButton()
    {
        QFETCH(bool, accept);
        QFETCH(QString, styleSheet);

        Editor editor;
        const QColor regionColor(255, 250, 0, 128);
        editor.widget.setColor(regionColor);
        auto *button =
            editor.widget.findChild<QPushButton *>(QStringLiteral("pushButtonColorSelected"));
        QCOMPARE(button->styleSheet(), "QPushButton{background-color:rgba(255,250,0,128);}");

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
        QCOMPARE(button->styleSheet(), styleSheet);
        QCOMPARE(editor.widget.color(), regionColor);
    }
};

QTEST_MAIN(RegionWidgetTest)
#include "tst_regionwidget.moc"
