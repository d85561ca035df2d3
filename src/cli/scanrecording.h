#pragma once

#include "protocol/linktypes.h"

#include <QSaveFile>
#include <QString>

// The complete revolutions of a scan, numbered from 1, and the CSV file they go to when one is
// asked for: written as they come, and put in place only once the scan has ended well.
class ScanRecording
{
public:
    // An empty path records counts only.
    explicit ScanRecording(const QString &csvPath);

    // False, with `error`, when the CSV file cannot be written.
    bool open(QString *error);
    void add(const ScanFrames &revolution);
    // False, with `error`, when not every row reached the file.
    bool commit(QString *error);

    int revolutions() const { return m_revolutions; }
    int points() const { return m_points; }
    QString path() const { return m_file.fileName(); }

private:
    QString fileError() const;

    QSaveFile m_file;
    int m_revolutions = 0;
    int m_points = 0;
};
