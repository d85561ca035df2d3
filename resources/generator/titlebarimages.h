#pragma once

#include "namedimage.h"

// The title-bar button pictures "images/icon_window_*.png".
NamedImages titleBarImages();

// The logo at the left of the title bar, "images/app_icon.png".
NamedImage applicationIcon();

// The program's icon in the desktop's menu, "icons/vks20.png" (installed, not embedded).
NamedImage desktopIcon();
