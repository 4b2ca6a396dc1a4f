// The correction the amplifier computes from a channel's measured response:
// eleven peaking bands that bring the response toward the target curve of
// the run's EQ mode, inside the speaker's band only. Boosts stay small (a
// room dip filled with power costs headroom and rarely works); cuts may go
// deeper. Band values are rounded as the amplifier keeps them: whole hertz,
// Q in tenths, gain in tenths of a dB.
#pragma once

#include <vector>

#include "model/profile_records.h"
#include "virtual_device/simulated_car.h"

namespace virtual_device {

inline constexpr int kCorrectionBands = 11;
inline constexpr double kCorrectionMaxBoostDb = 6.0;
inline constexpr double kCorrectionMaxCutDb = -12.0;
inline constexpr double kCorrectionMinQ = 0.5;
inline constexpr double kCorrectionMaxQ = 9.0;

// The summed response in dB of peaking bands at these frequencies.
std::vector<double> BandsResponseDb(const std::vector<model::EqBand>& bands,
                                    const std::vector<double>& frequencies);

// The target of EQ mode `mode` for a channel with `bandCount` EQ bands, at
// these frequencies: target preset `mode` (0 to 9), summed over as many of
// its bands as the channel has; a mode beyond the presets aims at a flat
// response.
std::vector<double> CalibrationTargetDb(int mode, int bandCount,
                                        const std::vector<double>& frequencies);

// Eleven bands: the correction's bands in rising frequency, then 0 dB
// bands that change nothing.
std::vector<model::EqBand> DesignCorrection(const CarChannel& channel,
                                            const std::vector<double>& targetDb);

// The root mean square of (response - target) over the speaker's band,
// after taking out the level difference: how far a curve is from the
// target's shape.
double DeviationFromTargetDb(const std::vector<double>& frequencies,
                             const std::vector<double>& responseDb,
                             const std::vector<double>& targetDb, const SpeakerBand& band);

}  // namespace virtual_device
