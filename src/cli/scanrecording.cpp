#include "scanrecording.h"

#include "device/scancsv.h"

ScanRecording::ScanRecording(const QString &csvPath) : m_file(csvPath) {}

bool ScanRecording::open(QString *error)
{
    if (path().isEmpty())
        return true;
    if (m_file.open(QIODevice::WriteOnly) && m_file.write(ScanCsv::header().toUtf8()) >= 0)
        return true;
    *error = fileError();
    return false;
}

void ScanRecording::add(const ScanFrames &revolution)
{
    ++m_revolutions;
    for (const QVector<QPointF> &frame : revolution)
        m_points += frame.size();
    if (m_file.isOpen())
        m_file.write(ScanCsv::rows(m_revolutions, revolution).toUtf8());
}

bool ScanRecording::commit(QString *error)
{
    // commit() replaces the file even when its own flush fails.
    if (!m_file.isOpen() || (m_file.flush() && m_file.commit()))
        return true;
    *error = fileError();
    return false;
}

QString ScanRecording::fileError() const
{
    return QStringLiteral("cannot write %1: %2").arg(path(), m_file.errorString());
}
