#pragma once
// The main window's friend for the benchmarks and the soak driver: reaches the receive path
// (the window's device session) and the protocol monitor without a device.

#include "device/devicesession.h"
#include "mainwindow/mainwindow.h"

#include <functional>

// The session's friend: its receive path and the state a started scan leaves.
class DeviceSessionProbe
{
public:
    static void receive(DeviceSession &session, const QByteArray &chunk)
    {
        session.handleReceivedData(chunk);
    }
    static void scanFineResolution(DeviceSession &session)
    {
        session.m_linkState = Scanning;
        session.m_geometry = ScanGeometry::fine();
    }
};

class MainWindowProbe
{
public:
    static void receive(MainWindow &window, const QByteArray &chunk)
    {
        DeviceSessionProbe::receive(*window.session, chunk);
    }

    // Point-cloud reception at 0.18 degrees, as after a start on a fine-resolution device.
    static void scanFineResolution(MainWindow &window)
    {
        DeviceSessionProbe::scanFineResolution(*window.session);
    }

    static DataMessageLog &dataMessageLog(MainWindow &window) { return *window.dataMessageLog; }

    // Lets `inspect` see every revolution the window hands to its display; the window's own
    // handler runs first, so a count just reset means a hand-over.
    static void inspectRevolutions(MainWindow &window,
                                   std::function<void(const ScanFrames &)> inspect)
    {
        QObject::connect(window.session, &DeviceSession::revolutionDecoded, &window,
                         [&window, inspect](const ScanFrames &revolution) {
                             if (window.revolutionsSinceShown == 0)
                                 inspect(revolution);
                         });
    }
};
