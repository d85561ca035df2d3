#pragma once

#include "clioptions.h"

#include <memory>

class DeviceLink;

// Opens the link the options name: the serial port at its baud rate, or a UDP socket bound to
// the local address and aimed at the device. Null, with `error` saying what and where, when it
// cannot be opened.
std::unique_ptr<DeviceLink> openLink(const LinkOptions &options, QString *error);
