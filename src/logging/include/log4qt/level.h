#pragma once

#include <QString>

namespace Log4Qt {

// A logging level; the numeric values order the levels and match Log4Qt's.
class Level
{
public:
    enum Value
    {
        NULL_INT = 0,
        ALL_INT = 32,
        TRACE_INT = 64,
        DEBUG_INT = 96,
        INFO_INT = 128,
        WARN_INT = 150,
        ERROR_INT = 182,
        FATAL_INT = 214,
        OFF_INT = 255
    };

    constexpr Level(Value value = NULL_INT) : mValue(value) {}

    constexpr Value toInt() const { return mValue; }
    QString toString() const;
    // Accepts the level names case-insensitively; NULL_INT and *ok false when unknown.
    static Level fromString(const QString &name, bool *ok = nullptr);

    constexpr bool operator==(Level other) const { return mValue == other.mValue; }
    constexpr bool operator!=(Level other) const { return mValue != other.mValue; }
    constexpr bool operator<(Level other) const { return mValue < other.mValue; }
    constexpr bool operator<=(Level other) const { return mValue <= other.mValue; }
    constexpr bool operator>(Level other) const { return mValue > other.mValue; }
    constexpr bool operator>=(Level other) const { return mValue >= other.mValue; }

private:
    Value mValue;
};

} // namespace Log4Qt
