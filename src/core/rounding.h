#pragma once

namespace zelk {

// Fractional device pixels are rounded to the nearest integer with halves to even,
// wherever a size is scaled; keeping one helper keeps every caller consistent.
long long RoundHalfEven(double value);

// Logical-to-device scale from the screen's LOGPIXELSX; a device reporting 0 means 1.0.
double ScaleFromDpi(int logPixels);

// A logical length at the given scale, in whole device pixels.
int ScalePixels(double logical, double scale);

} // namespace zelk
