#pragma once

#include "patternformatter.h"

#include <QString>

namespace Log4Qt {

struct LoggingEvent;

// Turns an event into the text of one log line.
class Layout
{
public:
    virtual ~Layout() = default;
    // Appends the formatted event to out.
    virtual void format(const LoggingEvent &event, QString &out) const = 0;
    // Sets a named property; false when the layout has no such property.
    virtual bool setProperty(const QString &name, const QString &value) = 0;
};

class PatternLayout : public Layout
{
public:
    void format(const LoggingEvent &event, QString &out) const override;
    bool setProperty(const QString &name, const QString &value) override;

private:
    PatternFormatter mFormatter{QStringLiteral("%m%n")};
};

// "%d{RELATIVE} [%t] %-5p %c %x - %m%n", with the date format and the thread, category and
// context parts configurable.
class TTCCLayout : public Layout
{
public:
    TTCCLayout();
    void format(const LoggingEvent &event, QString &out) const override;
    bool setProperty(const QString &name, const QString &value) override;

private:
    PatternFormatter buildFormatter() const;

    QString mDateFormat = QStringLiteral("RELATIVE");
    bool mThreadPrinting = true;
    bool mCategoryPrefixing = true;
    bool mContextPrinting = true;
    PatternFormatter mFormatter;
};

// "LEVEL - message".
class SimpleLayout : public Layout
{
public:
    void format(const LoggingEvent &event, QString &out) const override;
    bool setProperty(const QString &, const QString &) override { return false; }
};

} // namespace Log4Qt
