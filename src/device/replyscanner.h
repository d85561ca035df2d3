#pragma once

#include <QString>
#include <QStringList>

// Recognises the device's reply codes in the hex text of the received stream while one kind of
// reply is awaited. A code split across chunks is still found: the end of the text seen so far
// (one digit short of the longest code) is kept and searched again with the next chunk. As on
// the monitor, the search is on hex digits, so a code may start at any digit.
class ReplyScanner
{
public:
    // The codes of the next expectation, most important first; forgets what was seen so far.
    void expect(const QStringList &codes);
    // The first of the expected codes (in their order) that the text seen since expect() now
    // holds, or an empty string.
    QString scan(const QString &chunkHex);

private:
    QStringList m_codes;
    QString m_tail;
    int m_tailLength = 0;
};
