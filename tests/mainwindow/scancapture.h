#pragma once
// Recordings for the replay suites: a fine-resolution scan of the simulator's room as a capture
// holds it, and the window's play button driven as the operator does.
#include "capture/capturefile.h"
#include "device/replaylink.h"
#include "mainwindowsupport.h"
#include "protocol/commands.h"
#include "scanstreamer.h"

#include <QPushButton>
#include <QSignalSpy>

namespace ScanCapture {

constexpr int rateHz = 20;
constexpr qint64 usPerMs = 1000;
constexpr qint64 revolutionUs = 1000 * usPerMs / rateHz;
constexpr qint64 replyDelayUs = 5 * usPerMs;

// The resolution query and its reply, a start, then a revolution's frames per chunk. Returns
// the commands, as hex.
inline QStringList write(const QString &path, int revolutions)
{
    const QStringList commands = {DeviceCommand::resolutionQuery(Usb),
                                  DeviceCommand::startScan(Usb)};
    CaptureWriter writer;
    writer.open(path, nullptr);
    writer.write(CaptureDirection::ToDevice, QByteArray::fromHex(commands[0].toLatin1()), 0);
    writer.write(CaptureDirection::FromDevice, QByteArray::fromHex("A55A0010FAFB"), replyDelayUs);
    writer.write(CaptureDirection::ToDevice, QByteArray::fromHex(commands[1].toLatin1()),
                 replyDelayUs);
    ScanStreamer streamer(ScanGeometry::fine(), rateHz, 3);
    for (int revolution = 0; revolution < revolutions; ++revolution) {
        QByteArray chunk;
        for (int index = 0; index < ScanStreamer::framesPerRevolution; ++index)
            chunk += streamer.frame(revolution, index);
        writer.write(CaptureDirection::FromDevice, chunk,
                     2 * replyDelayUs + revolution * revolutionUs);
    }
    writer.close();
    return commands;
}

inline void clickPlay(QObject *window)
{
    QTest::mouseClick(widget<QPushButton>(window, "pushButtonReplayPlay"), Qt::LeftButton);
}

// Plays on from where the replay stands; false when it did not reach the end.
inline bool playedToTheEnd(QObject *window)
{
    QSignalSpy finished(window->findChild<ReplayLink *>(), &ReplayLink::finished);
    clickPlay(window);
    return finished.wait(10000);
}

} // namespace ScanCapture
