// EQ band designs as the device builds them: a peaking band that reaches
// exactly its gain at f0 (boost and cut mirror each other), and an all-pass
// band that only turns the phase.
#pragma once

#include <span>

#include "dsp_math/biquad.h"

namespace dsp {

inline constexpr int kBandTypeAllpass = 1;

// A band that cannot be designed (q or f0 not positive, or a result that is
// not finite) comes back flat.
Biquad designPeaking(double fs, double f0, double gainDb, double q);
Biquad designAllpass(double fs, double f0, double q);
// Band type 1 is the all-pass (gain ignored); every other type peaks.
Biquad designBand(double fs, double f0, double gainDb, double q, int bandType);

void bandResponse(double fs, double f0, double gainDb, double q, std::span<const double> grid,
                  int bandType, std::span<double> magDb, std::span<double> phase);

}  // namespace dsp
