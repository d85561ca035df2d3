#pragma once
// A session with no real time and no real device: a clock the test advances, the session's
// step timer on it, and a scripted device on a link that answers after a few milliseconds.

#include "device/devicelink.h"
#include "device/devicesession.h"
#include "device/steptimer.h"
#include "protocol/hextext.h"

#include <QMap>
#include <QSignalSpy>
#include <QStringList>

#include <functional>

class TestClock
{
public:
    using Event = QPair<qint64, int>; // due time, then the order asked in
    qint64 now() const { return m_now; }
    Event schedule(int ms, std::function<void()> action)
    {
        const Event event{m_now + ms, m_next++};
        m_events.insert(event, std::move(action));
        return event;
    }
    void cancel(Event event) { m_events.remove(event); }
    // Runs every event due within `ms`, in time order, then stands at the end of the span.
    void advance(qint64 ms)
    {
        const qint64 end = m_now + ms;
        while (!m_events.isEmpty() && m_events.firstKey().first <= end) {
            m_now = m_events.firstKey().first;
            m_events.take(m_events.firstKey())();
        }
        m_now = end;
    }

private:
    qint64 m_now = 0;
    int m_next = 0;
    QMap<Event, std::function<void()>> m_events;
};

class TestStepTimer : public StepTimer
{
public:
    explicit TestStepTimer(TestClock &clock) : m_clock(clock) {}
    void start(int ms) override
    {
        stop();
        m_event = m_clock.schedule(ms, [this] { emit expired(); });
    }
    // Events are never reused, so cancelling one that has run is harmless.
    void stop() override { m_clock.cancel(m_event); }

private:
    TestClock &m_clock;
    TestClock::Event m_event;
};

// The device: each request written gets the chunks `respond` returns, the first after
// replyDelayMs and each further one pieceGapMs later. Every write is kept as "t HEX".
class ScriptedLink : public DeviceLink
{
public:
    using Responder = std::function<QList<QByteArray>(const QByteArray &request)>;

    explicit ScriptedLink(TestClock &clock) : m_clock(clock) {}

    bool isOpen() const override { return open; }
    void close() override { open = false; }
    void write(const QByteArray &bytes) override
    {
        requests.append(HexText::fromBytes(bytes));
        transcript.append(QStringLiteral("%1 %2").arg(m_clock.now()).arg(requests.last()));
        int delay = replyDelayMs;
        for (const QByteArray &chunk : respond ? respond(bytes) : QList<QByteArray>{}) {
            deliverAfter(delay, chunk);
            delay += pieceGapMs;
        }
    }
    void deliverAfter(int ms, const QByteArray &chunk)
    {
        m_clock.schedule(ms, [this, chunk] { deliver(chunk); });
    }

    bool open = true;
    int replyDelayMs = 5;
    int pieceGapMs = 20;
    Responder respond;
    QStringList transcript;
    QStringList requests; // the transcript without the times

private:
    TestClock &m_clock;
};

inline QByteArray bytes(const char *hex)
{
    return QByteArray::fromHex(hex);
}

// A session on a scripted link, in the given mode, with what it reports collected.
struct SessionRig
{
    explicit SessionRig(ConnMode mode = Usb) : session({}, new TestStepTimer(clock)), link(clock)
    {
        session.setMode(mode);
        session.setLink(&link);
        QObject::connect(&session, &DeviceSession::statusReported,
                         [this](const QString &line) { status.append(line); });
    }
    // Advances until the session has nothing left to do (or a minute has passed).
    void settle()
    {
        for (int ms = 0; ms < 60000 && session.isBusy(); ms += 10)
            clock.advance(10);
        clock.advance(1000);
    }

    TestClock clock;
    DeviceSession session;
    ScriptedLink link;
    QStringList status;
};
