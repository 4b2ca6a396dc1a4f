// Sums the responses of many sections over one grid at the cost of a few
// multiplications per section and point: the sections' complex responses
// are multiplied, and the logarithm and angle are taken once per point at
// the end. The result equals adding each section's dB and phase separately
// (as evalSections reports them, the -80 dB floor included): the phase sum
// is kept unwrapped by counting the turns the product makes.
#pragma once

#include <array>
#include <span>

#include "dsp_math/biquad.h"
#include "dsp_math/log_grid.h"

namespace dsp {

class CascadeAccumulator {
public:
    // grid must hold kGridPoints frequencies (makeLogGrid).
    explicit CascadeAccumulator(std::span<const double> grid);

    void clear();
    void add(const Biquad& section);
    // Writes the summed dB and phase (radians, unwrapped).
    void result(std::span<double> magDb, std::span<double> phase) const;

private:
    void renormalise();

    // z^-1 and z^-2 at every grid point.
    std::array<double, kGridPoints> mCos1, mSin1, mCos2, mSin2;
    // Running product of the section responses.
    std::array<double, kGridPoints> mRe, mIm;
    // dB moved out of the product to keep it in range, plus -400 dB for
    // every section below the floor.
    std::array<double, kGridPoints> mExtraDb;
    std::array<double, kGridPoints> mTurns;
    int mSinceRenormalise = 0;
};

}  // namespace dsp
