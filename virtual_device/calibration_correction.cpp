#include "virtual_device/calibration_correction.h"

#include <algorithm>
#include <cmath>
#include <set>

#include "dsp_math/band_design.h"
#include "model/calibration_targets.h"

namespace virtual_device {
namespace {

constexpr double kSampleRate = 48000.0;
// Residual ripple the amplifier leaves alone: chasing it only adds bands.
constexpr double kGoodEnoughDb = 0.75;
constexpr int kMostAttempts = 60;
constexpr double kPointsPerOctave = 12.0;
// Boosts keep half an octave inside the band, so their skirts do not lift
// what the speaker cannot play.
constexpr double kBoostMargin = 1.41421356;
// A correction works on what the ear hears as a colour, not on every notch
// of one microphone position: no band narrower than a quarter octave, and
// no two bands closer than a sixth of an octave.
constexpr double kNarrowestLobePoints = 3.0;
constexpr double kWidestUsefulQ = 6.0;
constexpr double kClosestBandsOctaves = 1.0 / 6.0;

double Round(double value, double units) {
    return std::round(value * units) / units;
}

model::EqBand Quantized(double frequency, double q, double gain) {
    model::EqBand band;
    band.freq = static_cast<int32_t>(std::lround(std::clamp(frequency, 20.0, 20000.0)));
    band.eqFactor = static_cast<float>(Round(std::clamp(q, kCorrectionMinQ, kCorrectionMaxQ), 10));
    band.eqGain =
        static_cast<float>(Round(std::clamp(gain, kCorrectionMaxCutDb, kCorrectionMaxBoostDb), 10));
    band.enable = true;
    band.type = 0;
    return band;
}

// Q of a peaking band whose bandwidth is this many octaves.
double QOfBandwidth(double octaves) {
    const double ratio = std::pow(2.0, octaves);
    return std::sqrt(ratio) / (ratio - 1.0);
}

// The points of the grid inside the speaker's band.
std::vector<size_t> BandPoints(const std::vector<double>& frequencies, const SpeakerBand& band) {
    std::vector<size_t> points;
    for (size_t i = 0; i < frequencies.size(); ++i) {
        if (frequencies[i] >= band.low && frequencies[i] <= band.high) {
            points.push_back(i);
        }
    }
    return points;
}

// The grid with the two points the filter evaluation takes as Nyquist and
// sample rate.
std::vector<double> EvaluationGrid(const std::vector<double>& frequencies) {
    std::vector<double> grid = frequencies;
    grid.push_back(kSampleRate / 2.0);
    grid.push_back(kSampleRate);
    return grid;
}

void AddBand(const model::EqBand& band, const std::vector<double>& grid, std::vector<double>& db) {
    std::vector<double> mag(grid.size());
    std::vector<double> phase(grid.size());
    dsp::bandResponse(kSampleRate, band.freq, band.eqGain, band.eqFactor, grid, band.type, mag,
                      phase);
    for (size_t i = 0; i < db.size(); ++i) {
        db[i] += mag[i];
    }
}

// The residual at each band point after the level difference is taken out.
std::vector<double> Residual(const std::vector<size_t>& points, const std::vector<double>& response,
                             const std::vector<double>& target) {
    double mean = 0.0;
    for (size_t i : points) {
        mean += response[i] - target[i];
    }
    mean /= static_cast<double>(points.size());
    std::vector<double> residual(response.size(), 0.0);
    for (size_t i : points) {
        residual[i] = response[i] - target[i] - mean;
    }
    return residual;
}

double Rms(const std::vector<size_t>& points, const std::vector<double>& residual) {
    double sum = 0.0;
    for (size_t i : points) {
        sum += residual[i] * residual[i];
    }
    return std::sqrt(sum / static_cast<double>(points.size()));
}

// The width in octaves of the residual's lobe around `peak`: as far as it
// keeps its sign and at least half its height.
double LobeOctaves(const std::vector<size_t>& points, const std::vector<double>& residual,
                   size_t peakIndex) {
    const double height = residual[points[peakIndex]];
    auto inLobe = [&](size_t k) {
        const double r = residual[points[k]];
        return (r > 0) == (height > 0) && std::abs(r) >= std::abs(height) / 2.0;
    };
    size_t low = peakIndex;
    size_t high = peakIndex;
    while (low > 0 && inLobe(low - 1)) {
        --low;
    }
    while (high + 1 < points.size() && inLobe(high + 1)) {
        ++high;
    }
    return std::max(static_cast<double>(high - low + 1), kNarrowestLobePoints) / kPointsPerOctave;
}

struct Designer {
    const std::vector<double>& frequencies;
    const std::vector<double>& target;
    const SpeakerBand& band;
    std::vector<double> grid;
    std::vector<size_t> points;
    std::vector<double> corrected;  // measured plus the bands so far

    double RmsWith(const model::EqBand& candidate) const {
        std::vector<double> db = corrected;
        AddBand(candidate, grid, db);
        return Rms(points, Residual(points, db, target));
    }

    bool MayBoostAt(double frequency) const {
        return frequency >= band.low * kBoostMargin && frequency <= band.high / kBoostMargin;
    }

