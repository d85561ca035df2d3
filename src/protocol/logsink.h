#pragma once

#include <QString>

#include <functional>

// Where the byte-level decoders write their trace lines; empty means silent.
using LogSink = std::function<void(const QString &line)>;
