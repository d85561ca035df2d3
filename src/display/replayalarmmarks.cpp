#include "display/replayalarmmarks.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr int barHeight = 6;
constexpr int minimumMarkWidth = 3;
const QColor barColor(70, 70, 70);
const QColor markColor(230, 40, 40);

} // namespace

ReplayAlarmMarks::ReplayAlarmMarks(QWidget *parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setToolTip(tr("红色标记为告警处，点击标记跳转到该处"));
    setCursor(Qt::PointingHandCursor);
}

void ReplayAlarmMarks::setSpans(qint64 durationUs, const QVector<AlarmSpan> &spans)
{
    m_durationUs = durationUs;
    m_spans = spans;
    update();
}

QRect ReplayAlarmMarks::markRect(const AlarmSpan &span) const
{
    if (m_durationUs <= 0)
        return QRect();
    const auto x = [this](qint64 us) { return int(double(us) * width() / m_durationUs); };
    const int left = x(span.fromUs);
    return QRect(left, 0, std::max(x(span.toUs) - left, minimumMarkWidth), height());
}

QSize ReplayAlarmMarks::sizeHint() const
{
    return QSize(200, barHeight);
}

void ReplayAlarmMarks::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), barColor);
    for (const AlarmSpan &span : qAsConst(m_spans))
        painter.fillRect(markRect(span), markColor);
}

void ReplayAlarmMarks::mousePressEvent(QMouseEvent *event)
{
    for (const AlarmSpan &span : qAsConst(m_spans)) {
        if (markRect(span).adjusted(-1, 0, 1, 0).contains(event->pos())) {
            emit seekRequested(span.fromUs);
            return;
        }
    }
}
