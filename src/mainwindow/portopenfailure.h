#pragma once

#include <QCoreApplication>
#include <QString>

// Why a serial port did not open, in words for the operator: the port, Qt's reason and, when
// the system refused access, how to be granted it.
struct PortOpenFailure
{
    Q_DECLARE_TR_FUNCTIONS(PortOpenFailure)

public:
    QString port;
    QString reason;
    bool permissionDenied = false;
    // The group that owns the device node; empty when it cannot be told.
    QString ownerGroup;

    QString message() const;
};
