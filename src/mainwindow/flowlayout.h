#pragma once

#include <QLayout>
#include <QList>

class QBoxLayout;

// Lays its items out left to right and starts a new line where the next one no longer fits,
// so a row of controls stays whole on a narrow screen and takes what is added to it.
class FlowLayout : public QLayout
{
public:
    FlowLayout() = default;
    ~FlowLayout() override;

    // Puts a flow in the place of `row` (taking its name) and moves the row's widgets into it;
    // spacers go, and a label stays beside the field that follows it.
    static FlowLayout *replaceRow(QBoxLayout *row);

    void addItem(QLayoutItem *item) override;
    int count() const override;
    QLayoutItem *itemAt(int index) const override;
    QLayoutItem *takeAt(int index) override;
    Qt::Orientations expandingDirections() const override;
    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;
    QSize minimumSize() const override;
    QSize sizeHint() const override;
    void setGeometry(const QRect &rect) override;

private:
    // Places the items in `rect` when `apply`; the height the lines take either way.
    int arrange(const QRect &rect, bool apply) const;

    QList<QLayoutItem *> items;
};
