#include "dsp_math/section_response.h"

#include <cmath>
#include <complex>
#include <numbers>

namespace dsp {

namespace {

constexpr double kFloorPower = 1e-8;    // -80 dB
constexpr double kSilentPower = 1e-40;  // reported as -400 dB

// b[0] + b[1] z + ... + b[order] z^order by Horner's rule, z = e^(-jw).
std::complex<double> polynomial(const double* c, int order, std::complex<double> z, bool monic) {
    std::complex<double> acc = 0.0;
    for (int i = order; i >= 1; --i) {
        acc = (acc + c[i]) * z;
    }
    return acc + (monic ? 1.0 : c[0]);
}

}  // namespace

void evalSections(std::span<const double> b, std::span<const double> a, int order, int sectionCount,
                  std::span<const double> grid, std::span<double> magDb, std::span<double> phase) {
    const size_t n = grid.size();
    const size_t perSection = static_cast<size_t>(order) + 1;
    if (n < 2 || order < 0 || sectionCount < 0 || magDb.size() < n || phase.size() < n ||
        b.size() < perSection * sectionCount || a.size() < perSection * sectionCount) {
        return;
    }
    const double nyquist = grid[n - 2];
    for (size_t k = 0; k < n; ++k) {
        const double w = std::numbers::pi * grid[k] / nyquist;
        const std::complex<double> z = std::polar(1.0, -w);
        std::complex<double> h = 1.0;
        for (int s = 0; s < sectionCount; ++s) {
            const double* bs = b.data() + s * perSection;
            const double* as = a.data() + s * perSection;
            h *= polynomial(bs, order, z, false) / polynomial(as, order, z, true);
        }
        double power = std::norm(h);
        if (power > kFloorPower) {
            phase[k] = std::atan2(h.imag(), h.real());
        } else {
            phase[k] = 0.0;
            power = kSilentPower;
        }
        magDb[k] = 10.0 * std::log10(power);
    }
}

}  // namespace dsp
