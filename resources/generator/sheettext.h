#pragma once

#include <QString>

enum class SheetLanguage
{
    Chinese,
    English
};

// A text of the wiring sheet in both of its languages (UTF-8 literals).
struct SheetText
{
    const char *chinese;
    const char *english;

    QString in(SheetLanguage language) const
    {
        return QString::fromUtf8(language == SheetLanguage::Chinese ? chinese : english);
    }
};
