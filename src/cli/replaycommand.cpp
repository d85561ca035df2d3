#include "replaycommand.h"

#include "clioptions.h"
#include "console.h"
#include "scanrecording.h"

#include "device/offlinereplay.h"

bool readCaptureRevolutions(const QString &capturePath, const CaptureRevolutionHandler &take,
                            QString *error)
{
    qint64 firstUs = 0;
    return OfflineReplay::decode(
        capturePath,
        [&](int number, qint64 timeUs, const ScanFrames &revolution) {
            if (number == 1)
                firstUs = timeUs;
            take((timeUs - firstUs) / 1e6, revolution);
        },
        error);
}

ExitStatus replayCapture(const CliOptions &options, Console &console)
{
    ScanRecording recording(options.csvFile);
    QString error;
    const bool decoded =
        recording.open(&error) &&
        readCaptureRevolutions(
            options.captureFile,
            [&recording](double, const ScanFrames &revolution) { recording.add(revolution); },
            &error) &&
        recording.commit(&error);
    if (!decoded) {
        console.failure(QStringLiteral("cannot replay %1: %2").arg(options.captureFile, error));
        return UsageOrFileError;
    }
    QString summary = QStringLiteral("%1 revolutions, %2 points")
                          .arg(recording.revolutions())
                          .arg(recording.points());
    if (!options.csvFile.isEmpty())
        summary += QStringLiteral(" written to ") + options.csvFile;
    console.summary(summary);
    return Success;
}
