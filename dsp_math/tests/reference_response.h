// Direct evaluation of designed sections at any frequency, written
// independently of the library's evaluator: H(e^jw) = B(z) / A(z) with
// z^-1 = exp(-j 2 pi f / 48000), summed term by term.
#pragma once

#include <cmath>
#include <complex>
#include <numbers>

#include "dsp_math/biquad.h"
#include "dsp_math/crossover_design.h"

namespace dsp_test {

inline std::complex<double> responseAt(const dsp::Biquad& s, double f) {
    const std::complex<double> z1 =
        std::exp(std::complex<double>(0.0, -2.0 * std::numbers::pi * f / 48000.0));
    const std::complex<double> z2 = z1 * z1;
    return (s.b[0] + s.b[1] * z1 + s.b[2] * z2) / (1.0 + s.a[1] * z1 + s.a[2] * z2);
}

inline std::complex<double> responseAt(const dsp::CrossoverSections& sections, double f) {
    std::complex<double> h = 1.0;
    for (const dsp::CrossoverSection& s : sections) {
        if (s.kind != dsp::SectionKind::Absent) {
            h *= responseAt(s.coeffs, f);
        }
    }
    return h;
}

inline double db(std::complex<double> h) {
    return 20.0 * std::log10(std::abs(h));
}

inline int sectionCount(const dsp::CrossoverSections& sections, dsp::SectionKind kind) {
    int count = 0;
    for (const dsp::CrossoverSection& s : sections) {
        count += s.kind == kind ? 1 : 0;
    }
    return count;
}

}  // namespace dsp_test
