#include "log4qt/logger.h"
#include "appender.h"
#include "loggerrepository.h"
#include "loggingevent.h"

#include <QDateTime>
#include <QThread>

namespace Log4Qt {

Logger::Logger(const QString &name, Logger *parent, Level level)
    : mName(name), mParent(parent), mLevel(level)
{}

Logger *Logger::logger(const QString &name)
{
    return LoggerRepository::instance().logger(name);
}

Logger *Logger::logger(const char *name)
{
    return logger(QString::fromLatin1(name));
}

Logger *Logger::rootLogger()
{
    return LoggerRepository::instance().rootLogger();
}

void Logger::setLevel(Level level)
{
    mLevel = level;
    LoggerRepository::instance().refresh();
}

void Logger::setAdditivity(bool additivity)
{
    mAdditivity = additivity;
    LoggerRepository::instance().refresh();
}

void Logger::addAppender(const AppenderSharedPtr &appender)
{
    if (!appender || mAppenders.contains(appender))
        return;
    mAppenders.append(appender);
    LoggerRepository::instance().refresh();
}

void Logger::removeAllAppenders()
{
    mAppenders.clear();
    LoggerRepository::instance().refresh();
}

void Logger::log(Level level, const QString &message) const
{
    if (!isEnabledFor(level))
        return;
    const LoggingEvent event{level, mName, message, QDateTime::currentMSecsSinceEpoch()};
    for (const AppenderSharedPtr &appender : mEffectiveAppenders)
        appender->doAppend(event);
}

QString LoggingEvent::currentThreadName()
{
    const QString name = QThread::currentThread()->objectName();
    if (!name.isEmpty())
        return name;
    return QStringLiteral("0x%1").arg(reinterpret_cast<quintptr>(QThread::currentThreadId()),
                                      QT_POINTER_SIZE * 2, 16, QLatin1Char('0'));
}

qint64 LoggingEvent::startTime()
{
    static const qint64 start = QDateTime::currentMSecsSinceEpoch();
    return start;
}

} // namespace Log4Qt