    // The best of a few gains and widths around the lobe's own.
    model::EqBand BestCandidate(double frequency, double gain, double q, double* rms) const {
        model::EqBand best = Quantized(frequency, std::min(q, kWidestUsefulQ), gain);
        *rms = RmsWith(best);
        for (double gainScale : {0.5, 0.75, 1.25}) {
            for (double qScale : {0.67, 1.0, 1.5}) {
                const model::EqBand candidate =
                    Quantized(frequency, std::min(q * qScale, kWidestUsefulQ), gain * gainScale);
                const double candidateRms = RmsWith(candidate);
                if (candidateRms < *rms) {
                    best = candidate;
                    *rms = candidateRms;
                }
            }
        }
        return best;
    }
};

bool NearABand(const std::vector<model::EqBand>& bands, double frequency) {
    return std::any_of(bands.begin(), bands.end(), [&](const model::EqBand& band) {
        return std::abs(std::log2(frequency / band.freq)) < kClosestBandsOctaves;
    });
}

}  // namespace

std::vector<double> BandsResponseDb(const std::vector<model::EqBand>& bands,
                                    const std::vector<double>& frequencies) {
    const std::vector<double> grid = EvaluationGrid(frequencies);
    std::vector<double> db(frequencies.size(), 0.0);
    for (const model::EqBand& band : bands) {
        AddBand(band, grid, db);
    }
    return db;
}

std::vector<double> CalibrationTargetDb(int mode, int bandCount,
                                        const std::vector<double>& frequencies) {
    if (mode < 0 || mode >= model::kTargetPresetCount) {
        return std::vector<double>(frequencies.size(), 0.0);
    }
    const model::TargetPreset& preset = model::calibrationTargetPreset(mode);
    const int count = std::clamp(bandCount, 0, model::kTargetPresetBands);
    return BandsResponseDb({preset.begin(), preset.begin() + count}, frequencies);
}

std::vector<model::EqBand> DesignCorrection(const CarChannel& channel,
                                            const std::vector<double>& targetDb) {
    std::vector<double> frequencies;
    std::vector<double> measured;
    for (const auto& [frequency, gain] : channel.response) {
        frequencies.push_back(frequency);
        measured.push_back(gain);
    }
    Designer designer{frequencies,
                      targetDb,
                      channel.band,
                      EvaluationGrid(frequencies),
                      BandPoints(frequencies, channel.band),
                      measured};
    std::vector<model::EqBand> bands;
    if (designer.points.size() < 2 || targetDb.size() != frequencies.size()) {
        bands.resize(kCorrectionBands, Quantized(1000.0, 1.0, 0.0));
        return bands;
    }
    std::set<size_t> tried;  // lobes no band could improve
    double rms = Rms(designer.points, Residual(designer.points, measured, targetDb));
    for (int attempt = 0; attempt < kMostAttempts && bands.size() < kCorrectionBands; ++attempt) {
        const std::vector<double> residual =
            Residual(designer.points, designer.corrected, targetDb);
        size_t peak = designer.points.size();
        for (size_t k = 0; k < designer.points.size(); ++k) {
            const size_t i = designer.points[k];
            const bool wantsBoost = residual[i] < 0;
            if (tried.count(k) != 0 || (wantsBoost && !designer.MayBoostAt(frequencies[i])) ||
                NearABand(bands, frequencies[i])) {
                continue;
            }
            if (peak == designer.points.size() ||
                std::abs(residual[i]) > std::abs(residual[designer.points[peak]])) {
                peak = k;
            }
        }
        if (peak == designer.points.size() ||
            std::abs(residual[designer.points[peak]]) < kGoodEnoughDb) {
            break;
        }
        const size_t i = designer.points[peak];
        const double q = QOfBandwidth(LobeOctaves(designer.points, residual, peak));
        double candidateRms = 0.0;
        const model::EqBand band =
            designer.BestCandidate(frequencies[i], -residual[i], q, &candidateRms);
        if (candidateRms >= rms - 0.01 || band.eqGain == 0.0f) {
            tried.insert(peak);
            continue;
        }
        AddBand(band, designer.grid, designer.corrected);
        bands.push_back(band);
        rms = candidateRms;
    }
    std::sort(bands.begin(), bands.end(),
              [](const model::EqBand& a, const model::EqBand& b) { return a.freq < b.freq; });
    // The bands left over stay flat, spread over the band.
    for (int b = static_cast<int>(bands.size()); b < kCorrectionBands; ++b) {
        const double span = channel.band.high / channel.band.low;
        const double at = channel.band.low * std::pow(span, (b + 0.5) / kCorrectionBands);
        bands.push_back(Quantized(at, 1.0, 0.0));
    }
    return bands;
}

double DeviationFromTargetDb(const std::vector<double>& frequencies,
                             const std::vector<double>& responseDb,
                             const std::vector<double>& targetDb, const SpeakerBand& band) {
    const std::vector<size_t> points = BandPoints(frequencies, band);
    if (points.empty() || responseDb.size() != frequencies.size() ||
        targetDb.size() != frequencies.size()) {
        return 0.0;
    }
    return Rms(points, Residual(points, responseDb, targetDb));
}

}  // namespace virtual_device
