// vks20-cli: the program's conversation with the device, from the command line.

#include "clioptions.h"
#include "commandrunner.h"
#include "console.h"
#include "evaluatecommand.h"
#include "linkopener.h"
#include "replaycommand.h"

#include "device/devicelink.h"
#include "device/devicesession.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vks20-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VKS_VERSION));

    Console console;
    CliCommandLine commandLine;
    if (!commandLine.parse(app.arguments())) {
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
    const CliOptions &options = commandLine.options();
    if (options.quiet)
        console.silenceProgress();
    if (options.command == CliCommand::Replay)
        return replayCapture(options, console);
    if (options.command == CliCommand::Evaluate)
        return evaluateCapture(options, console);

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
        &runner, &CommandRunner::finished, &app,
        [](int exitStatus) { QCoreApplication::exit(exitStatus); }, Qt::QueuedConnection);
    runner.start(session, *link);
    return app.exec();
}
