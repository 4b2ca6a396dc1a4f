// Frequency response of a cascade of filter sections over a grid, in dB and
// radians. The grid's second-to-last point is taken as the Nyquist frequency.
#pragma once

#include <span>

namespace dsp {

// Coefficients are packed per section: order + 1 numerator values, and
// order + 1 denominator values whose first (always 1) is ignored. Anything
// at or below -80 dB reads as -400 dB with phase 0. magDb and phase must be
// as long as grid; nothing is written when the arrays are too short.
void evalSections(std::span<const double> b, std::span<const double> a, int order, int sectionCount,
                  std::span<const double> grid, std::span<double> magDb, std::span<double> phase);

}  // namespace dsp
