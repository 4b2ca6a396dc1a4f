#include "dsp_math/cascade_accumulator.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace dsp {

namespace {

constexpr double kFloorPower = 1e-8;
constexpr double kSilentDb = -400.0;
// Sections contribute at most a factor of about 1e20 in power each way
// (gains of 100 dB); renormalising every eight keeps the product far from
// overflow and underflow.
constexpr int kRenormaliseEvery = 8;
constexpr double kHighPower = 1e100;
constexpr double kLowPower = 1e-100;

}  // namespace

CascadeAccumulator::CascadeAccumulator(std::span<const double> grid) {
    const size_t n = std::min(grid.size(), static_cast<size_t>(kGridPoints));
    const double nyquist = n >= 2 ? grid[n - 2] : 1.0;
    for (size_t k = 0; k < kGridPoints; ++k) {
        const double w = k < n ? std::numbers::pi * grid[k] / nyquist : 0.0;
        mCos1[k] = std::cos(w);
        mSin1[k] = std::sin(w);
        mCos2[k] = std::cos(2.0 * w);
        mSin2[k] = std::sin(2.0 * w);
    }
    clear();
}

void CascadeAccumulator::clear() {
    mRe.fill(1.0);
    mIm.fill(0.0);
    mExtraDb.fill(0.0);
    mTurns.fill(0.0);
    mSinceRenormalise = 0;
}

void CascadeAccumulator::add(const Biquad& s) {
    const double b0 = s.b[0], b1 = s.b[1], b2 = s.b[2], a1 = s.a[1], a2 = s.a[2];
    for (int k = 0; k < kGridPoints; ++k) {
        // B and A at z = e^-jw: real parts add cosines, imaginary parts subtract sines.
        const double bRe = b0 + b1 * mCos1[k] + b2 * mCos2[k];
        const double bIm = -(b1 * mSin1[k] + b2 * mSin2[k]);
        const double aRe = 1.0 + a1 * mCos1[k] + a2 * mCos2[k];
        const double aIm = -(a1 * mSin1[k] + a2 * mSin2[k]);
        const double inverse = 1.0 / (aRe * aRe + aIm * aIm);
        const double power = (bRe * bRe + bIm * bIm) * inverse;
        const bool audible = power > kFloorPower;
        // H = B conj(A) / |A|^2; a section under the floor counts as 1 here
        // and -400 dB with phase 0 in the sums.
        const double hRe = audible ? (bRe * aRe + bIm * aIm) * inverse : 1.0;
        const double hIm = audible ? (bIm * aRe - bRe * aIm) * inverse : 0.0;
        const double re = mRe[k] * hRe - mIm[k] * hIm;
        const double im = mRe[k] * hIm + mIm[k] * hRe;
        // Two angles of the same sign whose product lands on the other side
        // of the negative real axis have turned once around.
        const bool upper = !std::signbit(mIm[k]) && !std::signbit(hIm) && std::signbit(im);
        const bool lower = std::signbit(mIm[k]) && std::signbit(hIm) && !std::signbit(im);
        mTurns[k] += upper ? 1.0 : (lower ? -1.0 : 0.0);
        mExtraDb[k] += audible ? 0.0 : kSilentDb;
        mRe[k] = re;
        mIm[k] = im;
    }
    if (++mSinceRenormalise >= kRenormaliseEvery) {
        renormalise();
    }
}

void CascadeAccumulator::renormalise() {
    mSinceRenormalise = 0;
    for (int k = 0; k < kGridPoints; ++k) {
        const double power = mRe[k] * mRe[k] + mIm[k] * mIm[k];
        if (power > kHighPower || (power < kLowPower && power > 0.0)) {
            const double scale = 1.0 / std::sqrt(power);
            mRe[k] *= scale;
            mIm[k] *= scale;
            mExtraDb[k] += 10.0 * std::log10(power);
        }
    }
}

void CascadeAccumulator::result(std::span<double> magDb, std::span<double> phase) const {
    const size_t n = std::min({magDb.size(), phase.size(), static_cast<size_t>(kGridPoints)});
    for (size_t k = 0; k < n; ++k) {
        const double power = mRe[k] * mRe[k] + mIm[k] * mIm[k];
        magDb[k] = (power > 0.0 ? 10.0 * std::log10(power) : kSilentDb) + mExtraDb[k];
        phase[k] = std::atan2(mIm[k], mRe[k]) + 2.0 * std::numbers::pi * mTurns[k];
    }
}

}  // namespace dsp
