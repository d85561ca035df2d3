#pragma once
// Shared by the end-to-end suites that drive the shown window against the simulator: their
// fixture, a session (a simulator and the window the operator connected to it), region stores
// that tell the operator's regions from the device's, what a transfer's closing message says
// got through, and the transfer case the two transfer suites run, each with its own table.

#include "mainwindow/mainwindowsupport.h"
#include "regions/regiondocument.h"
#include "regions/regionfile.h"
#include "regions/regionwidget.h"
#include "support/simulatorprocess.h"
#include "vksresources.h"

#include <QCheckBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>

// Every case answers the modal dialogs it opens afresh and writes its files in `dir`.
class E2eSuite : public QObject
{
    Q_OBJECT
public:
    E2eSuite() { initVksResources(); }

protected:
    ModalMessages *messages = nullptr;
    QTemporaryDir dir;

private slots:
    void init() { messages = new ModalMessages; }
    void cleanup() { delete messages; }
};

// Per connection mode (Usb, Net, Modbus): its connect button and the field naming its port.
const char *const connectButtons[] = {"pushButtonConn", "pushButtonConnNet",
                                      "pushButtonModbusConn"};
const char *const portFields[] = {"comboBoxComNames", "lineEditIP", "comboBoxModbusComNames"};

inline QString startCommand(int mode)
{
    return mode == Modbus ? "01100BF7000306FF00FFA100FF4204" : "FF00FFA100";
}

// A simulator with the given options and a shown main window that the operator connected
// to it, then showing page `row`.
struct Session
{
    Session(int mode, const QStringList &options, int row)
        : mode(mode), device(mode, options), page(&window)
    {
        window.resize(1410, 948);
        window.show();
        widget<QComboBox>(&window, "comboBoxConnMode")->setCurrentIndex(mode);
        if (mode == Net) {
            // Bound to a port of the system's choosing on 127.0.0.1.
            widget<QLineEdit>(&window, "lineEditIP")->setText(QStringLiteral("127.0.0.1"));
            widget<QLineEdit>(&window, "lineEditPort")->setText(QStringLiteral("0"));
            window.setDeviceEndpoint(QHostAddress::LocalHost,
                                     device.endpoint.section(QLatin1Char(':'), -1).toUShort());
        } else {
            widget<QComboBox>(&window, portFields[mode])->setEditText(device.endpoint);
        }
        QTest::mouseClick(connectButton(), Qt::LeftButton);
        connected = settled(&window);
        showPage(&window, row);
    }

    QPushButton *button(const char *name) { return widget<QPushButton>(&window, name); }
    QPushButton *connectButton() { return widget<QPushButton>(&window, connectButtons[mode]); }
    QString linkStatus() { return widget<QLabel>(&window, "labelLinkStatus")->text(); }
    void click(const char *name) { QTest::mouseClick(button(name), Qt::LeftButton); }
    RegionDocument &document() { return *window.findChild<RegionDocument *>(); }
    const RegionStore &store() { return document().store(); }
    // Every transfer ends by telling the device to scan again.
    bool endedWithStart() const
    {
        const QStringList sent = page.sent();
        return sent.mid(sent.size() - 3) == repeated(startCommand(mode), 3);
    }
    // The link closes from its button and the connection page is the operator's again.
    bool closes()
    {
        showPage(&window, 0);
        QTest::mouseClick(connectButton(), Qt::LeftButton);
        return connectButton()->text() == QStringLiteral("打开") &&
               widget<QComboBox>(&window, "comboBoxConnMode")->isEnabled() &&
               widget<QWidget>(&window, portFields[mode])->isEnabled();
    }
    // Usable: the link answers a stop and closes.
    bool stillUsable()
    {
        page.view->clear();
        showPage(&window, 1);
        click("pushButtonStopScan");
        return settled(&window) &&
               page.status().contains(QStringLiteral("发送雷达停止采集命令成功")) && closes();
    }
    // The editors and the alarm count show the group on display as the store holds it.
    bool editorsShowTheStore()
    {
        const int group = widget<QListWidget>(&window, "listWidgetRgnGroupIndex")->currentRow();
        const RegionGroup regions = store().value(group);
        for (RegionWidget *editor : window.findChildren<RegionWidget *>()) {
            if (editor->regionPoints() != regions.value(editor->rgnIndex()).polygon)
                return false;
        }
        const int rgnIndex = widget<QTabWidget>(&window, "tabWidgetRgnIndex")->currentIndex();
        return widget<QSpinBox>(&window, "spinBoxAlarmPointNum")->value() ==
               qBound(4, regions.value(rgnIndex).alarmPointNum, 255);
    }

    int mode;
    Simulator device;
    MainWindow window;
    DataGram page;
    bool connected = false;
};

// Unlike sampleDeviceStore() in every region, so each region shows which side it came from.
inline RegionStore operatorStore()
{
    RegionStore store = Regions::initialStore();
    for (auto group = store.begin(); group != store.end(); ++group) {
        for (int r = 0; r < group->size(); ++r) {
            (*group)[r].polygon = Regions::sortedByAngle(
                QPolygonF() << QPointF(-300 - group.key(), 700) << QPointF(300, 700 + 10 * r)
                            << QPointF(0, 1500));
            (*group)[r].alarmPointNum = 60 + r;
        }
    }
    return store;
}

