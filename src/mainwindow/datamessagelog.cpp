#include "mainwindow/datamessagelog.h"

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QDateTime>
#include <QEvent>
#include <QScrollBar>
#include <QTextDocument>
#include <QTextEdit>

namespace {

// A document without a page size is not laid out: its layout skips every change.
const QSizeF noPage(0, 0);

bool isAtBottom(const QScrollBar *bar)
{
    return bar->value() >= bar->maximum();
}

} // namespace

DataMessageLog::DataMessageLog(QTextEdit *view) : m_view(view)
{
    // A chunk's hex digits form one unbreakable word; wrapping at word boundaries would
    // measure the rest of that word again for every line, at a cost that grows with the
    // square of the chunk's size (half a second for a 64 KB chunk).
    m_view->setWordWrapMode(QTextOption::WrapAnywhere);
    m_viewRefresh.setSingleShot(true);
    m_viewRefresh.setInterval(viewRefreshMs);
    connect(&m_viewRefresh, &QTimer::timeout, view, [view] { view->setUpdatesEnabled(true); });
    m_view->installEventFilter(this);
}

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
    appendLine(text + QLatin1Char('\n'));
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
    appendLine(timestamp + QLatin1Char(' ') + prefix + hexText + QLatin1Char('\n'));
}

// The text goes in at once; painting and scrolling the view, which cost far more than the
// text, wait for the refresh so that a stream of chunks shows as a few repaints a second.
void DataMessageLog::appendLine(const QString &line)
{
    if (!m_viewRefresh.isActive()) {
        m_view->setUpdatesEnabled(false);
        m_viewRefresh.start();
    }
    m_view->append(line);
}

bool DataMessageLog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_view && event->type() == QEvent::Hide)
        stopLayout();
    else if (watched == m_view && event->type() == QEvent::Show)
        resumeLayout();
    return false;
}

// Laying out a chunk's line costs more than everything else its arrival causes; a page
// nobody looks at needs none of it.
void DataMessageLog::stopLayout()
{
    QTextDocument *document = m_view->document();
    if (document->pageSize() == noPage)
        return;
    m_hiddenPageSize = document->pageSize();
    m_hiddenAtBottom = isAtBottom(m_view->verticalScrollBar());
    document->setPageSize(noPage);
}

void DataMessageLog::resumeLayout()
{
    QTextDocument *document = m_view->document();
    // A resize while hidden has already given the view its new width.
    if (m_hiddenPageSize && document->pageSize() == noPage)
        document->setPageSize(*m_hiddenPageSize);
    m_hiddenPageSize.reset();
    if (m_hiddenAtBottom) {
        // The scroll range covers the whole text only once all of it is laid out.
        document->documentLayout()->documentSize();
        QScrollBar *bar = m_view->verticalScrollBar();
        bar->setValue(bar->maximum());
        m_hiddenAtBottom = false;
    }
}
