#pragma once

#include <QString>

namespace Log4Qt {

struct LoggingEvent;

// One link of an appender's filter chain. The first filter that accepts or denies an event
// decides; an event every filter lets pass is written.
class Filter
{
public:
    enum Decision
    {
        DENY,
        NEUTRAL,
        ACCEPT
    };

    virtual ~Filter() = default;
    virtual Decision decide(const LoggingEvent &event) const = 0;
    // Sets a named property; false when the filter has no such property.
    virtual bool setProperty(const QString &, const QString &) { return false; }
};

// Denies everything: closes a chain of filters that accept what they match.
class DenyAllFilter : public Filter
{
public:
    Decision decide(const LoggingEvent &) const override { return DENY; }
};

// Accepts a message that contains StringToMatch (case-sensitive), or denies it when
// AcceptOnMatch is false; passes any other message on. An empty text matches nothing.
class StringMatchFilter : public Filter
{
public:
    Decision decide(const LoggingEvent &event) const override;
    bool setProperty(const QString &name, const QString &value) override;

private:
    QString mStringToMatch;
    bool mAcceptOnMatch = true;
};

} // namespace Log4Qt
