#pragma once

#include "protocol/linktypes.h"

#include <QByteArray>
#include <QFile>
#include <QString>

// The ground truth of the scan for end-to-end checks: a CSV row for every point the device
// streams, taken from the frames as sent, written out one revolution at a time.
class ScanTruth
{
public:
    explicit ScanTruth(const ScanGeometry &geometry) : m_geometry(geometry) {}
    ~ScanTruth() { finishRevolution(); }

    bool open(const QString &path, QString *error);
    // A point-cloud frame as streamed; junk after it is ignored.
    void record(const QByteArray &bytes);
    // Streaming stopped: the revolution under way ends here, the next frame starts another.
    void finishRevolution();

private:
    ScanGeometry m_geometry;
    QFile m_file;
    QByteArray m_rows;     // rows of the revolution under way
    int m_revolution = -1; // counts on across starts
    bool m_inRevolution = false;
    int m_revolutionByte = 0; // the frames' own revolution number, to notice skipped frames
};
