#include "patternformatter.h"
#include "logerror.h"
#include "loggingevent.h"

#include <QDateTime>

namespace Log4Qt {

namespace {

QString lastNameParts(const QString &name, int parts)
{
    if (parts <= 0)
        return name;
    int start = name.size();
    for (int i = 0; i < parts; ++i) {
        start = start > 0 ? name.lastIndexOf(QLatin1Char('.'), start - 1) : -1;
        if (start < 0)
            return name;
    }
    return name.mid(start + 1);
}

QString dateFormat(const QString &option)
{
    if (option.isEmpty() || option == QLatin1String("ISO8601"))
        return QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz");
    if (option == QLatin1String("ABSOLUTE"))
        return QStringLiteral("hh:mm:ss.zzz");
    if (option == QLatin1String("DATE"))
        return QStringLiteral("dd MMM yyyy hh:mm:ss.zzz");
    return option;
}

int readNumber(const QString &pattern, int &i)
{
    int number = 0;
    while (i < pattern.size() && pattern.at(i).isDigit())
        number = number * 10 + pattern.at(i++).digitValue();
    return number;
}

} // namespace

PatternFormatter::PatternFormatter(const QString &pattern)
{
    parse(pattern);
}

void PatternFormatter::parse(const QString &pattern)
{
    QString literal;
    auto flushLiteral = [&] {
        if (literal.isEmpty())
            return;
        Converter converter;
        converter.text = literal;
        mConverters.append(converter);
        literal.clear();
    };
    auto reportError = [&](const QString &what) {
        logError(QStringLiteral("%1 in conversion pattern '%2'").arg(what, pattern));
    };

    int i = 0;
    while (i < pattern.size()) {
        const QChar c = pattern.at(i++);
        if (c != QLatin1Char('%')) {
            literal += c;
            continue;
        }
        if (i < pattern.size() && pattern.at(i) == QLatin1Char('%')) {
            literal += QLatin1Char('%');
            ++i;
            continue;
        }
        Converter converter;
        if (i < pattern.size() && pattern.at(i) == QLatin1Char('-')) {
            converter.leftAlign = true;
            ++i;
        }
        converter.minWidth = readNumber(pattern, i);
        if (i < pattern.size() && pattern.at(i) == QLatin1Char('.')) {
            ++i;
            converter.maxWidth = readNumber(pattern, i);
        }
        if (i >= pattern.size()) {
            reportError(QStringLiteral("Missing conversion character at the end"));
            break;
        }
        const int charPosition = i;
        const QChar conversion = pattern.at(i++);
        QString option;
        if (i < pattern.size() && pattern.at(i) == QLatin1Char('{')) {
            const int close = pattern.indexOf(QLatin1Char('}'), i);
            if (close < 0) {
                reportError(QStringLiteral("Missing closing bracket for the option at %1").arg(i));
                break;
            }
            option = pattern.mid(i + 1, close - i - 1);
            i = close + 1;
        }

        switch (conversion.unicode()) {
        case 'c': {
            bool ok = true;
            converter.kind = Kind::Category;
            converter.categoryParts = option.isEmpty() ? 0 : option.toInt(&ok);
            if (!ok || converter.categoryParts < 0)
                reportError(QStringLiteral("Invalid option '%1' for %c").arg(option));
            break;
        }
        case 'd':
            converter.kind = option == QLatin1String("RELATIVE") ? Kind::Relative : Kind::Date;
            converter.text = dateFormat(option);
            break;
        case 'm':
            converter.kind = Kind::Message;
            break;
        case 'n':
            converter.text = QStringLiteral("\n");
            break;
        case 'p':
            converter.kind = Kind::Level;
            break;
        case 'r':
            converter.kind = Kind::Relative;
            break;
        case 't':
            converter.kind = Kind::Thread;
            break;
        case 'x': // no nested or mapped diagnostic contexts are kept
        case 'X':
            break;
        default:
            reportError(QStringLiteral("Invalid conversion character '%1' at %2")
                            .arg(conversion)
                            .arg(charPosition));
            continue;
        }
        flushLiteral();
        mConverters.append(converter);
    }
    flushLiteral();
}

QString PatternFormatter::convert(const Converter &converter, const LoggingEvent &event) const
{
    switch (converter.kind) {
    case Kind::Literal:
        return converter.text;
    case Kind::Category:
        return lastNameParts(event.loggerName, converter.categoryParts);
    case Kind::Date:
        if (converter.cachedTime != event.timeStamp) {
            converter.cachedTime = event.timeStamp;
            converter.cachedDate =
                QDateTime::fromMSecsSinceEpoch(event.timeStamp).toString(converter.text);
        }
        return converter.cachedDate;
    case Kind::Level:
        return event.level.toString();
    case Kind::Message:
        return event.message;
    case Kind::Relative:
        return QString::number(event.timeStamp - LoggingEvent::startTime());
    case Kind::Thread:
        return LoggingEvent::currentThreadName();
    }
    return QString();
}

void PatternFormatter::format(const LoggingEvent &event, QString &out) const
{
    for (const Converter &converter : mConverters) {
        QString value = convert(converter, event);
        if (value.size() > converter.maxWidth)
            value = value.right(converter.maxWidth);
        if (value.size() < converter.minWidth) {
            value = converter.leftAlign ? value.leftJustified(converter.minWidth)
                                        : value.rightJustified(converter.minWidth);
        }
        out += value;
    }
}

} // namespace Log4Qt
