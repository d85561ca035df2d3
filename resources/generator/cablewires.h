#pragma once

#include "sheettext.h"

#include <QColor>
#include <QVector>

enum class WireGroup
{
    Power,
    Outputs,
    Inputs,
    Common,
    Network
};

// One core of the device cable. A two-colour core has a stripe; a plain one an invalid stripe.
struct CableWire
{
    int number;
    QColor colour;
    QColor stripe;
    SheetText colourName;
    const char *signal;
    WireGroup group;
    SheetText description;
};

// The 16 cores in wire-number order.
const QVector<CableWire> &cableWires();

SheetText wireGroupName(WireGroup group);
