#pragma once

#include "log4qt/logger.h"

#include <QHash>
#include <QMutex>

namespace Log4Qt {

// Owns every logger and keeps their resolved levels and appender lists up to date.
class LoggerRepository
{
public:
    static LoggerRepository &instance();

    Logger *logger(const QString &name);
    Logger *rootLogger() { return &mRoot; }
    void resetConfiguration();
    // Resolves the effective level and appenders of every logger after a change.
    void refresh();

private:
    LoggerRepository();
    Logger *findOrCreate(const QString &name);
    void resolveAll();
    void resolve(Logger *logger) const;

    QMutex mMutex;
    Logger mRoot;
    QHash<QString, Logger *> mLoggers;
};

} // namespace Log4Qt
