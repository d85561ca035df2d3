#pragma once

#include "alarmwatch.h"
#include "clioptions.h"
#include "exitstatus.h"

#include <QElapsedTimer>

class Console;

// vks20-cli LINK monitor: the live scan's complete revolutions against one group's regions,
// timed from the first of them; a line on stdout for every change of a region's state. With
// --until-alarm R it waits for region R to alarm.
class AlarmMonitor
{
public:
    AlarmMonitor(const CliOptions &options, Console &console);

    // Reads the regions and readies the CSV file, before anything is sent; false, with `error`.
    bool prepare(QString *error);
    // True once what the monitor waits for has come: the scan can end.
    bool take(const ScanFrames &revolution);
    // How the run went, once the scan has stopped, and the line that says so.
    ExitStatus finish(QString *line);

private:
    const CliOptions m_options;
    Console &m_console;
    AlarmWatch m_watch;
    QElapsedTimer m_sinceFirst;
    double m_alarmedAtS = -1.0; // when the --until-alarm region alarmed
};
