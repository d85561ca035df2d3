#include "regionproof.h"

#include "console.h"
#include "regionfileinput.h"

#include "protocol/regionframe.h"
#include "regions/regioncomparison.h"
#include "regions/regionfile.h"
#include "regions/regionfingerprint.h"
#include "report/commissioningreport.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace RegionProof {

namespace {

QString pointText(const QPointF &point)
{
    return QStringLiteral("(%1, %2)").arg(point.x()).arg(point.y());
}

// e.g. "7/2: 4 vertices in A, 5 in B".
QString diffLine(const RegionMismatch &mismatch)
{
    const QString region = QStringLiteral("%1/%2").arg(mismatch.group).arg(mismatch.region);
    switch (mismatch.kind) {
    case RegionMismatch::VertexCount:
        return QStringLiteral("%1: %2 %3 in A, %4 in B")
            .arg(region)
            .arg(mismatch.countA)
            .arg(QLatin1String(mismatch.countA == 1 ? "vertex" : "vertices"))
            .arg(mismatch.countB);
    case RegionMismatch::Vertex:
        return QStringLiteral("%1 vertex %2: %3 in A, %4 in B")
            .arg(region)
            .arg(mismatch.vertex)
            .arg(pointText(mismatch.pointA), pointText(mismatch.pointB));
    case RegionMismatch::AlarmPoints:
        break;
    }
    return QStringLiteral("%1 alarm points: %2 in A, %3 in B")
        .arg(region)
        .arg(mismatch.countA)
        .arg(mismatch.countB);
}

ExitStatus diff(const RegionStore &a, const RegionStore &b, Console &console)
{
    const QVector<RegionMismatch> found = RegionComparison::mismatches(a, b);
    for (const RegionMismatch &mismatch : found)
        console.summary(diffLine(mismatch));
    if (!found.isEmpty())
        return DeviceFailed;
    console.summary(QStringLiteral("the same %1 regions, fingerprint %2")
                        .arg(RegionFrame::regionCount)
                        .arg(RegionFingerprint::of(a)));
    return Success;
}

ExitStatus report(const CliOptions &options, const RegionStore &regions, Console &console)
{
    ReportContext context;
    context.toolVersion = QCoreApplication::applicationVersion();
    context.regionFile = QFileInfo(options.regionFile).fileName();
    const CommissioningReport report(regions, context);
    QString error;
    if (!report.writePdf(options.pdfFile, &error)) {
        console.failure(QStringLiteral("cannot write %1: %2").arg(options.pdfFile, error));
        return UsageOrFileError;
    }
    console.summary(
        QStringLiteral("%1 pages written to %2").arg(report.pageCount()).arg(options.pdfFile));
    return Success;
}

// The fingerprint of the newest backup in `folder`, by the UTC time that leads its name.
QString lastBackupFingerprint(const QDir &folder)
{
    const QStringList records =
        folder.entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name | QDir::Reversed);
    if (records.isEmpty())
        return {};
    QFile file(folder.filePath(records.first()));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll())
        .object()
        .value(QLatin1String("fingerprint"))
        .toString();
}

bool writeJson(const QString &path, const QJsonObject &object)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(QJsonDocument(object).toJson()) >= 0 &&
           file.commit();
}

ExitStatus backup(const CliOptions &options, const RegionStore &regions, const DeviceFacts &device,
                  Console &console)
{
    const QDir folder(options.backupFolder);
    const QString fingerprint = RegionFingerprint::of(regions);
    const bool unchanged = lastBackupFingerprint(folder) == fingerprint;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    // Sorted by name, backups come in time order; milliseconds keep two quick ones apart.
    const QString base =
        folder.filePath(now.toString(QStringLiteral("yyyyMMdd'T'HHmmss.zzz'Z'")) +
                        QLatin1Char('-') + RegionFingerprint::shortForm(fingerprint));
    const QString regionPath = base + QStringLiteral(".dat");
    const QJsonObject record{
        {QStringLiteral("time"), now.toString(Qt::ISODateWithMs)},
        {QStringLiteral("link"), device.link},
        {QStringLiteral("mode"), device.mode},
        {QStringLiteral("angularResolution"), device.angleResolution},
        {QStringLiteral("fingerprint"), fingerprint},
        {QStringLiteral("toolVersion"), QCoreApplication::applicationVersion()},
    };
    if (!RegionFile::save(regions, regionPath) ||
        !writeJson(base + QStringLiteral(".json"), record)) {
        QFile::remove(regionPath);
        console.failure(QStringLiteral("cannot write the backup %1").arg(regionPath));
        return UsageOrFileError;
    }
    console.summary((unchanged ? QStringLiteral("unchanged since the last backup; %1 written")
                               : QStringLiteral("%1 written"))
                        .arg(regionPath));
    return Success;
}

} // namespace

ExitStatus fromFiles(const CliOptions &options, Console &console)
{
    RegionStore a = Regions::initialStore();
    RegionStore b = Regions::initialStore();
    QString error;
    const bool diffing = options.command == CliCommand::RegionsDiff;
    if (!loadRegionFile(options.regionFile, a, &error) ||
        (diffing && !loadRegionFile(options.otherRegionFile, b, &error))) {
        console.failure(error);
        return UsageOrFileError;
    }
    if (diffing)
        return diff(a, b, console);
    if (options.command == CliCommand::RegionsReport)
        return report(options, a, console);
    console.summary(RegionFingerprint::of(a));
    return Success;
}

bool canBackUpInto(const QString &folder, QString *error)
{
    const QFileInfo info(folder);
    if (info.isDir() && info.isWritable())
        return true;
    *error = QStringLiteral("cannot write into %1: not a writable folder").arg(folder);
    return false;
}

ExitStatus fromDevice(const CliOptions &options, const RegionStore &fileRegions,
                      const RegionStore &deviceRegions, const DeviceFacts &device, Console &console)
{
    switch (options.command) {
    case CliCommand::RegionsDiff:
        return diff(fileRegions, deviceRegions, console);
    case CliCommand::RegionsBackup:
        return backup(options, deviceRegions, device, console);
    default:
        console.summary(RegionFingerprint::of(deviceRegions));
        return Success;
    }
}

} // namespace RegionProof
