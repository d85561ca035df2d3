#include "alarmwatch.h"

#include "alarmcsv.h"
#include "regionfileinput.h"

AlarmWatch::AlarmWatch(const QString &csvPath)
    : m_file(csvPath), m_tallies(Regions::regionsPerGroup)
{}

bool AlarmWatch::open(const QString &regionFile, int group, QString *error)
{
    RegionStore store = Regions::initialStore();
    if (!loadRegionFile(regionFile, store, error))
        return false;
    m_evaluator = AlarmEvaluator(store.value(group));
    if (m_file.fileName().isEmpty() ||
        (m_file.open(QIODevice::WriteOnly) && m_file.write(AlarmCsv::header().toUtf8()) >= 0))
        return true;
    *error = fileError();
    return false;
}

QStringList AlarmWatch::take(double timeS, const ScanFrames &revolution)
{
    const QVector<RegionAlarmState> states = m_evaluator.evaluate(revolution);
    ++m_revolutions;
    if (m_file.isOpen())
        m_file.write(AlarmCsv::rows(m_revolutions, timeS, states).toUtf8());
    QStringList changes;
    for (int rgnIndex = 0; rgnIndex < states.size(); ++rgnIndex) {
        const RegionAlarmState &state = states.at(rgnIndex);
        const bool wasAlarming = !m_latest.isEmpty() && m_latest.at(rgnIndex).alarm;
        Tally &tally = m_tallies[rgnIndex];
        if (state.alarm) {
            ++tally.alarming;
            if (!wasAlarming && ++tally.episodes == 1)
                tally.firstEpisodeS = timeS;
        }
        if (m_latest.isEmpty() || state.alarm != wasAlarming) {
            changes << QStringLiteral("%1 s region %2: %3 inside, %4")
                           .arg(timeS, 0, 'f', 3)
                           .arg(rgnIndex + 1)
                           .arg(state.pointsInside)
                           .arg(state.alarm ? QStringLiteral("alarm") : QStringLiteral("clear"));
        }
    }
    m_latest = states;
    return changes;
}

bool AlarmWatch::alarms(int region) const
{
    return region >= 1 && region <= m_latest.size() && m_latest.at(region - 1).alarm;
}

bool AlarmWatch::commit(QString *error)
{
    if (!m_file.isOpen() || m_file.commit())
        return true;
    *error = fileError();
    return false;
}

QStringList AlarmWatch::summary() const
{
    QStringList lines;
    for (int rgnIndex = 0; rgnIndex < m_tallies.size(); ++rgnIndex) {
        const Tally &tally = m_tallies.at(rgnIndex);
        QString line = QStringLiteral("region %1: %2 revolutions evaluated, %3 alarming, "
                                      "%4 alarm episodes")
                           .arg(rgnIndex + 1)
                           .arg(m_revolutions)
                           .arg(tally.alarming)
                           .arg(tally.episodes);
        if (tally.episodes > 0)
            line += QStringLiteral(", the first at %1 s").arg(tally.firstEpisodeS, 0, 'f', 3);
        lines << line;
    }
    return lines;
}

QString AlarmWatch::fileError() const
{
    return QStringLiteral("cannot write %1: %2").arg(m_file.fileName(), m_file.errorString());
}
