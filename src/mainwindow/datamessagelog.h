#pragma once

#include <QObject>
#include <QSizeF>
#include <QString>
#include <QTimer>

#include <optional>

class QTextEdit;

// The protocol monitor's text: one timestamped line per frame sent or chunk received, and
// untimed status lines about the exchange. The view is owned by the form.
//
// The text always changes at once; what the view costs is kept down: it is repainted a few
// times a second while lines stream in, and not laid out at all while it is hidden.
class DataMessageLog : public QObject
{
    Q_OBJECT
public:
    // A receive line that takes the log past this many characters clears it.
    static constexpr int maxCharacters = 1024 * 1024;
    // While lines stream in, the view is repainted at most this often.
    static constexpr int viewRefreshMs = 50;

    explicit DataMessageLog(QTextEdit *view);

    void appendSend(const QString &hexText);
    void appendReceive(const QString &hexText);
    void appendStatus(const QString &text);
    void clear();

    // Characters of the plain text, counted without building it.
    int characterCount() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void appendFrameLine(const QString &prefix, const QString &hexText);
    void appendLine(const QString &line);
    void stopLayout();
    void resumeLayout();

    QTextEdit *m_view;
    QTimer m_viewRefresh;
    // The page size the view had when it was hidden; none while it is shown.
    std::optional<QSizeF> m_hiddenPageSize;
    bool m_hiddenAtBottom = false;
};
