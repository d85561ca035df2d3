#pragma once

#include "protocol/linktypes.h"
#include "regions/alarmevaluation.h"

#include <QSaveFile>
#include <QString>
#include <QStringList>
#include <QVector>

// One group's three regions watched over a run of complete revolutions, live or recorded:
// each revolution evaluated, its rows written to the CSV file when one is asked for (put in
// place only once the run has ended well), the changes of state told and a tally kept per
// region.
class AlarmWatch
{
public:
    // An empty path writes no CSV.
    explicit AlarmWatch(const QString &csvPath);

    // Takes group `group` from the region file and readies the CSV file; false, with the one
    // line to print in `error`.
    bool open(const QString &regionFile, int group, QString *error);
    // The next revolution, `timeS` seconds after the run's first. Returns a line for each
    // region whose state differs from the revolution before (every region, the first time).
    QStringList take(double timeS, const ScanFrames &revolution);
    // Whether region `region` (1..3) alarmed in the latest revolution.
    bool alarms(int region) const;
    // False, with `error`, when not every row reached the CSV file.
    bool commit(QString *error);

    int revolutions() const { return m_revolutions; }
    // One line per region: revolutions evaluated, alarming, alarm episodes, the first's time.
    QStringList summary() const;

private:
    struct Tally
    {
        int alarming = 0;
        int episodes = 0;
        double firstEpisodeS = 0.0;
    };

    QString fileError() const;

    QSaveFile m_file;
    AlarmEvaluator m_evaluator;
    QVector<RegionAlarmState> m_latest; // empty before the first revolution
    QVector<Tally> m_tallies;
    int m_revolutions = 0;
};
