#include "mainwindow/datamessagelog.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QTextDocument>
#include <QTextEdit>

DataMessageLog::DataMessageLog(QTextEdit *view) : m_view(view) {}

void DataMessageLog::appendSend(const QString &hexText)
{
    appendFrameLine(QCoreApplication::translate("MainWindow", "发送:"), hexText);
}

void DataMessageLog::appendReceive(const QString &hexText)
{
    appendFrameLine(QCoreApplication::translate("MainWindow", "接收:"), hexText);
    // Only received data can flood the view, so only a receive line checks the size.
    if (characterCount() > maxCharacters)
        clear();
}

void DataMessageLog::appendStatus(const QString &text)
{
    m_view->append(text + QLatin1Char('\n'));
}

void DataMessageLog::clear()
{
    m_view->clear();
}

int DataMessageLog::characterCount() const
{
    // The document counts one separator after its last paragraph that the plain text lacks.
    return m_view->document()->characterCount() - 1;
}

void DataMessageLog::appendFrameLine(const QString &prefix, const QString &hexText)
{
    const QString timestamp =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    m_view->append(timestamp + QLatin1Char(' ') + prefix + hexText + QLatin1Char('\n'));
}
