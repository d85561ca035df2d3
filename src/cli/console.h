#pragma once

#include <QString>

// What the tool tells its user: a one-line summary on stdout, one line per failure on stderr,
// and a progress line on stderr that rewrites itself, shown only to a person at a terminal.
class Console
{
public:
    Console();

    void silenceProgress() { m_progressShown = false; }
    void progress(const QString &text);
    void summary(const QString &line);
    void failure(const QString &line);

private:
    void clearProgress();

    bool m_progressShown;
    int m_progressWidth = 0; // characters of the progress line on screen
};
