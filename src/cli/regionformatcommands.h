#pragma once

#include "commandrunner.h"

class Console;
struct CliOptions;

// vks20-cli regions export FILE --dxf OUT.dxf [--group N] | --nav2 OUT.yaml --group N: the
// region file in another tool's format.
ExitStatus exportRegions(const CliOptions &options, Console &console);
// vks20-cli regions import IN.dxf --layer NAME --group N --region R FILE: one layer's closed
// polygon becomes one region of FILE, which begins as the initial regions when missing.
ExitStatus importRegion(const CliOptions &options, Console &console);
