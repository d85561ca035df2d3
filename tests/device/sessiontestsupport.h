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
    qint64 now() const { return m_now; }
    int schedule(int ms, std::function<void()> action)
    {
        m_events.insert({m_now + ms, m_next}, std::move(action));
        return m_next++;
    }
    void cancel(int id)
    {
        for (auto it = m_events.begin(); it != m_events.end(); ++it) {
            if (it.key().second == id) {
                m_events.erase(it);
                return;
            }
        }
    }
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
    QMap<QPair<qint64, int>, std::function<void()>> m_events;
};

class TestStepTimer : public StepTimer
{
public:
    explicit TestStepTimer(TestClock &clock) : m_clock(clock) {}
    void start(int ms) override
    {
        stop();
        m_id = m_clock.schedule(ms, [this] {
            m_id = -1;
            emit expired();
        });
    }
    void stop() override
    {
        if (m_id >= 0)
            m_clock.cancel(m_id);
        m_id = -1;
    }

private:
    TestClock &m_clock;
    int m_id = -1;
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
        transcript.append(
            QStringLiteral("%1 %2").arg(m_clock.now()).arg(HexText::fromBytes(bytes)));
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
    // The hex of the requests, without their times.
    QStringList requests() const
    {
        QStringList hex;
        for (const QString &line : transcript)
            hex.append(line.section(QLatin1Char(' '), 1));
        return hex;
    }

    bool open = true;
    int replyDelayMs = 5;
    int pieceGapMs = 20;
    Responder respond;
    QStringList transcript;

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
