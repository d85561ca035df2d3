#pragma once

#include "filter.h"
#include "layout.h"
#include "log4qt/level.h"

#include <QFile>
#include <QMutex>
#include <QString>

#include <cstdio>
#include <memory>
#include <vector>

namespace Log4Qt {

struct LoggingEvent;

// Writes the events that pass its threshold and its filter chain through its layout. Writes
// are serialised, as Qt may log from other threads.
class Appender
{
public:
    explicit Appender(const QString &name) : mName(name) {}
    virtual ~Appender() = default;
    Q_DISABLE_COPY(Appender)

    QString name() const { return mName; }
    void setLayout(std::unique_ptr<Layout> layout) { mLayout = std::move(layout); }
    void addFilter(std::unique_ptr<Filter> filter) { mFilters.push_back(std::move(filter)); }
    // Sets a named property; false when the appender has no such property.
    virtual bool setProperty(const QString &name, const QString &value);
    // Opens whatever the appender writes to; false, after reporting why, when it cannot work.
    virtual bool activateOptions() { return true; }

    void doAppend(const LoggingEvent &event);

protected:
    virtual void write(const QByteArray &text) = 0;
    virtual void flush() = 0;

private:
    bool passesFilters(const LoggingEvent &event) const;

    const QString mName;
    Level mThreshold = Level::NULL_INT;
    bool mImmediateFlush = true;
    std::unique_ptr<Layout> mLayout;
    std::vector<std::unique_ptr<Filter>> mFilters;
    QMutex mMutex;
    QString mLine; // reused so that its capacity is allocated only once
};

class ConsoleAppender : public Appender
{
public:
    using Appender::Appender;
    bool setProperty(const QString &name, const QString &value) override;

protected:
    void write(const QByteArray &text) override;
    void flush() override;

private:
    FILE *mStream = stdout;
};

class FileAppender : public Appender
{
public:
    using Appender::Appender;
    bool setProperty(const QString &name, const QString &value) override;
    bool activateOptions() override;

protected:
    void write(const QByteArray &text) override;
    void flush() override;

    QString fileName() const { return mFileName; }
    bool appendFile() const { return mAppendFile; }
    // Size of the open file, counted as it is written rather than asked of the file system.
    qint64 fileSize() const { return mFileSize; }
    // Creates one missing parent folder; reports a failure to open.
    bool openFile(bool append);
    void closeFile() { mFile.close(); }

private:
    QString mFileName; // absolute, resolved against the working directory when configured
    bool mAppendFile = false;
    QFile mFile;
    qint64 mFileSize = 0;
};

// Renames the file to file.1 (and file.i to file.i+1) once it grows beyond MaxFileSize,
// keeping at most MaxBackupIndex backups.
class RollingFileAppender : public FileAppender
{
public:
    using FileAppender::FileAppender;
    bool setProperty(const QString &name, const QString &value) override;
    bool activateOptions() override;

protected:
    void write(const QByteArray &text) override;

private:
    void rollOver();
    void shiftBackups() const;

    qint64 mMaxFileSize = 10 * 1024 * 1024;
    int mMaxBackupIndex = 1;
};

} // namespace Log4Qt
