#pragma once

#include <QByteArray>
#include <QString>

// CRC-16/MODBUS of bytes, returned low byte first (FF FF for no bytes).
QByteArray modbusCrc16(const QByteArray &bytes);
// The bytes with their Modbus CRC appended.
QByteArray withModbusCrc(const QByteArray &bytes);
// The hex text with its Modbus CRC appended, upper case.
QString appendModbusCrc(const QString &hexText);
// True when the last two bytes are the CRC of the bytes before them.
bool hasValidModbusCrc(const QByteArray &frame);
