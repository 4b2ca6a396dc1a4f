// The static characteristic of an output compressor: the steady output level
// for an input level, given the threshold, the ratio and the width of the
// soft knee. Below the knee the level passes unchanged; above it every dB
// over the threshold comes out as 1/ratio dB; inside the knee the two lines
// are joined by the quadratic that meets both with their slopes, so the
// curve has no corner.
#pragma once

namespace dsp {

struct CompressorShape {
    double thresholdDb = 0.0;
    // Below 1 counts as 1: a compressor never expands.
    double ratio = 1.0;
    // The knee's full width, centred on the threshold; 0 or less is a hard
    // knee.
    double kneeDb = 0.0;
};

// The output level in dB for an input level in dB.
double CompressorOutputDb(double inputDb, const CompressorShape& shape);

// The slope of the curve (output dB per input dB) at an input level.
double CompressorSlope(double inputDb, const CompressorShape& shape);

}  // namespace dsp
