#include "replaycommand.h"

#include "console.h"
#include "scanrecording.h"

ExitStatus decodeCapture(const QString &capturePath, Console &console,
                         const OfflineReplay::RevolutionHandler &take)
{
    QString error;
    std::optional<CaptureDamage> damage;
    if (OfflineReplay::decode(capturePath, take, &error, &damage))
        return Success;
    if (!damage) {
        console.failure(QStringLiteral("cannot replay %1: %2").arg(capturePath, error));
        return UsageOrFileError;
    }
    console.failure(QStringLiteral("%1 is %2").arg(capturePath, damage->text()));
    return DeviceFailed;
}

ExitStatus replayCapture(const CliOptions &options, Console &console)
{
    ScanRecording recording(options.csvFile);
    QString error;
    if (!recording.open(&error)) {
        console.failure(error);
        return UsageOrFileError;
    }
    const ExitStatus decoded = decodeCapture(
        options.captureFile, console,
        [&recording](int, const ScanFrames &revolution) { recording.add(revolution); });
    if (decoded == UsageOrFileError)
        return decoded;
    QString summary = QStringLiteral("%1 revolutions, %2 points")
                          .arg(recording.revolutions())
                          .arg(recording.points());
    if (decoded == Success) {
        if (!recording.commit(&error)) {
            console.failure(error);
            return UsageOrFileError;
        }
        if (!options.csvFile.isEmpty())
            summary += QStringLiteral(" written to ") + options.csvFile;
    }
    console.summary(summary);
    return decoded;
}
