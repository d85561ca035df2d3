#include "optionconverter.h"
#include "log4qt/properties.h"
#include "logerror.h"

#include <QStringList>

namespace Log4Qt {
namespace OptionConverter {

namespace {

void reportInvalid(const QString &option, const char *kind)
{
    logError(QStringLiteral("Invalid option string '%1' for %2").arg(option, QLatin1String(kind)));
}

QString substitute(const Properties &properties, const QString &value, QStringList &expanding)
{
    QString result;
    int from = 0;
    for (;;) {
        const int open = value.indexOf(QLatin1String("${"), from);
        if (open < 0)
            return result + value.midRef(from);
        const int close = value.indexOf(QLatin1Char('}'), open + 2);
        if (close < 0) {
            logError(QStringLiteral("Missing closing bracket for opening bracket at %1. Invalid "
                                    "substitution in value %2.")
                         .arg(open)
                         .arg(value));
            return value;
        }
        result += value.midRef(from, open - from);
        const QString name = value.mid(open + 2, close - open - 2);
        if (expanding.contains(name)) {
            logError(QStringLiteral("Recursive substitution of '%1' in value %2").arg(name, value));
        } else {
            expanding.append(name);
            result += substitute(properties, properties.value(name), expanding);
            expanding.removeLast();
        }
        from = close + 1;
    }
}

} // namespace

bool isOption(const QString &name, const char *option)
{
    return name.compare(QLatin1String(option), Qt::CaseInsensitive) == 0;
}

bool toBoolean(const QString &option, bool fallback)
{
    const QString text = option.trimmed();
    for (const char *yes : {"true", "enabled", "1"}) {
        if (text.compare(QLatin1String(yes), Qt::CaseInsensitive) == 0)
            return true;
    }
    for (const char *no : {"false", "disabled", "0"}) {
        if (text.compare(QLatin1String(no), Qt::CaseInsensitive) == 0)
            return false;
    }
    reportInvalid(option, "a boolean");
    return fallback;
}

qint64 toFileSize(const QString &option, qint64 fallback)
{
    QString text = option.trimmed().toUpper();
    qint64 unit = 1;
    const std::pair<const char *, qint64> suffixes[] = {
        {"KB", Q_INT64_C(1) << 10}, {"MB", Q_INT64_C(1) << 20}, {"GB", Q_INT64_C(1) << 30}};
    for (const auto &suffix : suffixes) {
        if (text.endsWith(QLatin1String(suffix.first))) {
            unit = suffix.second;
            text.chop(2);
            break;
        }
    }
    bool ok = false;
    const qint64 number = text.trimmed().toLongLong(&ok);
    if (!ok || number < 0) {
        reportInvalid(option, "a file size");
        return fallback;
    }
    return number * unit;
}

int toInt(const QString &option, int fallback)
{
    bool ok = false;
    const int number = option.trimmed().toInt(&ok);
    if (!ok) {
        reportInvalid(option, "an integer");
        return fallback;
    }
    return number;
}

Level toLevel(const QString &option, Level fallback)
{
    bool ok = false;
    const Level level = Level::fromString(option, &ok);
    if (!ok) {
        reportInvalid(option, "a level");
        return fallback;
    }
    return level;
}

QString findAndSubst(const Properties &properties, const QString &key)
{
    QStringList expanding{key};
    return substitute(properties, properties.value(key), expanding);
}

} // namespace OptionConverter
} // namespace Log4Qt
