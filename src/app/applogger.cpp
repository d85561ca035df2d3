#include "app/applogger.h"

#include <log4qt/logger.h>

Log4Qt::Logger *appLogger()
{
    return Log4Qt::Logger::logger(QStringLiteral("RollingFile"));
}

void logInfo(const QString &line)
{
    appLogger()->info(line);
}
