#pragma once

#include <QObject>
#include <QTimer>

// The device session's only sense of time: a single-shot timer for the pause or reply wait of
// the step under way. Tests put a clock of their own in its place.
class StepTimer : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    virtual void start(int ms) = 0;
    virtual void stop() = 0;

signals:
    void expired();
};

// The real one: a precise Qt timer, so 45 pauses of 100 ms add up to 4.5 s.
class QtStepTimer final : public StepTimer
{
public:
    explicit QtStepTimer(QObject *parent = nullptr) : StepTimer(parent)
    {
        m_timer.setSingleShot(true);
        m_timer.setTimerType(Qt::PreciseTimer);
        connect(&m_timer, &QTimer::timeout, this, &StepTimer::expired);
    }

    void start(int ms) override { m_timer.start(ms); }
    void stop() override { m_timer.stop(); }

private:
    QTimer m_timer;
};
