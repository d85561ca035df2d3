#pragma once
// The main window's friend for the benchmarks and the soak driver: reaches the receive path
// and the protocol monitor without a device.

#include "mainwindow/mainwindow.h"

#include <functional>

class MainWindowProbe
{
public:
    static void receive(MainWindow &window, const QByteArray &chunk)
    {
        window.handleReceivedData(chunk);
    }

    // Point-cloud reception at 0.18 degrees, as after a start on a fine-resolution device.
    static void scanFineResolution(MainWindow &window)
    {
        window.linkState = Scanning;
        window.setScanGeometry(ScanGeometry::fine());
    }

    static DataMessageLog &dataMessageLog(MainWindow &window) { return *window.dataMessageLog; }

    // Lets `inspect` see every revolution on its way to the display.
    static void inspectRevolutions(MainWindow &window,
                                   std::function<void(const ScanFrames &)> inspect)
    {
        window.pointCloudDecoder.setRevolutionHandler(
            [&window, inspect](const ScanFrames &revolution) {
                inspect(revolution);
                window.showRevolution(revolution);
            });
    }
};
