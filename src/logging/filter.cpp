#include "filter.h"
#include "loggingevent.h"
#include "optionconverter.h"

namespace Log4Qt {

Filter::Decision StringMatchFilter::decide(const LoggingEvent &event) const
{
    if (mStringToMatch.isEmpty() || !event.message.contains(mStringToMatch))
        return NEUTRAL;
    return mAcceptOnMatch ? ACCEPT : DENY;
}

bool StringMatchFilter::setProperty(const QString &name, const QString &value)
{
    if (OptionConverter::isOption(name, "StringToMatch"))
        mStringToMatch = value;
    else if (OptionConverter::isOption(name, "AcceptOnMatch"))
        mAcceptOnMatch = OptionConverter::toBoolean(value, mAcceptOnMatch);
    else
        return false;
    return true;
}

} // namespace Log4Qt
