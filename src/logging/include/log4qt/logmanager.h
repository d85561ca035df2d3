#pragma once

#include <QString>

namespace Log4Qt {

class Logger;

// Access to the process-wide logger hierarchy.
class LogManager
{
public:
    static Logger *logger(const QString &name);
    static Logger *rootLogger();
    // Every logger back to its defaults: inherited level (root DEBUG), additive, no appenders.
    static void resetConfiguration();
    // Flushes and closes every appender; later messages are dropped.
    static void shutdown();
};

} // namespace Log4Qt
