#include "sendqueue.h"

#include <algorithm>

SendQueue::SendQueue(const WireFaults &faults, quint32 seed, QObject *parent)
    : QObject(parent), m_faults(faults), m_random(seed)
{
    m_clock.start();
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &SendQueue::pump);
}

void SendQueue::sendReply(const QByteArray &bytes, int extraDelayMs)
{
    if (int(m_random.bounded(100)) < m_faults.dropPercent)
        return;
    const int copies = m_faults.duplicateReplies ? 2 : 1;
    for (int copy = 0; copy < copies; ++copy)
        enqueue(bytes, m_faults.replyDelayMs + extraDelayMs);
}

void SendQueue::sendStream(const QByteArray &bytes)
{
    enqueue(bytes, 0);
}

void SendQueue::endLink()
{
    Item item;
    item.endsLink = true;
    append(item);
}

void SendQueue::reopen()
{
    m_ended = false;
    m_lastDueMs = 0;
}

void SendQueue::enqueue(const QByteArray &bytes, int delayMs)
{
    const QVector<QByteArray> parts = m_faults.splitReplies ? pieces(bytes) : QVector{bytes};
    const qint64 dueMs = m_clock.elapsed() + delayMs;
    for (int i = 0; i < parts.size(); ++i) {
        Item item;
        item.bytes = parts.at(i);
        item.dueMs = dueMs;
        item.gapMs = i == 0 ? 0 : m_faults.pieceGapMs;
        append(item);
    }
}

// Items leave in order; an item never overtakes the one queued before it.
void SendQueue::append(const Item &item)
{
    if (m_ended)
        return;
    Item queued = item;
    queued.dueMs = std::max(item.dueMs, m_lastDueMs);
    m_lastDueMs = queued.dueMs;
    m_items.enqueue(queued);
    pump();
}

QVector<QByteArray> SendQueue::pieces(const QByteArray &bytes)
{
    const int count = std::min(bytes.size(), 2 + int(m_random.bounded(2)));
    if (count < 2)
        return {bytes};
    QVector<int> cuts;
    while (cuts.size() < count - 1) {
        const int cut = 1 + int(m_random.bounded(bytes.size() - 1));
        if (!cuts.contains(cut))
            cuts.append(cut);
    }
    std::sort(cuts.begin(), cuts.end());
    cuts.append(bytes.size());
    QVector<QByteArray> parts;
    int from = 0;
    for (int cut : cuts) {
        parts.append(bytes.mid(from, cut - from));
        from = cut;
    }
    return parts;
}

qint64 SendQueue::readyAtMs(const Item &item) const
{
    return item.gapMs > 0 ? std::max(item.dueMs, m_lastSentMs + item.gapMs) : item.dueMs;
}

void SendQueue::pump()
{
    const qint64 now = m_clock.elapsed();
    while (!m_items.isEmpty() && readyAtMs(m_items.head()) <= now && !m_ended) {
        const Item item = m_items.dequeue();
        m_lastSentMs = now;
        if (item.endsLink) {
            m_ended = true;
            m_items.clear();
            emit linkEnded();
        } else {
            emit bytesOut(item.bytes);
        }
    }
    if (!m_items.isEmpty())
        m_timer.start(int(readyAtMs(m_items.head()) - now));
}
