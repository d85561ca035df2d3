#pragma once

#include <QString>

class QProcessEnvironment;

// Where the program's logging configuration and its log files are.
//
// A Log4Qt.properties beside the program marks a build or unpacked folder: the program reads
// Log4Qt.properties from its working directory and writes its logs where that file says, as
// it always has. Installed, the folder is not the user's to write: the configuration is the
// system's one and the logs go to the user's state folder.
struct LogLocation
{
    QString propertiesFile;
    // Empty: the log folder the properties file names, relative to the working directory.
    QString logFolder;

    static LogLocation find(const QString &programFolder, const QProcessEnvironment &environment,
                            const QString &installedPropertiesFile);
    // As find(), for this process.
    static LogLocation ofThisProgram();
};

// Configures Log4Qt from `location`; true only when that raised no error. A log folder of its
// own replaces the file's "vks20.logs" and is created.
bool configureLogging(const LogLocation &location);
