// What the EQ chart shows: the computed response of the outputs chosen for
// display, the current output's highlighted, and its band points. Plain
// values, handed from the controller to the chart on the UI thread.
#pragma once

#include <vector>

namespace controller {

struct ResponseCurve {
    int channel = 0;
    bool current = false;
    std::vector<double> magnitudeDb;  // one value per frequency point
};

struct BandPoint {
    int band = 0;
    double frequency = 0;
    double gainDb = 0;
    bool enabled = true;
};

struct ResponseCurves {
    std::vector<double> frequencies;  // Hz, ascending
    std::vector<ResponseCurve> curves;
    std::vector<BandPoint> points;  // the current output's bands
    bool bypassed = false;          // the current output's EQ is bypassed
};

}  // namespace controller
