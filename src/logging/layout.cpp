#include "layout.h"
#include "loggingevent.h"
#include "optionconverter.h"

namespace Log4Qt {

using OptionConverter::isOption;

void PatternLayout::format(const LoggingEvent &event, QString &out) const
{
    mFormatter.format(event, out);
}

bool PatternLayout::setProperty(const QString &name, const QString &value)
{
    if (!isOption(name, "ConversionPattern"))
        return false;
    mFormatter = PatternFormatter(value);
    return true;
}

TTCCLayout::TTCCLayout() : mFormatter(buildFormatter()) {}

PatternFormatter TTCCLayout::buildFormatter() const
{
    QString pattern = QStringLiteral("%d{") + mDateFormat + QLatin1Char('}');
    if (mThreadPrinting)
        pattern += QLatin1String(" [%t]");
    pattern += QLatin1String(" %-5p");
    if (mCategoryPrefixing)
        pattern += QLatin1String(" %c");
    if (mContextPrinting)
        pattern += QLatin1String(" %x");
    pattern += QLatin1String(" - %m%n");
    return PatternFormatter(pattern);
}

void TTCCLayout::format(const LoggingEvent &event, QString &out) const
{
    mFormatter.format(event, out);
}

bool TTCCLayout::setProperty(const QString &name, const QString &value)
{
    if (isOption(name, "DateFormat"))
        mDateFormat = value;
    else if (isOption(name, "ThreadPrinting"))
        mThreadPrinting = OptionConverter::toBoolean(value, mThreadPrinting);
    else if (isOption(name, "CategoryPrefixing"))
        mCategoryPrefixing = OptionConverter::toBoolean(value, mCategoryPrefixing);
    else if (isOption(name, "ContextPrinting"))
        mContextPrinting = OptionConverter::toBoolean(value, mContextPrinting);
    else
        return false;
    mFormatter = buildFormatter();
    return true;
}

void SimpleLayout::format(const LoggingEvent &event, QString &out) const
{
    out += event.level.toString();
    out += QLatin1String(" - ");
    out += event.message;
    out += QLatin1Char('\n');
}

} // namespace Log4Qt
