#include "app/applogger.h"
#include "app/logsetup.h"
#include "app/windowoptions.h"
#include "chrome/exitconfirmation.h"
#include "chrome/uxdarkstyle.h"
#include "chrome/uxframelesswindow.h"
#include "mainwindow/mainwindow.h"
#include "vksresources.h"

#include <QApplication>
#include <QDir>
#include <QLockFile>
#include <QMessageBox>
#include <QSettings>
#include <QTranslator>

#include <cstdio>

namespace {

// Logging and the embedded resources are in place before main runs and until the process ends.
struct StaticSetup
{
    StaticSetup()
    {
        configureLogging(LogLocation::ofThisProgram());
        initVksResources();
    }
    ~StaticSetup() { cleanupVksResources(); }
};
const StaticSetup staticSetup;

const QString geometryKey = QStringLiteral("window/geometry");

// A link or capture asked for on the command line opens as the operator would open it; a
// failure is shown as theirs would be.
void applyStartOptions(const WindowOptions &options, MainWindow &window)
{
    if (options.link == StartLink::Replay) {
        window.replayCapture(options.replayPath);
        return;
    }
    const bool linked =
        (options.link == StartLink::Serial &&
         window.connectSerial(options.serialPath, options.modbus)) ||
        (options.link == StartLink::Udp && window.connectUdp(options.udpAddress, options.udpPort));
    if (linked && options.scan)
        window.showScanAndStart();
}

} // namespace

int main(int argc, char *argv[])
{
    logInfo(QStringLiteral("the application is staring..."));
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("vks20"));
    QCoreApplication::setApplicationName(QStringLiteral("vks20"));
    WindowCommandLine commandLine;
    if (!commandLine.parse(QCoreApplication::arguments())) {
        std::fprintf(stderr, "vks20: %s\n\n%s", qPrintable(commandLine.errorText()),
                     qPrintable(commandLine.helpText()));
        return 2;
    }
    if (commandLine.helpRequested()) {
        std::fputs(qPrintable(commandLine.helpText()), stdout);
        return 0;
    }
    const WindowOptions &options = commandLine.options();
    QSettings settings;
    const QString language = InterfaceLanguage::choose(options, settings);
    QTranslator translator;
    InterfaceLanguage::install(language, translator);
    UxDarkStyle::applyToApplication();

    // Declared last so it is released first, after the window is gone.
    QLockFile lockFile(QDir::temp().absoluteFilePath(QStringLiteral("DorozIri.lock")));
    if (!lockFile.tryLock(100)) {
        QMessageBox::warning(nullptr, QObject::tr("提示"), QObject::tr("程序已经运行"),
                             QMessageBox::Ok, QMessageBox::NoButton);
        return 0;
    }

    int exitCode = 0;
    {
        UxFramelessWindow window;
        auto *mainWindow = new MainWindow;
        window.setContent(mainWindow);
        mainWindow->restoreSettings(settings);
        if (window.restoreGeometry(settings.value(geometryKey).toByteArray()))
            window.show();
        else
            window.showMaximized();
        window.setBeforeClosingFunc(confirmExit);
        applyStartOptions(options, *mainWindow);
        exitCode = QApplication::exec();

        mainWindow->saveSettings(settings);
        settings.setValue(geometryKey, window.saveGeometry());
        InterfaceLanguage::remember(settings, language);
    }
    return exitCode;
}
