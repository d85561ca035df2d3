#pragma once

#include "log4qt/level.h"

#include <QString>

namespace Log4Qt {

// One message on its way to the appenders; formatted on the thread that logged it.
struct LoggingEvent
{
    Level level;
    QString loggerName;
    QString message;
    qint64 timeStamp; // ms since the epoch

    // The logging thread's object name, or its id in hex when it has none.
    static QString currentThreadName();
    // ms since the epoch at which logging started, for %r and RELATIVE dates.
    static qint64 startTime();
};

} // namespace Log4Qt
