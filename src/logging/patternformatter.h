#pragma once

#include <QString>
#include <QVector>

#include <climits>

namespace Log4Qt {

struct LoggingEvent;

// A conversion pattern ("%d [%t] %-5p %c - %m%n"), parsed once into a list of converters.
class PatternFormatter
{
public:
    explicit PatternFormatter(const QString &pattern);
    // Appends the formatted event to out.
    void format(const LoggingEvent &event, QString &out) const;

private:
    enum class Kind
    {
        Literal,
        Category,
        Date,
        Level,
        Message,
        Relative,
        Thread
    };
    struct Converter
    {
        Kind kind = Kind::Literal;
        QString text; // literal text or date format
        int categoryParts = 0;
        int minWidth = 0;
        int maxWidth = INT_MAX;
        bool leftAlign = false;
        // The last date written, as dates repeat while many lines are logged per millisecond.
        mutable qint64 cachedTime = -1;
        mutable QString cachedDate;
    };

    void parse(const QString &pattern);
    QString convert(const Converter &converter, const LoggingEvent &event) const;

    QVector<Converter> mConverters;
};

} // namespace Log4Qt
