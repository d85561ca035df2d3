#include "replaycommand.h"

#include "console.h"
#include "scanrecording.h"

#include "device/offlinereplay.h"

ExitStatus replayCapture(const CliOptions &options, Console &console)
{
    ScanRecording recording(options.csvFile);
    QString error;
    const bool decoded =
        recording.open(&error) &&
        OfflineReplay::decode(
            options.captureFile,
            [&recording](int, const ScanFrames &revolution) { recording.add(revolution); },
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
