#pragma once

#include <QString>

class QTextEdit;

// The protocol monitor's text: one timestamped line per frame sent or chunk received, and
// untimed status lines about the exchange. The view is owned by the form.
class DataMessageLog
{
public:
    // A receive line that takes the log past this many characters clears it.
    static constexpr int maxCharacters = 1024 * 1024;

    explicit DataMessageLog(QTextEdit *view);

    void appendSend(const QString &hexText);
    void appendReceive(const QString &hexText);
    void appendStatus(const QString &text);
    void clear();

    // Characters of the plain text, counted without building it.
    int characterCount() const;

private:
    void appendFrameLine(const QString &prefix, const QString &hexText);

    QTextEdit *m_view;
};
