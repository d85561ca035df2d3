#pragma once

#include "protocol/linktypes.h"

#include <QString>

// Hex texts of the commands the program sends; Modbus mode wraps all but the IO command.
namespace DeviceCommand {

QString startScan(ConnMode mode);
QString stopScan(ConnMode mode);
QString resolutionQuery(ConnMode mode);
QString radarParameters(ConnMode mode, int baudIndex, int frequencyIndex, int navModeIndex);
QString ioOutputMode(int ioModeIndex); // never wrapped

inline const QString regionRequest = QStringLiteral("A55A03FAFB");
// The program acknowledges each region frame it receives with the device's own ack code.
inline const QString regionFrameAck = QStringLiteral("A55A0098FAFB");

} // namespace DeviceCommand

// Reply codes, searched for as text in the hex of one received chunk.
namespace ReplyCode {

inline const QString ack = QStringLiteral("A55A0098FAFB");
inline const QString modbusStopAck = QStringLiteral("01100BFA0003A21D");
inline const QString checksumError = QStringLiteral("A55AFE96FAFB");
inline const QString modelMismatch = QStringLiteral("A55AEF87FAFB");
inline const QString resolutionFine = QStringLiteral("A55A0010FAFB");   // 0.18 degrees
inline const QString resolutionCoarse = QStringLiteral("A55A0020FAFB"); // 0.36 degrees

} // namespace ReplyCode
