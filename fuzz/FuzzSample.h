#pragma once
// Checks on a line sample shared by the fuzz targets that read one.
#include "core/LineSample.h"

#include <cmath>

// No value of the sample is NaN or infinite, whatever the input was.
inline bool allFinite(const LineSample& s) {
    for (double v : {s.NoiseMarginUp, s.NoiseMarginDown, s.DataRateUp, s.DataRateDown, s.User1Up,
                     s.User1Down, s.User2Up, s.User2Down})
        if (!std::isfinite(v))
            return false;
    return true;
}
