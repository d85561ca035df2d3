#pragma once

#include "namedimage.h"

// Check-box, radio-button, tree-branch and dock-button pictures of the dark style sheet,
// under "darkstyle/".
NamedImages darkStyleImages();
