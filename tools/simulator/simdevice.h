#pragma once

#include "commandframer.h"
#include "regions/region.h"
#include "scanstreamer.h"
#include "scantruth.h"
#include "sendqueue.h"
#include "simoptions.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

// The simulated radar, independent of the link: bytes in through receive(), bytes out
// through bytesOut(). It answers commands, streams the scan and keeps 45 alarm regions.
class SimDevice : public QObject
{
    Q_OBJECT

public:
    // Pause between the acknowledgement of a region request and the first region frame,
    // so that the two never share a chunk at the program's end.
    static constexpr int firstRegionFrameDelayMs = 30;

    explicit SimDevice(const SimOptions &options, QObject *parent = nullptr);

    // Loads the regions file when one is named and exists; false when it cannot be read.
    bool restoreRegions();
    // Starts the truth file when one is named; false when it cannot be written.
    bool openTruthFile(QString *error);
    // The cable is back after a pull: the same device and regions, as freshly powered up.
    void reconnect();
    void receive(const QByteArray &bytes);

    const RegionStore &regions() const { return m_regions; }
    bool isStreaming() const { return m_streamer.isRunning(); }
    bool isMotorStopped() const { return m_motorStopped; }

signals:
    void bytesOut(const QByteArray &bytes);
    // The link is gone: the cable was pulled. Nothing more will be sent.
    void linkEnded();
    void trace(const QString &line);

private:
    enum class Transfer
    {
        None,
        RawReading,
        ModbusReading,
        Writing,
    };

    void handle(const SimCommand &command);
    void followTransfer(const SimCommand &command);
    void startScan();
    void stopStreaming();
    void applyParameters(const QByteArray &payload);
    void answerRegionRequest();
    void sendNextRegionFrame(int extraDelayMs);
    void sendLateCopy(const QByteArray &frame);
    void answerBlockRead(const SimCommand &command);
    void storeRegionWrite(const SimCommand &command);
    QByteArray writeVerdict(const SimCommand &command, int frameNumber) const;
    void storeRegion(const QByteArray &frame);
    void saveRegionsFile();
    QByteArray deviceRegionFrame(int block, int frameNumber) const;
    QByteArray inTransit(QByteArray bytes, int frameNumber, int frameOffset);
    QByteArray modbusWriteEcho(const SimCommand &command) const;
    void countRegionFrame();
    void pullCable();
    void reply(const QByteArray &bytes, int extraDelayMs = 0);
    void log(const QString &direction, const QByteArray &bytes, const QString &note = {});

    SimOptions m_options;
    CommandFramer m_framer;
    SendQueue m_queue;
    ScanStreamer m_streamer;
    ScanTruth m_truth;
    QTimer m_scanCablePull;
    RegionStore m_regions;
    bool m_motorStopped = false;
    bool m_linkDown = false;
    Transfer m_transfer = Transfer::None;
    int m_transferFrames = 0; // region frames sent or taken in the current transfer
    int m_regionFramesInRun = 0;
    bool m_transitDamageDone = false;
};
