#pragma once

#include "device/devicesession.h"
#include "device/linkrecorder.h"
#include "device/replaylink.h"
#include "protocol/linktypes.h"
#include "regions/region.h"

#include <QHostAddress>
#include <QIcon>
#include <QMainWindow>
#include <QVector>

class CommissioningReport;
class QComboBox;
class ReplayAlarmTimeline;
class QPushButton;
class QSettings;
class QTimer;
class RegionDocument;
class RegionEditActions;
class RegionWidget;
class DataMessageLog;
class PortReturnWatcher;
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

    // What the command line asks for at start (mainwindow_startup.cpp). False when the link did
    // not open; the window has said why.
    bool connectSerial(const QString &path, bool modbus);
    // Binds the local side to the address family's any-address on a port the system picks.
    bool connectUdp(const QHostAddress &deviceAddress, quint16 devicePort);
    // The scanned image, with the scan started (mainwindow_deviceops.cpp).
    void showScanAndStart();

    // The operator's choices, kept between runs (mainwindow_settings.cpp).
    void saveSettings(QSettings &settings) const;
    void restoreSettings(const QSettings &settings);
    // Capture, replay and export (mainwindow_capture.cpp).
    // Plays a capture in place of the device, from the scan page; a link open now is closed,
    // and opening one ends the replay. False, once the operator has been told why, when the
    // file is no capture or an operation is still under way.
    bool replayCapture(const QString &path);
    // The revolution on the scan display as a table, and the display as a picture at its
    // on-screen size; false when the file cannot be written.
    bool exportScanCsv(const QString &path) const;
    bool exportScanPng(const QString &path) const;
    bool exportScanSvg(const QString &path) const;

protected:
    void resizeEvent(QResizeEvent *event) override;

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

    // Region page (mainwindow_regions.cpp, mainwindow_regiontransfer.cpp,
    // mainwindow_teachin.cpp, mainwindow_regionexport.cpp)
    void on_pushButtonOpenConfig_clicked();
    void on_pushButtonSaveConfig_clicked();
    void on_pushButtonDownload_clicked();
    void on_pushButtonUpload_clicked();
    void on_listWidgetRgnGroupIndex_currentRowChanged(int currentRow);
    void on_tabWidgetRgnIndex_currentChanged(int index);
    void on_spinBoxAlarmPointNum_valueChanged(int arg1);
    void on_pushButtonTeachIn_clicked();
    void on_pushButtonExportImage_clicked();
    void on_pushButtonExportRegions_clicked();
    void on_pushButtonExportDxf_clicked();
    void on_pushButtonImportDxf_clicked();

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

    // Alarm status (mainwindow_alarm.cpp)
    void on_pushButtonAlarmState_toggled(bool checked);

private:
    // Construction helpers (mainwindow.cpp)
    void fillSelectors(const QStringList &portNames);
    void wrapControlRows();
    void buildNavigation();
    void showNavigationNames(bool named);
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
    void showThumbnailAsIcon(int group);
    void showMessage(const QString &text);

    // Region editing (mainwindow_regionedit.cpp)
    void connectRegionDocument();
    void showRegionInEditor(int group, int rgnIndex);
    void showRegionChange(int group, int rgnIndex);
    void refreshGroupIcon(int group);
    void updateRegionEditControls();

    // Teaching a region from the scan (mainwindow_teachin.cpp)
    void connectTeachIn();
    void setScanning(bool on);

    // Region transfer (mainwindow_regiontransfer.cpp)
    void showTransferStarted(DeviceSession::Transfer transfer);
    void storeReceivedRegion(const RegionFrame::Content &frame);
    void showRegionsWritten(const RegionWriteResult &result);
    void endWriting(const QString &message);
    QString verificationMessage(const RegionReadResult &result) const;
    void showRegionsRead(const RegionReadResult &result);

    // Fingerprint, comparison and report (mainwindow_regionproof.cpp)
    void connectRegionProof();
    // The file last opened or saved, whose fingerprint a reading is held against.
    void rememberRegionFile(const QString &path);
    // With `againstFile`, says whether the store equals that file.
    void showFingerprint(bool againstFile = false);
    void noteVerifiedDownload(const QString &result);
    void compareWithChosenFile();
    // An empty store ends the comparison.
    void showComparison(const RegionStore &other);
    void listDifferences();
    void selectDifferingRegion(int row);
    CommissioningReport commissioningReport() const;
    void saveReportAsPdf();
    void printReport();

    // Capture, replay and export (mainwindow_capture.cpp)
    bool startRecording(const QString &path);
    void showRecordedBytes(qint64 bytes);
    void showRecordingStopped();
    void playReplay();
    void showReplayPaused();
    void showReplayPosition(qint64 positionUs);
    void endReplay();
    void showCaptureDamage();
    void exportThroughDialog(const QString &title, const QString &fileName, const QString &filter,
                             bool (MainWindow::*exportTo)(const QString &) const);

    Ui::MainWindow *ui;
    DeviceSession *session;
    SerialLink *serialLink;
    UdpLink *udpLink;
    QVector<RegionWidget *> regionWidgets;
    RegionDocument *regionDocument = nullptr;
    RegionEditActions *regionEditActions = nullptr;
    DataMessageLog *dataMessageLog = nullptr;

    int connMode = Usb;
    // True while the next click of a connect button opens its link.
    bool serialClosed = true;
    bool udpClosed = true;
    // Revolution-closing frames since the display last got one; it takes one in four.
    int revolutionsSinceShown = 0;
    QIcon defaultGroupIcon;
    // The regions of the writing under way, and what a check after it reads back.
    RegionStore regionsBeingWritten;
    RegionStore regionsReadBack;
    bool verifyingWrite = false;
    // Between the scan's start and its stop (or the link's close); the newest complete
    // revolution of it is what a region is taught from.
    bool scanning = false;
    ScanFrames teachRevolution;

    // Link care (mainwindow_linkcare.cpp): open failures, a device that went and came back,
    // a UDP device that fell silent.
    void connectLinkCare();
    void watchUdpSilence(bool on);
    void showLinkStatus(const QString &status, const QString &logText);
    void showPortOpenFailure(const QString &port);
    void showUdpBindFailure();
    void waitForSerialDevice();
    void reopenReturnedDevice(const QString &path);

    PortReturnWatcher *portWatcher = nullptr;
    QTimer *udpSilence = nullptr;
    bool resumeScanOnReturn = false;

    // Kept beside the fields (mainwindow_settings.cpp); no colour until the operator picks one.
    void applyPointColor(const QColor &color);
    QString regionFileProposal() const;
    QColor pointColor;
    QString regionFolder;

    // Alarm status (mainwindow_alarm.cpp): the regions evaluated against the scan on both
    // displays, and the alarms over a whole recording under the replay's slider.
    void connectAlarmStatus();
    void showAlarmViews();
    int watchedGroup() const;
    void showAlarmGroups();
    void showAlarmGroup(int group);
    void followRegionPageGroup(int group);
    void watchReplayAlarms(const QString &capturePath);
    void forgetReplayAlarms();
    ReplayAlarmTimeline *replayAlarms = nullptr;
    QString replayedCapture;

    LinkRecorder *linkRecorder = new LinkRecorder({}, this);
    ReplayLink *replayLink = new ReplayLink(this);
    QString regionFilePath;
    QString regionFileFingerprint;
    QString lastVerifiedDownload; // when, and how it went
    RegionStore comparedRegions;  // empty: no comparison
    // What the scan display shows, for the export.
    ScanFrames displayedRevolution;
};
