#pragma once

#include "simoptions.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QQueue>
#include <QRandomGenerator>
#include <QTimer>

// Everything the device sends passes through here, in order, with the line's faults
// applied: delays, pieces with gaps, lost and duplicated replies. A link can be ended
// after what was queued before it has gone out.
class SendQueue : public QObject
{
    Q_OBJECT

public:
    SendQueue(const WireFaults &faults, quint32 seed, QObject *parent = nullptr);

    // A reply: delayed by the reply delay plus `extraDelayMs`, subject to loss and duplication.
    void sendReply(const QByteArray &bytes, int extraDelayMs = 0);
    // Streamed data: sent at once, only split when replies are.
    void sendStream(const QByteArray &bytes);
    void endLink();
    // A new link after an ended one: sending resumes.
    void reopen();
    bool isEmpty() const { return m_items.isEmpty(); }

signals:
    void bytesOut(const QByteArray &bytes);
    void linkEnded();

private:
    struct Item
    {
        QByteArray bytes;
        qint64 dueMs = 0;
        int gapMs = 0; // quiet time after the previous item, so pieces arrive apart
        bool endsLink = false;
    };

    void enqueue(const QByteArray &bytes, int delayMs);
    void append(const Item &item);
    QVector<QByteArray> pieces(const QByteArray &bytes);
    qint64 readyAtMs(const Item &item) const;
    void pump();

    WireFaults m_faults;
    QRandomGenerator m_random;
    QQueue<Item> m_items;
    qint64 m_lastDueMs = 0;
    qint64 m_lastSentMs = 0;
    bool m_ended = false;
    QElapsedTimer m_clock;
    QTimer m_timer;
};
