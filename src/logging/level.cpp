#include "log4qt/level.h"

#include <array>

namespace Log4Qt {

namespace {

struct LevelName
{
    Level::Value value;
    const char *name;
};

constexpr std::array<LevelName, 9> levelNames{{{Level::NULL_INT, "NULL"},
                                               {Level::ALL_INT, "ALL"},
                                               {Level::TRACE_INT, "TRACE"},
                                               {Level::DEBUG_INT, "DEBUG"},
                                               {Level::INFO_INT, "INFO"},
                                               {Level::WARN_INT, "WARN"},
                                               {Level::ERROR_INT, "ERROR"},
                                               {Level::FATAL_INT, "FATAL"},
                                               {Level::OFF_INT, "OFF"}}};

} // namespace

QString Level::toString() const
{
    for (const LevelName &entry : levelNames) {
        if (entry.value == mValue)
            return QLatin1String(entry.name);
    }
    return QString();
}

Level Level::fromString(const QString &name, bool *ok)
{
    const QString wanted = name.trimmed();
    for (const LevelName &entry : levelNames) {
        if (wanted.compare(QLatin1String(entry.name), Qt::CaseInsensitive) == 0) {
            if (ok)
                *ok = true;
            return entry.value;
        }
    }
    if (ok)
        *ok = false;
    return NULL_INT;
}

} // namespace Log4Qt
