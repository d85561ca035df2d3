#include "protocol/commands.h"

#include "protocol/hextext.h"
#include "protocol/modbus.h"

namespace {

// In Modbus mode the raw command rides as the payload of a register request; the device
// expects six payload bytes, so five-byte commands are padded with FF.
QString forMode(ConnMode mode, const QString &rawCommand, const char *modbusRequestHead,
                const char *modbusPadding = "")
{
    if (mode != Modbus)
        return rawCommand;
    return appendModbusCrc(QLatin1String(modbusRequestHead) + rawCommand +
                           QLatin1String(modbusPadding));
}

const char *const parameterRegisters = "01100BF7000306";

} // namespace

namespace DeviceCommand {

QString startScan(ConnMode mode)
{
    // Acquisition starts through the parameter frame with the frequency byte set to FF.
    return radarParameters(mode, 0, 0xFF, 0);
}

QString stopScan(ConnMode mode)
{
    return forMode(mode, QStringLiteral("A55A049CFAFB"), "01100BFA000306");
}

QString resolutionQuery(ConnMode mode)
{
    return forMode(mode, QStringLiteral("A55A0099FAFB"), "01030BFE000306");
}

QString radarParameters(ConnMode mode, int baudIndex, int frequencyIndex, int navModeIndex)
{
    // Each selection index travels as one byte.
    const char frame[] = {'\xFF', static_cast<char>(baudIndex), static_cast<char>(frequencyIndex),
                          '\xA1', static_cast<char>(navModeIndex)};
    return forMode(mode, HexText::fromBytes(QByteArray(frame, sizeof frame)), parameterRegisters,
                   "FF");
}

QString ioOutputMode(int ioModeIndex)
{
    return ioModeIndex != 0 ? QStringLiteral("FF0000A107") : QStringLiteral("FF0000A108");
}

} // namespace DeviceCommand
