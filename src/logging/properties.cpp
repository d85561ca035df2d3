#include "log4qt/properties.h"

#include <QIODevice>
#include <QRegularExpression>
#include <QStringList>

namespace Log4Qt {

namespace {

bool endsWithContinuation(const QString &line)
{
    int backslashes = 0;
    for (int i = line.size() - 1; i >= 0 && line.at(i) == QLatin1Char('\\'); --i)
        ++backslashes;
    return backslashes % 2 == 1;
}

int skipSpaces(const QString &line, int i)
{
    while (i < line.size() && line.at(i).isSpace())
        ++i;
    return i;
}

// Appends the character at i to out, decoding a backslash escape; returns the next index.
int readCharacter(const QString &line, int i, QString &out)
{
    const QChar c = line.at(i);
    if (c != QLatin1Char('\\') || i + 1 >= line.size()) {
        out += c;
        return i + 1;
    }
    const QChar escaped = line.at(i + 1);
    switch (escaped.unicode()) {
    case 't':
        out += QLatin1Char('\t');
        return i + 2;
    case 'n':
        out += QLatin1Char('\n');
        return i + 2;
    case 'r':
        out += QLatin1Char('\r');
        return i + 2;
    case 'f':
        out += QLatin1Char('\f');
        return i + 2;
    case 'u': {
        bool ok = false;
        const ushort code = line.midRef(i + 2, 4).toUShort(&ok, 16);
        if (ok && i + 6 <= line.size()) {
            out += QChar(code);
            return i + 6;
        }
        break;
    }
    default:
        break;
    }
    out += escaped;
    return i + 2;
}

bool isKeyTerminator(QChar c)
{
    return c == QLatin1Char('=') || c == QLatin1Char(':') || c.isSpace();
}

void parseLogicalLine(const QString &line, Properties &properties)
{
    QString key;
    int i = 0;
    while (i < line.size() && !isKeyTerminator(line.at(i)))
        i = readCharacter(line, i, key);
    i = skipSpaces(line, i);
    if (i < line.size() && (line.at(i) == QLatin1Char('=') || line.at(i) == QLatin1Char(':')))
        i = skipSpaces(line, i + 1);
    QString value;
    while (i < line.size())
        i = readCharacter(line, i, value);
    properties.insert(key, value);
}

} // namespace

void Properties::load(QIODevice *device)
{
    load(QString::fromUtf8(device->readAll()));
}

void Properties::load(const QString &text)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    QString logicalLine;
    bool continuing = false;
    for (const QString &naturalLine : text.split(lineBreak)) {
        const QString line = naturalLine.mid(skipSpaces(naturalLine, 0));
        const bool comment = line.startsWith(QLatin1Char('#')) || line.startsWith(QLatin1Char('!'));
        if (!continuing && (line.isEmpty() || comment))
            continue;
        logicalLine += line;
        continuing = endsWithContinuation(line);
        if (continuing) {
            logicalLine.chop(1);
            continue;
        }
        parseLogicalLine(logicalLine, *this);
        logicalLine.clear();
    }
    if (continuing)
        parseLogicalLine(logicalLine, *this);
}

} // namespace Log4Qt