// `store` after a reading that stored the device's first `frames` regions, in block order,
// all but the `skipped` block.
inline RegionStore afterReading(RegionStore store, const RegionStore &device, int frames,
                                int skipped = -1)
{
    for (int block = 0; block < frames + (skipped >= 0); ++block) {
        const int group = block / Regions::regionsPerGroup + 1;
        const int r = block % Regions::regionsPerGroup;
        if (block != skipped)
            store[group][r] = {device[group][r].polygon, store[group][r].color,
                               device[group][r].alarmPointNum};
    }
    return store;
}

// The regions a transfer's closing message says got through (stored by a reading,
// acknowledged in a writing), or -1 for any other message.
inline int regionsThrough(const QString &message, bool writing)
{
    // A writing acknowledged in full is read back and found the same, unless the check is off.
    const QRegularExpressionMatch match =
        QRegularExpression(
            writing ? "^下载区域设置(?:成功(?:并已校验)?！|失败：(\\d+) 个区域未被确认！)$"
                    : "^上传区域设置(?:成功！|未完成：已收到 (\\d+)/45 个区域！)$")
            .match(message);
    const int count = match.captured(1).toInt(); // 0 where the message names none
    return !match.hasMatch() ? -1 : writing ? 45 - count : match.captured(1).isEmpty() ? 45 : count;
}

// The device holds sampleDeviceStore(), the operator has opened operatorStore(). One transfer,
// a second click of either button while it runs starting nothing; the closing message names
// between `fewest` and `most` regions through (-1: a region the device changed), and the store,
// the device's saved regions and the link are left as those regions make them.
class E2eTransferSuite : public E2eSuite
{
    Q_OBJECT

private slots:
    void transfer()
    {
        QFETCH(int, mode);
        QFETCH(QStringList, fault);
        QFETCH(bool, writing);
        QFETCH(int, fewest);
        QFETCH(int, most);
        // Frame n names group 0: it is acknowledged, not stored, and the device goes on.
        const int skipped = fault.contains("--bad-group-frame") ? fault.last().toInt() - 1 : -1;
        const bool unverified = fault.removeAll(QStringLiteral("unverified")) > 0;
        const QString file = dir.filePath(QStringLiteral("device-regions.dat"));
        RegionFile::save(sampleDeviceStore(), file);
        Session session(mode, fault + QStringList{QStringLiteral("--regions-file"), file}, 2);
        const QString opened = dir.filePath(QStringLiteral("operator.dat"));
        QVERIFY(RegionFile::save(operatorStore(), opened) && session.document().loadFile(opened));
        widget<QCheckBox>(&session.window, "checkBoxVerifyAfterDownload")->setChecked(!unverified);
        QTimer::singleShot(1000, &session.window, [&session] {
            QMetaObject::invokeMethod(&session.window, "on_pushButtonUpload_clicked");
            QMetaObject::invokeMethod(&session.window, "on_pushButtonDownload_clicked");
        });
        session.click(writing ? "pushButtonUpload" : "pushButtonDownload");

        QTRY_COMPARE_WITH_TIMEOUT(messages->texts.size(), 1, 20000);
        const int through = regionsThrough(messages->texts.first(), writing);
        if (through < 0) // the device kept a region other than it was written
            QCOMPARE(messages->texts.first(),
                     QStringLiteral("校验失败：设备上第 7 组区域 2 与写入的不同！"));
        QVERIFY2(through >= fewest && through <= most, qPrintable(messages->texts.first()));
        // A writing leaves the store alone; a reading replaces exactly the regions it stored.
        const RegionStore stored =
            writing ? operatorStore()
                    : afterReading(operatorStore(), sampleDeviceStore(), through, skipped);
        QVERIFY(sameRegions(session.store(), stored));
        QVERIFY(session.editorsShowTheStore());
        QCOMPARE(widget<QProgressBar>(&session.window, "progressBarUpAndDownload")->value(),
                 writing ? 0 : through);
        if (unverified) // nothing is read back
            QVERIFY(!session.page.sent().contains(QStringLiteral("A55A03FAFB")));
        RegionStore saved = Regions::initialStore();
        QVERIFY(
            RegionFile::load(file, saved) &&
            (through < 45 || sameRegions(saved, writing ? operatorStore() : sampleDeviceStore())));
        QVERIFY(session.endedWithStart());
        if (!fault.contains(QStringLiteral("--cable-pull-after"))) {
            QVERIFY(session.button("pushButtonUpload")->isEnabled() && session.stillUsable());
            return;
        }
        QTRY_COMPARE(session.device.process.state(), QProcess::NotRunning);
        QVERIFY(session.closes());
    }

protected:
    static void transferColumns()
    {
        QTest::addColumn<int>("mode");
        // The simulator's options; "unverified" turns the window's check after a writing off.
        QTest::addColumn<QStringList>("fault");
        QTest::addColumn<bool>("writing");
        QTest::addColumn<int>("fewest"); // regions that must get through
        QTest::addColumn<int>("most");
    }
    static void transferRow(const char *name, ConnMode mode, const char *fault, bool writing,
                            int fewest = 45, int most = 45)
    {
        QTest::newRow(name) << int(mode) << QString(fault).split(' ', Qt::SkipEmptyParts) << writing
                            << fewest << most;
    }
};
