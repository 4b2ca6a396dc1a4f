#include "dsp_math/band_design.h"

#include <cmath>
#include <numbers>

#include "dsp_math/section_response.h"

namespace dsp {

namespace {

bool usable(double fs, double f0, double q) {
    return std::isfinite(fs) && std::isfinite(f0) && std::isfinite(q) && fs > 0.0 && f0 > 0.0 &&
           q > 0.0;
}

Biquad flatUnlessFinite(const Biquad& s) {
    for (int i = 0; i < 3; ++i) {
        if (!std::isfinite(s.b[i]) || !std::isfinite(s.a[i])) {
            return Biquad{};
        }
    }
    return s;
}

}  // namespace

Biquad designPeaking(double fs, double f0, double gainDb, double q) {
    if (!usable(fs, f0, q) || !std::isfinite(gainDb)) {
        return Biquad{};
    }
    const double gain = std::pow(10.0, gainDb / 20.0);
    const double w0 = 2.0 * std::numbers::pi * f0 / fs;
    const double w1 = w0 * (std::sqrt(4.0 * q * q + 1.0) - 1.0) / (2.0 * q);  // lower band edge
    double t = std::sin(w1) * std::sin(w0) / (2.0 * (std::cos(w1) - std::cos(w0)));
    if (gain < 1.0) {
        t *= gain;
    }
    const double d = 2.0 * t + std::sin(w0);
    Biquad s;
    s.a[1] = -4.0 * t * std::cos(w0) / d;
    s.a[2] = (2.0 * t - std::sin(w0)) / d;
    s.b[0] = (2.0 * t + gain * std::sin(w0)) / d;
    s.b[1] = s.a[1];
    s.b[2] = (2.0 * t - gain * std::sin(w0)) / d;
    return flatUnlessFinite(s);
}

Biquad designAllpass(double fs, double f0, double q) {
    if (!usable(fs, f0, q)) {
        return Biquad{};
    }
    const double w0 = 2.0 * std::numbers::pi * f0 / fs;
    const double alpha = std::sin(w0) / (2.0 * q);
    Biquad s;
    s.a[1] = -2.0 * std::cos(w0) / (1.0 + alpha);
    s.a[2] = (1.0 - alpha) / (1.0 + alpha);
    s.b[0] = s.a[2];
    s.b[1] = s.a[1];
    s.b[2] = 1.0;
    return flatUnlessFinite(s);
}

Biquad designBand(double fs, double f0, double gainDb, double q, int bandType) {
    return bandType == kBandTypeAllpass ? designAllpass(fs, f0, q)
                                        : designPeaking(fs, f0, gainDb, q);
}

void bandResponse(double fs, double f0, double gainDb, double q, std::span<const double> grid,
                  int bandType, std::span<double> magDb, std::span<double> phase) {
    const Biquad s = designBand(fs, f0, gainDb, q, bandType);
    evalSections(s.b, s.a, 2, 1, grid, magDb, phase);
}

}  // namespace dsp
