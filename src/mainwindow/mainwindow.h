#pragma once

#include "protocol/linktypes.h"
#include "protocol/pointclouddecoder.h"
#include "protocol/regionframeparser.h"

#include <QAbstractSocket>
#include <QHostAddress>
#include <QIcon>
#include <QMainWindow>
#include <QSerialPort>
#include <QVector>

class QComboBox;
class QPushButton;
class QUdpSocket;
class RegionWidget;
class DataMessageLog;

namespace Ui {
class MainWindow;
}

// The working surface: connection page, live scan, region editing, protocol monitor and
// wiring diagram. Its operations are spread over one source file per concern.
class MainWindow : public QMainWindow
{
    Q_OBJECT
    // Tests reach the link state and the dispatcher through it.
    friend class MainWindowProbe;

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // Where UDP datagrams go; the device's fixed address unless a test or tool moves it.
    void setDeviceEndpoint(const QHostAddress &address, quint16 port);

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

private:
    // Construction helpers (mainwindow.cpp)
    void fillSelectors(const QStringList &portNames);
    void buildNavigation();
    void loadWiringDiagram();
    void createRegionEditors();
    void connectRegionEditors();
    void installValidators();
    int currentGroupRow() const;

    // Link and data-message log (mainwindow_link.cpp)
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
    void sendHexCommand(const QString &hexText);
    // A status line on the data-message page and its log line.
    void reportStatus(const QString &statusLine, const QString &logText);
    void setDeviceControlsEnabled(bool on);
    bool isLinkOpen() const;
    void readSerialData();
    void readUdpData();
    void handleSerialError(QSerialPort::SerialPortError error);
    void handleUdpError(QAbstractSocket::SocketError error);
    void clearBothDisplays();

    // Receive dispatcher (mainwindow_dispatcher.cpp)
    void handleReceivedData(const QByteArray &chunk);
    void handleStopReply(const QString &hex);
    void handleRegionData(QByteArray chunk, const QString &hex);
    void handleRegionWriteReply(const QString &hex);
    void handleResolutionReply(const QString &hex);
    void setScanGeometry(const ScanGeometry &geometry);

    // Point-cloud hand-over (mainwindow_pointcloud.cpp)
    void parsePointCloud(const QByteArray &chunk);
    void showRevolution(const ScanFrames &revolution);

    // Device operations (mainwindow_deviceops.cpp)
    static void sleepMs(int ms);
    // Turns the event loop until `flag` is set or the time is up; returns `flag`.
    bool waitFor(const bool &flag, int timeoutMs);
    void turnEventLoop(int ms);
    void startScan();
    void stopScan();
    void queryAngleResolution();
    void sendRadarParameters();
    void sendIoOutputMode(int index);
    void initialiseConnection(QPushButton *connectButton);

    // Region page (mainwindow_regions.cpp)
    void refreshAlarmPointNum();
    void updateGroupIcons(int groupIndex);
    void showMessage(const QString &text);

    // Region transfer (mainwindow_regiontransfer.cpp)
    void parseRegionData(const QByteArray &chunk);
    void parseRegionDataModbus(const QByteArray &chunk);
    void sendRegionFrame(int block, const RegionFrame::Content &content);
    void parseRegionChunk(RegionFrameParser &parser, const QByteArray &chunk, bool acknowledge);
    void storeReceivedRegion(const RegionFrame::Content &frame, int count, bool acknowledge);
    void completeRegionReading();

    Ui::MainWindow *ui;
    QSerialPort *serialPort;
    QUdpSocket *udpSocket;
    QVector<RegionWidget *> regionWidgets;
    DataMessageLog *dataMessageLog = nullptr;

    int linkState = Scanning;
    int connMode = Usb;
    bool replyReceived = false;
    bool regionRequestAcked = false;
    bool regionsReceived = false;
    bool transferBusy = false;
    bool udpBound = false;
    // True while the next click of a connect button opens its link.
    bool serialClosed = true;
    bool udpClosed = true;
    int frameLength = 113;
    double angleResolution = 0.36;
    int pointsPerFrame = 50;

    QHostAddress deviceAddress{QStringLiteral("192.168.1.102")};
    quint16 devicePort = 502;

    PointCloudDecoder pointCloudDecoder;
    RegionFrameParser rawRegionParser;
    RegionFrameParser modbusRegionParser;
    QIcon defaultGroupIcon;
    // Hex of the Modbus echo that acknowledges the region block being written; empty otherwise.
    QString expectedWriteEcho;
};
