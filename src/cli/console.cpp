#include "console.h"

#include <cstdio>
#include <unistd.h>

namespace {

void printLine(FILE *stream, const QString &line)
{
    std::fprintf(stream, "%s\n", qPrintable(line));
    std::fflush(stream);
}

} // namespace

Console::Console() : m_progressShown(isatty(STDERR_FILENO) == 1) {}

void Console::progress(const QString &text)
{
    if (!m_progressShown)
        return;
    // The new text is padded over the old one so that no tail of a longer line stays.
    std::fprintf(stderr, "\r%s", qPrintable(text.leftJustified(m_progressWidth)));
    std::fflush(stderr);
    m_progressWidth = text.size();
}

void Console::summary(const QString &line)
{
    clearProgress();
    printLine(stdout, line);
}

void Console::failure(const QString &line)
{
    clearProgress();
    printLine(stderr, line);
}

void Console::clearProgress()
{
    if (m_progressWidth == 0)
        return;
    std::fprintf(stderr, "\r%s\r", qPrintable(QString(m_progressWidth, QLatin1Char(' '))));
    std::fflush(stderr);
    m_progressWidth = 0;
}
