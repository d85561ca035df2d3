#pragma once

#include "namedimage.h"

// The five page icons of the navigation list and the empty-group icon of the region group
// list, under "images/resource/".
NamedImages navigationIcons();
