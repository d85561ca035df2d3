#include "evaluatecommand.h"

#include "alarmwatch.h"
#include "clioptions.h"
#include "console.h"
#include "replaycommand.h"

ExitStatus evaluateCapture(const CliOptions &options, Console &console)
{
    AlarmWatch watch(options.csvFile);
    QString error;
    if (!watch.open(options.regionFile, options.group, &error)) {
        console.failure(error);
        return UsageOrFileError;
    }
    // The changes are the monitor's live news; a recording's are in its CSV.
    const bool evaluated =
        readCaptureRevolutions(
            options.captureFile,
            [&watch](double timeS, const ScanFrames &revolution) { watch.take(timeS, revolution); },
            &error) &&
        watch.commit(&error);
    if (!evaluated) {
        console.failure(QStringLiteral("cannot evaluate %1: %2").arg(options.captureFile, error));
        return UsageOrFileError;
    }
    console.summary(watch.summary().join(QLatin1Char('\n')));
    return Success;
}
