// The compressor window's curve as the window's logic sees it: the static
// characteristic of the current output's compressor, input level against
// output level over one dB range on both axes. Implemented by the window's
// chart control; tests give their own.
#pragma once

#include "dsp_math/compressor_curve.h"

namespace controller {

struct CompressorView {
    // Both axes run from lowDb to highDb.
    double lowDb = -60.0;
    double highDb = 0.0;
    dsp::CompressorShape shape;
    // A bypassed compressor passes every level: the chart shows 1:1, greyed.
    bool bypassed = false;
};

class CompressorChart {
public:
    virtual ~CompressorChart() = default;
    // Keeps the view and redraws the chart.
    virtual void ShowCompressor(const CompressorView& view) = 0;
};

}  // namespace controller
