// One filter section: numerator (b0, b1, b2) over denominator (1, a1, a2).
// A first-order section has b2 = a2 = 0. Every design runs at 48 kHz, the
// device's sample rate.
#pragma once

namespace dsp {

inline constexpr double kSampleRate = 48000.0;

struct Biquad {
    double b[3] = {1.0, 0.0, 0.0};
    double a[3] = {1.0, 0.0, 0.0};  // a[0] is always 1
};

}  // namespace dsp
