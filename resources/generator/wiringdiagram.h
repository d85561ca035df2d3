#pragma once

#include "namedimage.h"

// The wiring sheets of the device cable: "images/resource/wiring_diagram.jpg" with Chinese
// labels and "images/resource/wiring_diagram_en.png" with English ones.
NamedImages wiringDiagrams();
