#pragma once
// Shared by the main-window link suite and the end-to-end suites: the window's widgets, the
// protocol monitor's lines, modal messages and region stores as the device holds them.

#include "device/devicesession.h"
#include "mainwindow/mainwindow.h"
#include "regions/region.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

template <typename T> T *widget(QObject *window, const char *name)
{
    auto *found = window->findChild<T *>(QLatin1String(name));
    if (!found)
        qFatal("missing widget %s", name);
    return found;
}

// The protocol monitor, read back line by line.
struct DataGram
{
    explicit DataGram(QObject *window) : view(widget<QTextEdit>(window, "textEditDataGram")) {}

    // The first capture of every line `form` matches, in order.
    QStringList grep(const QString &form) const
    {
        const QRegularExpression expression(form);
        QStringList found;
        for (const QString &line :
             view->toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            const QRegularExpressionMatch match = expression.match(line);
            if (match.hasMatch())
                found.append(match.captured(1));
        }
        return found;
    }
    // Hex of the frame lines, sent or received; status lines are those without a timestamp.
    QStringList sent() const { return grep(stamp + QStringLiteral("发送:([0-9A-F]*)$")); }
    QStringList received() const { return grep(stamp + QStringLiteral("接收:([0-9A-F]*)$")); }
    QStringList status() const { return grep(QStringLiteral("^(?!\\d{4}-\\d\\d-\\d\\d )(.*)$")); }

    const QString stamp = QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d ");
    QTextEdit *view;
};

// Answers every modal dialog the program opens with OK, keeping its message; a file dialog
// gets `fileName`, or is cancelled without one.
class ModalMessages : public QObject
{
public:
    ModalMessages()
    {
        connect(&poll, &QTimer::timeout, this, [this] {
            auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (auto *files = qobject_cast<QFileDialog *>(dialog)) {
                // Typed as the operator would: a selection may still give way to the dialog's own.
                files->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(fileName);
                fileName.isEmpty() ? dialog->reject() : dialog->accept();
            } else if (dialog) {
                auto *label = dialog->findChild<QLabel *>(QStringLiteral("labelInfo"));
                texts.append(label ? label->text() : QString());
                dialog->accept();
            }
        });
        poll.start(20);
    }

    QStringList texts;
    QString fileName;
    QTimer poll;
};

// Waits until the window's device session has nothing left to do; false after `timeoutMs`.
inline bool settled(QObject *window, int timeoutMs = 30000)
{
    const auto *session = window->findChild<DeviceSession *>();
    return QTest::qWaitFor([session] { return !session->isBusy(); }, timeoutMs);
}

inline QStringList repeated(const QString &text, int times)
{
    const QVector<QString> copies(times, text);
    return QStringList(copies.begin(), copies.end());
}

// Navigation row = page: 0 connection, 1 scan, 2 regions, 3 data messages.
inline void showPage(QObject *window, int row)
{
    widget<QListWidget>(window, "listWidgetMenu")->setCurrentRow(row);
}

// A store with whole-millimetre vertices in several groups and distinct alarm counts.
inline RegionStore sampleDeviceStore()
{
    RegionStore store = Regions::initialStore();
    for (int group : {1, 2, 7, 13, 15}) {
        for (int r = 0; r < Regions::regionsPerGroup; ++r) {
            QPolygonF polygon;
            for (int v = 0; v < 3 + group % 5 + r; ++v)
                polygon << QPointF(-900 + 150 * v + group, 400 + 37 * v * r + 11 * group);
            store[group][r].polygon = Regions::sortedByAngle(polygon);
            store[group][r].alarmPointNum = 4 + group + r;
        }
    }
    return store;
}

// Polygons and alarm counts equal; colours are the program's own and do not travel.
inline bool sameRegions(RegionStore a, const RegionStore &b)
{
    for (auto group = a.begin(); group != a.end(); ++group) {
        for (int r = 0; r < group->size() && r < b.value(group.key()).size(); ++r)
            (*group)[r].color = b.value(group.key()).at(r).color;
    }
    return a == b;
}
