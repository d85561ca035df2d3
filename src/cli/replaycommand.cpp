#include "replaycommand.h"

#include "clioptions.h"
#include "console.h"
#include "scanrecording.h"

#include "device/offlinereplay.h"

ExitStatus decodeCapture(const QString &capturePath, const QString &command, Console &console,
                         const CaptureRevolutionHandler &take)
{
    QString error;
    std::optional<CaptureDamage> damage;
    qint64 firstUs = 0;
    const auto takeTimed = [&](int number, qint64 timeUs, const ScanFrames &revolution) {
        if (number == 1)
            firstUs = timeUs;
        take((timeUs - firstUs) / 1e6, revolution);
    };
    if (OfflineReplay::decode(capturePath, takeTimed, &error, &damage))
        return Success;
    if (!damage) {
        console.failure(QStringLiteral("cannot %1 %2: %3").arg(command, capturePath, error));
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
        options.captureFile, QStringLiteral("replay"), console,
        [&recording](double, const ScanFrames &revolution) { recording.add(revolution); });
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
