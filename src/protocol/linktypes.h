#pragma once

#include <QPointF>
#include <QVector>

// Index of comboBoxConnMode: how bytes reach the device.
enum ConnMode : int
{
    Usb = 0,    // serial port, raw frames
    Net = 1,    // UDP, raw frames
    Modbus = 2, // serial port, commands wrapped in Modbus-RTU frames
};

// What the receive dispatcher expects the next chunks to be.
enum LinkState : int
{
    StartingScan = 0,
    StoppingScan = 1,
    RegionsFromDevice = 2,
    RegionsToDevice = 3,
    Scanning = 4,
    ResolutionQuery = 5,
};

// One point list per point-cloud frame, in world millimetres.
using ScanFrames = QVector<QVector<QPointF>>;

// Frame geometry implied by the device's angular resolution.
struct ScanGeometry
{
    double angleResolution = 0.36;
    int frameLength = 113;
    int pointsPerFrame = 50;

    static ScanGeometry fine() { return {0.18, 213, 100}; }
    static ScanGeometry coarse() { return {0.36, 113, 50}; }
};
