#pragma once

#include "regions/region.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QString>

class QPagedPaintDevice;

// What the cover page says besides the regions; an empty text prints as "none".
struct ReportContext
{
    QDateTime time = QDateTime::currentDateTime();
    QString toolVersion;
    QString regionFile;       // the file's name
    QString deviceLink;       // e.g. "/dev/ttyUSB0 (USB)"; empty when not connected
    QString resolution;       // e.g. "0.18°"; empty when not connected
    QString verifiedDownload; // the result of the last verified download, if there was one
};

// The printed record of a commissioning: a cover page, one page per group that has a vertex
// (its regions to scale on the millimetre grid, and their vertices as the device holds them),
// and an intrusion-test log to fill in by hand. The same painting goes to a PDF or a printer.
class CommissioningReport
{
    Q_DECLARE_TR_FUNCTIONS(CommissioningReport)

public:
    CommissioningReport(const RegionStore &store, const ReportContext &context);

    int pageCount() const { return int(m_groups.size()) + 2; }
    // Paints every page on `device`, set to A4 portrait first; false when it cannot be painted.
    bool print(QPagedPaintDevice &device) const;
    // The whole PDF or nothing at `path`.
    bool writePdf(const QString &path, QString *error) const;

private:
    RegionStore m_held; // as the device holds it: whole millimetres, angular order
    QVector<int> m_groups;
    ReportContext m_context;
    QString m_fingerprint;
};
