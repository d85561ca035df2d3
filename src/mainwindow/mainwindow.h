#pragma once

#include "device/devicesession.h"
#include "device/linkrecorder.h"
#include "device/replaylink.h"
#include "protocol/linktypes.h"

#include <QHostAddress>
#include <QIcon>
#include <QMainWindow>
#include <QVector>

class QComboBox;
class QPushButton;
class RegionWidget;
class DataMessageLog;
class SerialLink;
class UdpLink;

namespace Ui {
class MainWindow;
}

// The working surface: connection page, live scan, region editing, protocol monitor and
// wiring diagram. The conversation with the device is the session's; the window forwards the
// operator's clicks to it and shows what it reports. Its operations are spread over one source
// file per concern.
class MainWindow : public QMainWindow
{
    Q_OBJECT
    // Benchmarks and the fuzzer reach the session through it.
    friend class MainWindowProbe;

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // Where UDP datagrams go; the device's fixed address unless a test or tool moves it.
    void setDeviceEndpoint(const QHostAddress &address, quint16 port);

    // Capture, replay and export (mainwindow_capture.cpp).
    // Plays a capture in place of the device, from the scan page; a link open now is closed,
    // and opening one ends the replay. False, once the operator has been told why, when the
    // file is no capture or an operation is still under way.
    bool replayCapture(const QString &path);
    // The revolution on the scan display as a table, and the display as a picture at its
    // on-screen size; false when the file cannot be written.
    bool exportScanCsv(const QString &path) const;
    bool exportScanPng(const QString &path) const;

signals:
    void updateGroupAndRgnIndex(int groupIndex, int rgnIndex);
    void updateAlarmPointNum(int groupIndex, int rgnIndex, int alarmPointNum);

private slots:
    // Link (mainwindow_link.cpp)
    void on_comboBoxConnMode_currentIndexChanged(int index);
    void on_comboBoxBaudRates_currentIndexChanged(int index);
    void on_pushButtonConn_clicked();
    void on_pushButtonModbusConn_clicked();
    void on_pushButtonConnNet_clicked();
    void on_pushButtonClear_clicked();

    // Device operations (mainwindow_deviceops.cpp)
    void on_pushButtonStartScan_clicked();
    void on_pushButtonStopScan_clicked();
    void on_comboBoxIOMode_currentIndexChanged(int index);

    // Region page (mainwindow_regions.cpp, mainwindow_regiontransfer.cpp)
    void on_pushButtonOpenConfig_clicked();
    void on_pushButtonSaveConfig_clicked();
    void on_pushButtonDownload_clicked();
    void on_pushButtonUpload_clicked();
    void on_listWidgetRgnGroupIndex_currentRowChanged(int currentRow);
    void on_tabWidgetRgnIndex_currentChanged(int index);
    void on_spinBoxAlarmPointNum_valueChanged(int arg1);

    // Scan page display controls (mainwindow.cpp)
    void on_comboBoxGraphType_currentIndexChanged(int index);
    void on_spinBoxPointRadius_valueChanged(int arg1);
    void on_spinBoxLineWidth_valueChanged(int arg1);
    void on_pushButtonColorSelect_clicked();
    void on_pushButtonAddPoint_clicked();
    void on_pushButtonClearScreen_clicked();

    // Capture, replay and export (mainwindow_capture.cpp)
    void on_pushButtonRecord_clicked(bool checked);
    void on_pushButtonReplay_clicked();
    void on_pushButtonReplayPlay_clicked();
    void on_comboBoxReplaySpeed_currentIndexChanged(int index);
    void on_horizontalSliderReplay_valueChanged(int value);
    void on_pushButtonExport_clicked();

private:
    // Construction helpers (mainwindow.cpp)
    void fillSelectors(const QStringList &portNames);
    void buildNavigation();
    void loadWiringDiagram();
    void createRegionEditors();
    void connectRegionEditors();
    void installValidators();
    int currentGroupRow() const;

    // Link (mainwindow_link.cpp)
    QStringList findAvailablePorts();
    void toggleSerialLink();
    void openSerialLink();
    void closeSerialLink();
    void openUdpLink();
    void closeUdpLink();
    void closeCurrentLink();
    QPushButton *serialConnectButton() const;
    QComboBox *serialPortList() const;
    void showLinkOpened(const QString &deviceName);
    void showLinkClosed();
    void setDeviceControlsEnabled(bool on);
    bool isLinkOpen() const;
    void clearBothDisplays();

    // Device operations (mainwindow_deviceops.cpp)
    void connectSession();
    void initialiseDevice();
    void showRevolution(const ScanFrames &revolution);

    // Region page (mainwindow_regions.cpp)
    void refreshAlarmPointNum();
    void showGroupInEditors(int group);
    void updateGroupIcons(int groupIndex);
    void showMessage(const QString &text);

    // Region transfer (mainwindow_regiontransfer.cpp)
    void showTransferStarted(DeviceSession::Transfer transfer);
    void storeReceivedRegion(const RegionFrame::Content &frame);
    void showRegionsWritten(const RegionWriteResult &result);
    void showRegionsRead(const RegionReadResult &result);

    // Capture, replay and export (mainwindow_capture.cpp)
    bool startRecording(const QString &path);
    void showRecordedBytes(qint64 bytes);
    void showRecordingStopped();
    void playReplay();
    void showReplayPaused();
    void showReplayPosition(qint64 positionUs);
    void endReplay();
    void exportThroughDialog(const QString &title, const QString &fileName, const QString &filter,
                             bool (MainWindow::*exportTo)(const QString &) const);

    Ui::MainWindow *ui;
    DeviceSession *session;
    SerialLink *serialLink;
    UdpLink *udpLink;
    QVector<RegionWidget *> regionWidgets;
    DataMessageLog *dataMessageLog = nullptr;

    int connMode = Usb;
    // True while the next click of a connect button opens its link.
    bool serialClosed = true;
    bool udpClosed = true;
    // Revolution-closing frames since the display last got one; it takes one in four.
    int revolutionsSinceShown = 0;
    QIcon defaultGroupIcon;

    LinkRecorder *linkRecorder = new LinkRecorder({}, this);
    ReplayLink *replayLink = new ReplayLink(this);
    // What the scan display shows, for the export.
    ScanFrames displayedRevolution;
};
