#include "log4qt/logmanager.h"
#include "loggerrepository.h"
#include "loggingevent.h"

#include <QtGlobal>

namespace Log4Qt {

namespace {
constexpr Level rootDefaultLevel = Level::DEBUG_INT;
}

LoggerRepository::LoggerRepository() : mRoot(QStringLiteral("root"), nullptr, rootDefaultLevel)
{
    LoggingEvent::startTime(); // relative times count from here
    resolve(&mRoot);
}

LoggerRepository &LoggerRepository::instance()
{
    // Never destroyed: static objects may still log while the process exits.
    static LoggerRepository *repository = new LoggerRepository;
    return *repository;
}

Logger *LoggerRepository::logger(const QString &name)
{
    QMutexLocker lock(&mMutex);
    if (Logger *existing = mLoggers.value(name))
        return existing;
    Logger *created = findOrCreate(name);
    resolveAll();
    return created;
}

Logger *LoggerRepository::findOrCreate(const QString &name)
{
    if (name.isEmpty())
        return &mRoot;
    if (Logger *existing = mLoggers.value(name))
        return existing;
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    Logger *parent = dot < 0 ? &mRoot : findOrCreate(name.left(dot));
    auto *created = new Logger(name, parent, Level::NULL_INT);
    mLoggers.insert(name, created);
    return created;
}

void LoggerRepository::refresh()
{
    QMutexLocker lock(&mMutex);
    resolveAll();
}

void LoggerRepository::resolveAll()
{
    resolve(&mRoot);
    for (Logger *logger : qAsConst(mLoggers))
        resolve(logger);
}

void LoggerRepository::resolve(Logger *logger) const
{
    Level level = Level::NULL_INT;
    QVector<AppenderSharedPtr> appenders;
    bool collecting = true;
    for (const Logger *l = logger; l; l = l->mParent) {
        if (level == Level::NULL_INT)
            level = l->mLevel;
        if (collecting)
            appenders += l->mAppenders;
        collecting = collecting && l->mAdditivity;
    }
    // Unchanged loggers are left untouched, so that creating a logger on one thread does not
    // disturb another thread that is logging.
    if (logger->mEffectiveLevel != level)
        logger->mEffectiveLevel = level;
    if (logger->mEffectiveAppenders != appenders)
        logger->mEffectiveAppenders = appenders;
}

void LoggerRepository::resetConfiguration()
{
    QMutexLocker lock(&mMutex);
    mRoot.mLevel = rootDefaultLevel;
    mRoot.mAppenders.clear();
    for (Logger *logger : qAsConst(mLoggers)) {
        logger->mLevel = Level::NULL_INT;
        logger->mAdditivity = true;
        logger->mAppenders.clear();
    }
    resolveAll();
}

Logger *LogManager::logger(const QString &name)
{
    return LoggerRepository::instance().logger(name);
}

Logger *LogManager::rootLogger()
{
    return LoggerRepository::instance().rootLogger();
}

void LogManager::resetConfiguration()
{
    LoggerRepository::instance().resetConfiguration();
}

void LogManager::shutdown()
{
    // Dropping the last references closes the appenders, which flushes their files.
    LoggerRepository::instance().resetConfiguration();
}

} // namespace Log4Qt

// Buffered log files reach the disk even though the repository itself is never destroyed.
static void shutdownLogging()
{
    Log4Qt::LogManager::shutdown();
}
Q_DESTRUCTOR_FUNCTION(shutdownLogging)
