#include "appender.h"
#include "logerror.h"
#include "loggingevent.h"
#include "optionconverter.h"

#include <QDir>
#include <QFileInfo>

namespace Log4Qt {

using OptionConverter::isOption;

bool Appender::setProperty(const QString &name, const QString &value)
{
    if (isOption(name, "Threshold"))
        mThreshold = OptionConverter::toLevel(value, mThreshold);
    else if (isOption(name, "ImmediateFlush"))
        mImmediateFlush = OptionConverter::toBoolean(value, mImmediateFlush);
    else
        return false;
    return true;
}

void Appender::doAppend(const LoggingEvent &event)
{
    // The chain is fixed once configured, so it runs before the lock.
    if (event.level < mThreshold || !mLayout || !passesFilters(event))
        return;
    QMutexLocker lock(&mMutex);
    mLine.resize(0);
    mLayout->format(event, mLine);
    write(mLine.toUtf8());
    if (mImmediateFlush)
        flush();
}

bool Appender::passesFilters(const LoggingEvent &event) const
{
    for (const std::unique_ptr<Filter> &filter : mFilters) {
        const Filter::Decision decision = filter->decide(event);
        if (decision != Filter::NEUTRAL)
            return decision == Filter::ACCEPT;
    }
    return true;
}

bool ConsoleAppender::setProperty(const QString &name, const QString &value)
{
    if (!isOption(name, "Target"))
        return Appender::setProperty(name, value);
    if (isOption(value, "STDOUT_TARGET") || isOption(value, "System.out"))
        mStream = stdout;
    else if (isOption(value, "STDERR_TARGET") || isOption(value, "System.err"))
        mStream = stderr;
    else
        logError(QStringLiteral("Invalid option string '%1' for a target").arg(value));
    return true;
}

void ConsoleAppender::write(const QByteArray &text)
{
    std::fwrite(text.constData(), 1, size_t(text.size()), mStream);
}

void ConsoleAppender::flush()
{
    std::fflush(mStream);
}

bool FileAppender::setProperty(const QString &name, const QString &value)
{
    if (isOption(name, "File"))
        mFileName = value.isEmpty() ? QString() : QFileInfo(value).absoluteFilePath();
    else if (isOption(name, "AppendFile"))
        mAppendFile = OptionConverter::toBoolean(value, mAppendFile);
    else
        return Appender::setProperty(name, value);
    return true;
}

bool FileAppender::activateOptions()
{
    if (mFileName.isEmpty()) {
        logError(QStringLiteral("Activation of appender '%1' that requires file and has no file "
                                "set")
                     .arg(name()));
        return false;
    }
    return openFile(mAppendFile);
}

bool FileAppender::openFile(bool append)
{
    const QString folder = QFileInfo(mFileName).absolutePath();
    if (!QFileInfo::exists(folder))
        QDir().mkdir(folder);
    mFile.setFileName(mFileName);
    if (!mFile.open(QIODevice::WriteOnly | (append ? QIODevice::Append : QIODevice::Truncate))) {
        logError(QStringLiteral("Unable to open file '%1' for appender '%2': %3")
                     .arg(mFileName, name(), mFile.errorString()));
        return false;
    }
    mFileSize = mFile.size();
    return true;
}

void FileAppender::write(const QByteArray &text)
{
    // A file that could not be reopened after a rollover stays silent.
    if (!mFile.isOpen())
        return;
    mFile.write(text);
    mFileSize += text.size();
}

void FileAppender::flush()
{
    if (mFile.isOpen())
        mFile.flush();
}

bool RollingFileAppender::setProperty(const QString &name, const QString &value)
{
    if (isOption(name, "MaxFileSize"))
        mMaxFileSize = OptionConverter::toFileSize(value, mMaxFileSize);
    else if (isOption(name, "MaxBackupIndex"))
        mMaxBackupIndex = qMax(0, OptionConverter::toInt(value, mMaxBackupIndex));
    else
        return FileAppender::setProperty(name, value);
    return true;
}

bool RollingFileAppender::activateOptions()
{
    // A fresh log starts in a fresh file; the previous run's file becomes the first backup.
    if (!appendFile() && !fileName().isEmpty() && QFileInfo::exists(fileName()))
        shiftBackups();
    return FileAppender::activateOptions();
}

void RollingFileAppender::write(const QByteArray &text)
{
    FileAppender::write(text);
    if (fileSize() > mMaxFileSize)
        rollOver();
}

void RollingFileAppender::rollOver()
{
    closeFile();
    shiftBackups();
    openFile(false);
}

void RollingFileAppender::shiftBackups() const
{
    // Without backups the reopened file is simply truncated.
    if (mMaxBackupIndex == 0)
        return;
    const QString base = fileName() + QLatin1Char('.');
    QFile::remove(base + QString::number(mMaxBackupIndex));
    for (int i = mMaxBackupIndex - 1; i >= 1; --i)
        QFile::rename(base + QString::number(i), base + QString::number(i + 1));
    QFile::rename(fileName(), base + QLatin1Char('1'));
}

} // namespace Log4Qt
