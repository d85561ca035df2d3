#pragma once
// Shared by the main-window link suites and the end-to-end suites: private access to the
// window, the protocol monitor's lines, modal messages and an in-process UDP device.

#include "mainwindow/mainwindow.h"
#include "protocol/hextext.h"
#include "protocol/regionframe.h"
#include "regions/region.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QNetworkDatagram>
#include <QRegularExpression>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QUdpSocket>

#include <functional>

class MainWindowProbe
{
public:
    static int &linkState(MainWindow &w) { return w.linkState; }
    static int &connMode(MainWindow &w) { return w.connMode; }
    static bool &replyReceived(MainWindow &w) { return w.replyReceived; }
    static bool &regionRequestAcked(MainWindow &w) { return w.regionRequestAcked; }
    static double angleResolution(MainWindow &w) { return w.angleResolution; }
    static int frameLength(MainWindow &w) { return w.frameLength; }
    static int pointsPerFrame(MainWindow &w) { return w.pointsPerFrame; }
    static const PointCloudDecoder &decoder(MainWindow &w) { return w.pointCloudDecoder; }
    static const RegionFrameParser &rawRegionParser(MainWindow &w) { return w.rawRegionParser; }

    static void receive(MainWindow &w, const QByteArray &chunk) { w.handleReceivedData(chunk); }
    static void sendHexCommand(MainWindow &w, const QString &hex) { w.sendHexCommand(hex); }
    static void sendRegionFrame(MainWindow &w, int block, const RegionFrame::Content &content)
    {
        w.sendRegionFrame(block, content);
    }
};

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

    QStringList lines() const
    {
        return view->toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    // Hex of every frame line of the given kind ("发送:" or "接收:"), in order.
    QStringList frames(const QString &prefix) const
    {
        const QRegularExpression form(
            QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d %1([0-9A-F]*)$")
                .arg(QRegularExpression::escape(prefix)));
        QStringList hex;
        for (const QString &line : lines()) {
            const QRegularExpressionMatch match = form.match(line);
            if (match.hasMatch())
                hex.append(match.captured(1));
        }
        return hex;
    }
    QStringList sent() const { return frames(QStringLiteral("发送:")); }
    QStringList received() const { return frames(QStringLiteral("接收:")); }
    // Lines without a timestamp.
    QStringList status() const
    {
        const QRegularExpression stamped(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:"));
        QStringList result;
        for (const QString &line : lines()) {
            if (!stamped.match(line).hasMatch())
                result.append(line);
        }
        return result;
    }

    QTextEdit *view;
};

// Answers every modal dialog the program opens with OK, keeping its message.
class ModalMessages : public QObject
{
public:
    ModalMessages()
    {
        connect(&poll, &QTimer::timeout, this, [this] {
            auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            auto *label = dialog->findChild<QLabel *>(QStringLiteral("labelInfo"));
            texts.append(label ? label->text() : QString());
            dialog->accept();
        });
        poll.start(20);
    }

    QStringList texts;

private:
    QTimer poll;
};

// A device on 127.0.0.1 that records each datagram and answers through `respond`.
class FakeUdpDevice : public QObject
{
public:
    using Responder = std::function<QList<QByteArray>(const QByteArray &request)>;

    FakeUdpDevice()
    {
        socket.bind(QHostAddress(QHostAddress::LocalHost), 0);
        connect(&socket, &QUdpSocket::readyRead, this, [this] {
            while (socket.hasPendingDatagrams()) {
                const QNetworkDatagram datagram = socket.receiveDatagram();
                program = datagram.senderAddress();
                programPort = static_cast<quint16>(datagram.senderPort());
                received.append(HexText::fromBytes(datagram.data()));
                if (respond) {
                    for (const QByteArray &reply : respond(datagram.data()))
                        sendToProgram(reply);
                }
            }
        });
    }

    quint16 port() const { return socket.localPort(); }
    void sendToProgram(const QByteArray &bytes)
    {
        socket.writeDatagram(bytes, program, programPort);
    }
    int count(const QString &hex) const { return received.count(hex); }

    QStringList received;
    Responder respond;

private:
    QUdpSocket socket;
    QHostAddress program;
    quint16 programPort = 0;
};

// Replies of a well-behaved raw device: stop and region frames acknowledged, resolution told.
inline FakeUdpDevice::Responder rawDeviceReplies(const QByteArray &resolutionReply)
{
    return [resolutionReply](const QByteArray &request) -> QList<QByteArray> {
        const QString hex = HexText::fromBytes(request);
        if (hex == QLatin1String("A55A049CFAFB") || hex.startsWith(QLatin1String("A55A0210")))
            return {QByteArray::fromHex("A55A0098FAFB")};
        if (hex == QLatin1String("A55A0099FAFB"))
            return {resolutionReply};
        return {};
    };
}

// Opens the UDP link from the connection page as the operator would, bound to a port of
// the system's choosing on 127.0.0.1 and talking to the device at `devicePort`.
inline void openUdpLinkFromPage(MainWindow *window, quint16 devicePort)
{
    widget<QComboBox>(window, "comboBoxConnMode")->setCurrentIndex(Net);
    widget<QLineEdit>(window, "lineEditIP")->setText(QStringLiteral("127.0.0.1"));
    widget<QLineEdit>(window, "lineEditPort")->setText(QStringLiteral("0"));
    window->setDeviceEndpoint(QHostAddress::LocalHost, devicePort);
    QTest::mouseClick(widget<QAbstractButton>(window, "pushButtonConnNet"), Qt::LeftButton);
}

inline QStringList repeated(const QString &text, int times)
{
    QStringList list;
    for (int i = 0; i < times; ++i)
        list.append(text);
    return list;
}

// Navigation row = page: 0 connection, 1 scan, 2 regions, 3 data messages.
inline void showPage(QObject *window, int row)
{
    widget<QListWidget>(window, "listWidgetMenu")->setCurrentRow(row);
}

// A region frame as the device sends it: the written layout with type 03.
inline QByteArray deviceRegionFrame(int group, int regionNumber, int alarmPointNum,
                                    const QPolygonF &polygon)
{
    QByteArray frame = RegionFrame::encodeRaw({group, regionNumber, alarmPointNum, polygon});
    frame[2] = 0x03;
    return frame;
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

// The store's 45 regions as device frames, group by group.
inline QList<QByteArray> deviceRegionFrames(const RegionStore &store)
{
    QList<QByteArray> frames;
    for (auto group = store.cbegin(); group != store.cend(); ++group) {
        for (int r = 0; r < group->size(); ++r) {
            frames.append(deviceRegionFrame(group.key(), r + 1, group->at(r).alarmPointNum,
                                            group->at(r).polygon));
        }
    }
    return frames;
}

// Polygons and alarm counts equal; colours are the program's own and do not travel.
inline bool sameRegions(const RegionStore &a, const RegionStore &b)
{
    if (a.keys() != b.keys())
        return false;
    for (auto group = a.cbegin(); group != a.cend(); ++group) {
        const RegionGroup &other = b.value(group.key());
        if (other.size() != group->size())
            return false;
        for (int r = 0; r < group->size(); ++r) {
            if (group->at(r).polygon != other.at(r).polygon ||
                group->at(r).alarmPointNum != other.at(r).alarmPointNum)
                return false;
        }
    }
    return true;
}
