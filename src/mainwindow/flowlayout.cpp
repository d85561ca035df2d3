#include "mainwindow/flowlayout.h"

#include <QAbstractButton>
#include <QBoxLayout>
#include <QLabel>
#include <QVector>
#include <QWidget>

namespace {

// A label names the field after it unless that is another label or a button with its own text.
bool namesNext(QWidget *widget, QWidget *next)
{
    if (!qobject_cast<QLabel *>(widget) || !next || qobject_cast<QLabel *>(next))
        return false;
    const auto *button = qobject_cast<QAbstractButton *>(next);
    return !button || button->text().isEmpty();
}

} // namespace

FlowLayout::~FlowLayout()
{
    while (QLayoutItem *item = takeAt(0))
        delete item;
}

FlowLayout *FlowLayout::replaceRow(QBoxLayout *row)
{
    auto *parent = qobject_cast<QBoxLayout *>(row->parent());
    Q_ASSERT(parent);
    QVector<QWidget *> widgets;
    while (QLayoutItem *item = row->takeAt(0)) {
        if (item->widget())
            widgets.append(item->widget());
        delete item;
    }
    auto *flow = new FlowLayout;
    flow->setObjectName(row->objectName());
    flow->setSpacing(row->spacing());
    for (int i = 0; i < widgets.size(); ++i) {
        if (namesNext(widgets.at(i), widgets.value(i + 1))) {
            auto *pair = new QHBoxLayout;
            pair->setSpacing(row->spacing());
            pair->addWidget(widgets.at(i));
            pair->addWidget(widgets.at(++i));
            flow->addChildLayout(pair);
            flow->addItem(pair);
        } else {
            flow->addWidget(widgets.at(i));
        }
    }
    const int index = parent->indexOf(row);
    parent->takeAt(index); // the row itself, now empty
    delete row;
    parent->insertLayout(index, flow);
    return flow;
}

void FlowLayout::addItem(QLayoutItem *item)
{
    items.append(item);
}

int FlowLayout::count() const
{
    return items.size();
}

QLayoutItem *FlowLayout::itemAt(int index) const
{
    return items.value(index);
}

QLayoutItem *FlowLayout::takeAt(int index)
{
    return index >= 0 && index < items.size() ? items.takeAt(index) : nullptr;
}

Qt::Orientations FlowLayout::expandingDirections() const
{
    return {};
}

bool FlowLayout::hasHeightForWidth() const
{
    return true;
}

int FlowLayout::heightForWidth(int width) const
{
    return arrange(QRect(0, 0, width, 0), false);
}

// As wide as the widest item, so that none is ever cut; as high as that width makes it.
QSize FlowLayout::minimumSize() const
{
    int width = 0;
    for (const QLayoutItem *item : items) {
        if (!item->isEmpty())
            width = qMax(width, item->sizeHint().width());
    }
    const QMargins margins = contentsMargins();
    width += margins.left() + margins.right();
    return QSize(width, heightForWidth(width));
}

QSize FlowLayout::sizeHint() const
{
    return minimumSize();
}

void FlowLayout::setGeometry(const QRect &rect)
{
    QLayout::setGeometry(rect);
    arrange(rect, true);
}

int FlowLayout::arrange(const QRect &rect, bool apply) const
{
    const QMargins margins = contentsMargins();
    const QRect area = rect.marginsRemoved(margins);
    const int gap = qMax(spacing(), 0);
    int y = area.y();
    QVector<QLayoutItem *> line;
    int lineWidth = 0;
    int lineHeight = 0;
    // Each line's items are centred on it, so a label sits level with its field.
    const auto closeLine = [&] {
        int x = area.x();
        for (QLayoutItem *item : qAsConst(line)) {
            const QSize size = item->sizeHint();
            if (apply)
                item->setGeometry(QRect(QPoint(x, y + (lineHeight - size.height()) / 2), size));
            x += size.width() + gap;
        }
        y += lineHeight + gap;
        line.clear();
        lineWidth = 0;
        lineHeight = 0;
    };
    for (QLayoutItem *item : items) {
        if (item->isEmpty())
            continue;
        const QSize size = item->sizeHint();
        if (!line.isEmpty() && lineWidth + gap + size.width() > area.width())
            closeLine();
        lineWidth += (line.isEmpty() ? 0 : gap) + size.width();
        lineHeight = qMax(lineHeight, size.height());
        line.append(item);
    }
    if (!line.isEmpty())
        closeLine();
    const int linesHeight = y > area.y() ? y - gap - area.y() : 0;
    return margins.top() + linesHeight + margins.bottom();
}
