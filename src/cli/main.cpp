// vks20-cli: the program's conversation with the device, from the command line.

#include "clioptions.h"
#include "commandrunner.h"
#include "console.h"
#include "evaluatecommand.h"
#include "linkopener.h"
#include "regionformatcommands.h"
#include "regionproof.h"
#include "replaycommand.h"

#include "device/devicelink.h"
#include "device/devicesession.h"
#include "vksresources.h"

#include <QGuiApplication>
#include <QTranslator>

#include <cstdio>
#include <memory>

namespace {

QStringList argumentsOf(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

// A report is painted with fonts, which only a GUI application has; a PDF needs no screen,
// so the offscreen platform serves unless the caller names another. Every other command
// stays a console application.
std::unique_ptr<QCoreApplication> makeApplication(int &argc, char *argv[], bool paintsReport)
{
    if (!paintsReport)
        return std::make_unique<QCoreApplication>(argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return std::make_unique<QGuiApplication>(argc, argv);
}

// The commands that work on files alone, without a device.
int runOnFiles(const CliOptions &options, Console &console)
{
    switch (options.command) {
    case CliCommand::Replay:
        return replayCapture(options, console);
    case CliCommand::Evaluate:
        return evaluateCapture(options, console);
    case CliCommand::RegionsExport:
        return exportRegions(options, console);
    case CliCommand::RegionsImport:
        return importRegion(options, console);
    default:
        break;
    }
    // The report speaks English, as the tool does.
    QTranslator english;
    if (options.command == CliCommand::RegionsReport) {
        initVksResources();
        english.load(QStringLiteral(":/lang/resource/Tervane_en.qm"));
        QCoreApplication::installTranslator(&english);
    }
    return RegionProof::fromFiles(options, console);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("vks20-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VKS_VERSION));

    // Parsed before the application is made: the command decides which one it needs.
    CliCommandLine commandLine;
    const bool parsed = commandLine.parse(argumentsOf(argc, argv));
    const CliOptions &options = commandLine.options();
    const bool paintsReport = parsed && options.command == CliCommand::RegionsReport;
    const std::unique_ptr<QCoreApplication> app = makeApplication(argc, argv, paintsReport);

    Console console;
    if (!parsed) {
        console.failure(commandLine.errorText());
        return UsageOrFileError;
    }
    if (commandLine.helpRequested() || commandLine.versionRequested()) {
        console.summary(commandLine.helpRequested()
                            ? commandLine.helpText().trimmed()
                            : QCoreApplication::applicationName() + QLatin1Char(' ') +
                                  QCoreApplication::applicationVersion());
        return Success;
    }
    if (options.quiet)
        console.silenceProgress();
    if (!needsDevice(options))
        return runOnFiles(options, console);

    // Files first: a command that cannot finish its work sends nothing.
    CommandRunner runner(options, console);
    QString error;
    if (!runner.prepare(&error)) {
        console.failure(error);
        return UsageOrFileError;
    }
    const std::unique_ptr<DeviceLink> link = openLink(options.link, &error);
    if (!link) {
        console.failure(error);
        return UsageOrFileError;
    }
    DeviceSession session({});
    session.setMode(options.link.mode);
    session.setLink(link.get());
    // Queued: the loop must be running for exit() to end it.
    QObject::connect(
        &runner, &CommandRunner::finished, app.get(),
        [](int exitStatus) { QCoreApplication::exit(exitStatus); }, Qt::QueuedConnection);
    runner.start(session, *link);
    return app->exec();
}
