#pragma once

#include "clioptions.h"
#include "commandrunner.h"

#include "regions/region.h"

class Console;

// The regions commands that prove a configuration: its fingerprint, what differs from another
// set, a dated backup and the commissioning report.
namespace RegionProof {

// The commands a file answers without a device: fingerprint FILE, diff A B, report.
ExitStatus fromFiles(const CliOptions &options, Console &console);

// Whether `folder` can take a backup; found out before the device is read.
bool canBackUpInto(const QString &folder, QString *error);

// What a backup records of where its regions came from.
struct DeviceFacts
{
    QString link; // the serial path or HOST:PORT
    QString mode; // usb, modbus or udp
    double angleResolution = 0;
};

// The commands that read the device first: fingerprint, diff A --device, backup DIR.
// `fileRegions` holds A of a diff.
ExitStatus fromDevice(const CliOptions &options, const RegionStore &fileRegions,
                      const RegionStore &deviceRegions, const DeviceFacts &device,
                      Console &console);

} // namespace RegionProof
