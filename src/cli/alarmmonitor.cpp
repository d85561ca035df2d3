#include "alarmmonitor.h"

#include "console.h"

AlarmMonitor::AlarmMonitor(const CliOptions &options, Console &console)
    : m_options(options), m_console(console), m_watch(options.csvFile)
{}

bool AlarmMonitor::prepare(QString *error)
{
    return m_watch.open(m_options.regionFile, m_options.group, error);
}

bool AlarmMonitor::take(const ScanFrames &revolution)
{
    if (!m_sinceFirst.isValid())
        m_sinceFirst.start();
    const double timeS = m_sinceFirst.nsecsElapsed() / 1e9;
    for (const QString &change : m_watch.take(timeS, revolution))
        m_console.summary(change);
    if (m_options.untilAlarm == 0 || !m_watch.alarms(m_options.untilAlarm))
        return false;
    m_alarmedAtS = timeS;
    return true;
}

ExitStatus AlarmMonitor::finish(QString *line)
{
    if (!m_watch.commit(line))
        return UsageOrFileError;
    if (m_options.untilAlarm == 0) {
        *line = m_watch.summary().join(QLatin1Char('\n'));
        return Success;
    }
    if (m_alarmedAtS < 0) {
        *line = QStringLiteral("region %1 did not alarm within %2 s")
                    .arg(m_options.untilAlarm)
                    .arg(m_options.seconds);
        return DeviceFailed;
    }
    *line = QStringLiteral("region %1 alarmed at %2 s")
                .arg(m_options.untilAlarm)
                .arg(m_alarmedAtS, 0, 'f', 3);
    return Success;
}
