#pragma once

#include <QVector>
#include <QWidget>

// Recorded time during which a region alarmed, from the first alarming revolution to the last.
struct AlarmSpan
{
    qint64 fromUs = 0;
    qint64 toUs = 0;

    bool operator==(const AlarmSpan &other) const
    {
        return fromUs == other.fromUs && toUs == other.toUs;
    }
};

// A thin bar as long as a recording, marked where it alarms; a click on a mark asks to go to
// the mark's start.
class ReplayAlarmMarks : public QWidget
{
    Q_OBJECT
public:
    explicit ReplayAlarmMarks(QWidget *parent = nullptr);

    void setSpans(qint64 durationUs, const QVector<AlarmSpan> &spans);
    QVector<AlarmSpan> spans() const { return m_spans; }
    // The pixel range a span covers, at least a few pixels wide so that it can be clicked.
    QRect markRect(const AlarmSpan &span) const;

    QSize sizeHint() const override;

signals:
    void seekRequested(qint64 positionUs);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    qint64 m_durationUs = 0;
    QVector<AlarmSpan> m_spans;
};
