#pragma once

// GDI+'s headers expect the min and max macros that NOMINMAX removes.
#include <windows.h>
#include <objidl.h> // left out by WIN32_LEAN_AND_MEAN, needed by GDI+

#include <algorithm>
namespace Gdiplus {
using std::max;
using std::min;
} // namespace Gdiplus
#include <gdiplus.h>
