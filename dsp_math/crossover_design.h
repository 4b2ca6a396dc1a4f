// Crossover filters as the device builds them: Butterworth (family 1),
// Linkwitz-Riley (2) and Bessel (3), of order 1 to 8, as up to four
// first- and second-order sections at 48 kHz.
#pragma once

#include <array>
#include <span>

#include "dsp_math/biquad.h"

namespace dsp {

inline constexpr int kFamilyButterworth = 1;
inline constexpr int kFamilyLinkwitzRiley = 2;
inline constexpr int kFamilyBessel = 3;
inline constexpr int kMaxCrossoverSections = 4;

enum class SectionKind { Absent, FirstOrder, SecondOrder };

struct CrossoverSection {
    SectionKind kind = SectionKind::Absent;
    Biquad coeffs;
};

using CrossoverSections = std::array<CrossoverSection, kMaxCrossoverSections>;

// The slope index is the order (Linkwitz-Riley rounds an odd order up),
// limited to 1..8; fc is limited to 0.0025 Hz..22 kHz. A family outside 1..3
// is designed as Butterworth.
CrossoverSections designCrossover(bool lowPass, double fc, int slope, int family);

// The sum of the sections' responses, each evaluated alone.
void crossoverResponse(bool lowPass, double fc, int slope, int family, std::span<const double> grid,
                       std::span<double> magDb, std::span<double> phase);

}  // namespace dsp
