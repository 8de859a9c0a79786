#include "core/rounding.h"

#include <cmath>

namespace zelk {

long long RoundHalfEven(double value) {
    const double floor = std::floor(value);
    const double diff = value - floor;
    long long result = static_cast<long long>(floor);
    if (diff > 0.5 || (diff == 0.5 && (result % 2 != 0))) {
        ++result;
    }
    return result;
}

double ScaleFromDpi(int logPixels) {
    return logPixels == 0 ? 1.0 : logPixels / 96.0;
}

int ScalePixels(double logical, double scale) {
    return static_cast<int>(RoundHalfEven(logical * scale));
}

} // namespace zelk
