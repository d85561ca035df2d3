#include "app/applogger.h"
#include "chrome/exitconfirmation.h"
#include "chrome/uxdarkstyle.h"
#include "chrome/uxframelesswindow.h"
#include "mainwindow/mainwindow.h"
#include "vksresources.h"

#include <QApplication>
#include <QDir>
#include <QLockFile>
#include <QMessageBox>
#include <QTranslator>

#include <log4qt/logger.h>
#include <log4qt/propertyconfigurator.h>

namespace {

// Logging and the embedded resources are in place before main runs and until the process ends.
struct StaticSetup
{
    StaticSetup()
    {
        Log4Qt::PropertyConfigurator::configure(QStringLiteral("Log4Qt.properties"));
        initVksResources();
    }
    ~StaticSetup() { cleanupVksResources(); }
};
const StaticSetup staticSetup;

} // namespace

int main(int argc, char *argv[])
{
    logInfo(QStringLiteral("the application is staring..."));
    QApplication app(argc, argv);
    QTranslator translator;
    QFont font = QApplication::font();
    translator.load(QStringLiteral(":/lang/resource/Tervane_en.qm"));
    font.setPointSize(9);
    QApplication::installTranslator(&translator);
    font.setFamily(QObject::tr("华文细黑"));
    QApplication::setFont(font);
    QApplication::setStyle(new UxDarkStyle);

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
        window.setContent(new MainWindow);
        window.showMaximized();
        window.setBeforeClosingFunc(confirmExit);
        exitCode = QApplication::exec();
    }
    return exitCode;
}
