// The frequency grid of every response curve: n points spaced evenly on a
// log scale from about 1 Hz up to fs / 2, and fs itself as the last point.
#pragma once

#include <span>

namespace dsp {

inline constexpr int kGridPoints = 512;

void makeLogGrid(double fs, std::span<double> grid);

}  // namespace dsp
