#pragma once

#include "log4qt/level.h"

#include <QSharedPointer>
#include <QString>
#include <QVector>

#include <utility>

namespace Log4Qt {

class Appender;
class LoggerRepository;
using AppenderSharedPtr = QSharedPointer<Appender>;

// A named logger; one object per name for the whole process, never deleted.
// A '.' in the name separates hierarchy levels: "a.b" is a child of "a".
class Logger
{
public:
    static Logger *logger(const QString &name);
    static Logger *logger(const char *name);
    static Logger *rootLogger();

    QString name() const { return mName; }
    Logger *parentLogger() const { return mParent; }

    // NULL_INT means the level is inherited from the parent.
    Level level() const { return mLevel; }
    void setLevel(Level level);
    bool additivity() const { return mAdditivity; }
    void setAdditivity(bool additivity);
    QVector<AppenderSharedPtr> appenders() const { return mAppenders; }
    void addAppender(const AppenderSharedPtr &appender);
    void removeAllAppenders();

    // True when a message at this level would reach at least one appender.
    bool isEnabledFor(Level level) const
    {
        return level >= mEffectiveLevel && !mEffectiveAppenders.isEmpty();
    }

    void log(Level level, const QString &message) const;
    // Applies QString::arg once per argument, only when the message is going to be written.
    template <typename T, typename... Ts>
    void log(Level level, const QString &message, T &&arg, Ts &&...args) const
    {
        if (isEnabledFor(level))
            log(level, message.arg(std::forward<T>(arg)), std::forward<Ts>(args)...);
    }

    void trace(const QString &message) const { log(Level::TRACE_INT, message); }
    void debug(const QString &message) const { log(Level::DEBUG_INT, message); }
    void info(const QString &message) const { log(Level::INFO_INT, message); }
    void warn(const QString &message) const { log(Level::WARN_INT, message); }
    void error(const QString &message) const { log(Level::ERROR_INT, message); }
    void fatal(const QString &message) const { log(Level::FATAL_INT, message); }

    template <typename... Ts> void trace(const QString &message, Ts &&...args) const
    {
        log(Level::TRACE_INT, message, std::forward<Ts>(args)...);
    }
    template <typename... Ts> void debug(const QString &message, Ts &&...args) const
    {
        log(Level::DEBUG_INT, message, std::forward<Ts>(args)...);
    }
    template <typename... Ts> void info(const QString &message, Ts &&...args) const
    {
        log(Level::INFO_INT, message, std::forward<Ts>(args)...);
    }
    template <typename... Ts> void warn(const QString &message, Ts &&...args) const
    {
        log(Level::WARN_INT, message, std::forward<Ts>(args)...);
    }
    template <typename... Ts> void error(const QString &message, Ts &&...args) const
    {
        log(Level::ERROR_INT, message, std::forward<Ts>(args)...);
    }
    template <typename... Ts> void fatal(const QString &message, Ts &&...args) const
    {
        log(Level::FATAL_INT, message, std::forward<Ts>(args)...);
    }

private:
    friend class LoggerRepository;
    Logger(const QString &name, Logger *parent, Level level);
    Q_DISABLE_COPY(Logger)

    const QString mName;
    Logger *const mParent;
    Level mLevel;
    bool mAdditivity = true;
    QVector<AppenderSharedPtr> mAppenders;

    // Resolved from the hierarchy whenever the configuration changes, so that log() stays cheap.
    Level mEffectiveLevel = Level::OFF_INT;
    QVector<AppenderSharedPtr> mEffectiveAppenders;
};

} // namespace Log4Qt
