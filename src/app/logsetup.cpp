#include "app/logsetup.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>

#include <log4qt/properties.h>
#include <log4qt/propertyconfigurator.h>

namespace {

// Constant-initialised: the program configures its logging while static objects are still
// being constructed.
constexpr QLatin1String propertiesFileName("Log4Qt.properties");
// The properties file's own variable for the folder of its log files.
constexpr QLatin1String logFolderKey("vks20.logs");

// $XDG_STATE_HOME, which the base directory rules ignore unless it is absolute; else
// ~/.local/state. Qt 5 has no standard location for it.
QString stateHome(const QProcessEnvironment &environment)
{
    const QString configured = environment.value(QStringLiteral("XDG_STATE_HOME"));
    if (QDir::isAbsolutePath(configured))
        return configured;
    return environment.value(QStringLiteral("HOME"), QDir::homePath()) +
           QStringLiteral("/.local/state");
}

} // namespace

LogLocation LogLocation::find(const QString &programFolder, const QProcessEnvironment &environment,
                              const QString &installedPropertiesFile)
{
    if (QFileInfo::exists(QDir(programFolder).filePath(propertiesFileName)))
        return {propertiesFileName, QString()};
    return {installedPropertiesFile, stateHome(environment) + QStringLiteral("/vks20/logs")};
}

LogLocation LogLocation::ofThisProgram()
{
    // Logging is configured before the application object exists, which would know the
    // program's folder; the kernel knows it too.
    const QString program = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    return find(QFileInfo(program).absolutePath(), QProcessEnvironment::systemEnvironment(),
                QStringLiteral(VKS_INSTALLED_LOG_PROPERTIES));
}

bool configureLogging(const LogLocation &location)
{
    QFile file(location.propertiesFile);
    // Log4Qt reports a file it cannot open, in its own words.
    if (location.logFolder.isEmpty() || !file.open(QIODevice::ReadOnly))
        return Log4Qt::PropertyConfigurator::configure(location.propertiesFile);
    Log4Qt::Properties properties;
    properties.load(&file);
    properties.setProperty(logFolderKey, location.logFolder);
    // Log4Qt creates no more than the last folder of a log file's path.
    QDir().mkpath(location.logFolder);
    return Log4Qt::PropertyConfigurator::configure(properties);
}
