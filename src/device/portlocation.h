#pragma once

#include <QString>

// Where the system keeps a serial port the operator may name without its folder ("ttyUSB0"),
// as QSerialPort reads the name.
inline QString serialPortLocation(const QString &name)
{
    return name.startsWith(QLatin1Char('/')) || name.startsWith(QLatin1String("./")) ||
                   name.startsWith(QLatin1String("../"))
               ? name
               : QStringLiteral("/dev/") + name;
}
