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
    const ExitStatus decoded = decodeCapture(
        options.captureFile, QStringLiteral("evaluate"), console,
        [&watch](double timeS, const ScanFrames &revolution) { watch.take(timeS, revolution); });
    if (decoded == UsageOrFileError)
        return decoded;
    // A damaged capture's rows stay out of the CSV file, as replay's do.
    if (decoded == Success && !watch.commit(&error)) {
        console.failure(error);
        return UsageOrFileError;
    }
    console.summary(watch.summary().join(QLatin1Char('\n')));
    return decoded;
}
