#pragma once

#include "log4qt/level.h"

#include <QString>

namespace Log4Qt {

class Properties;

// Conversions of option strings; an invalid string is reported and the fallback returned.
namespace OptionConverter {

// Option names are matched case-insensitively, as Log4Qt does.
bool isOption(const QString &name, const char *option);
bool toBoolean(const QString &option, bool fallback);
// A number with an optional KB, MB or GB suffix in any case, in powers of 1024.
qint64 toFileSize(const QString &option, qint64 fallback);
int toInt(const QString &option, int fallback);
Level toLevel(const QString &option, Level fallback);
// The value of key with every ${name} replaced by the (substituted) value of name.
QString findAndSubst(const Properties &properties, const QString &key);

} // namespace OptionConverter
} // namespace Log4Qt
