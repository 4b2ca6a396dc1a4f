// Fitting a filter list to one output and writing an output's bands; the
// reading side is in filter_file.cpp.
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

#include "app/model_cfg.h"
#include "app/version.h"
#include "model/filter_file.h"
#include "model/units.h"

namespace model {

namespace {

const app::ModelCfg& cfg() {
    return app::CurrentModelCfg();
}

// A value at the precision a band keeps.
double roundedTo(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    return std::round(value * scale) / scale;
}

struct Limit {
    double lowest;
    double highest;
    FitRefusalReason below;
    FitRefusalReason above;
};

// The first limit the band's values cross, checked as the band would keep them.
std::optional<FitRefusal> crossedLimit(const FilterEntry& f, double hz, double gain, double q) {
    const std::array<std::pair<double, Limit>, 3> checks{{
        {hz,
         {static_cast<double>(cfg().mEQ_FREQ_MIN), static_cast<double>(kMaxFrequencyHz),
          FitRefusalReason::FrequencyTooLow, FitRefusalReason::FrequencyTooHigh}},
        {gain,
         {kMinBandGainDb, kMaxBandGainDb, FitRefusalReason::GainTooLow,
          FitRefusalReason::GainTooHigh}},
        {q,
         {cfg().mEQ_FACTOR_MIN, cfg().mEQ_FACTOR_MAX, FitRefusalReason::QTooLow,
          FitRefusalReason::QTooHigh}},
    }};
    const std::array<double, 3> given{f.frequencyHz, f.gainDb, f.q.value_or(0.0)};
    for (size_t k = 0; k < checks.size(); ++k) {
        const auto& [value, limit] = checks[k];
        // Written so that a value that is no number at all is refused too.
        if (!(value >= limit.lowest)) {
            return FitRefusal{f, limit.below, fitRefusalKey(limit.below), given[k], limit.lowest};
        }
        if (value > limit.highest) {
            return FitRefusal{f, limit.above, fitRefusalKey(limit.above), given[k], limit.highest};
        }
    }
    return std::nullopt;
}

FitRefusal refusal(const FilterEntry& f, FitRefusalReason reason, double limit = 0.0) {
    return FitRefusal{f, reason, fitRefusalKey(reason), 0.0, limit};
}

void appendFixed(std::string& out, double value, int decimals) {
    std::array<char, 64> buffer{};
    // Values of the program's own bands; "-0.0" reads back as 0.
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::fixed, decimals);
    out.append(buffer.data(), result.ptr);
}

void appendBand(std::string& out, int number, const EqBand& band) {
    // Bands of the device's other types have no name in the format; they are
    // kept as switched-off lines rather than passed off as peaking bands.
    const bool allPass = band.type == 1;
    const bool on = band.enable && (band.type == 0 || allPass);
    out += "Filter " + std::to_string(number) + (on ? ": ON " : ": OFF ");
    out += allPass ? "AP" : "PK";
    out += " Fc " + std::to_string(band.freq) + " Hz";
    if (!allPass) {
        out += " Gain ";
        appendFixed(out, band.eqGain, 1);
        out += " dB";
    }
    out += " Q ";
    appendFixed(out, band.eqFactor, 2);
    out += "\n";
}

}  // namespace

const char* fitRefusalKey(FitRefusalReason reason) {
    switch (reason) {
        case FitRefusalReason::Off:
            return "${filter_fit_off}";
        case FitRefusalReason::NotPeaking:
            return "${filter_fit_not_peaking}";
        case FitRefusalReason::NoQ:
            return "${filter_fit_no_q}";
        case FitRefusalReason::NoBandLeft:
            return "${filter_fit_no_band_left}";
        case FitRefusalReason::FrequencyTooLow:
            return "${filter_fit_freq_low}";
        case FitRefusalReason::FrequencyTooHigh:
            return "${filter_fit_freq_high}";
        case FitRefusalReason::GainTooLow:
            return "${filter_fit_gain_low}";
        case FitRefusalReason::GainTooHigh:
            return "${filter_fit_gain_high}";
        case FitRefusalReason::QTooLow:
            return "${filter_fit_q_low}";
        case FitRefusalReason::QTooHigh:
            return "${filter_fit_q_high}";
    }
    return nullptr;
}

FilterFit FitFiltersToOutput(const FilterList& list, int bandCount) {
    FilterFit fit;
    for (const FilterEntry& f : list.filters) {
        if (!f.on) {
            fit.refusals.push_back(refusal(f, FitRefusalReason::Off));
            continue;
        }
        if (f.type != FilterType::Peaking) {
            fit.refusals.push_back(refusal(f, FitRefusalReason::NotPeaking));
            continue;
        }
        if (!f.q) {
            fit.refusals.push_back(refusal(f, FitRefusalReason::NoQ));
            continue;
        }
        const double hz = std::round(f.frequencyHz);
        const double gain = roundedTo(f.gainDb, 1);
        const double q = roundedTo(*f.q, cfg().mEQ_FACTOR_PRECISION);
        if (auto crossed = crossedLimit(f, hz, gain, q)) {
            fit.refusals.push_back(*crossed);
            continue;
        }
        if (static_cast<int>(fit.bands.size()) >= bandCount) {
            fit.refusals.push_back(refusal(f, FitRefusalReason::NoBandLeft, bandCount));
            continue;
        }
        EqBand band;
        band.freq = static_cast<int32_t>(hz);
        band.eqGain = static_cast<float>(gain);
        band.eqFactor = static_cast<float>(q);
        band.enable = true;
        band.type = 0;
        fit.bands.push_back(band);
    }
    return fit;
}

std::string FormatFilterFile(const Profile& profile, int output) {
    const EqBand* bands = profile.eqArray(output);
    if (bands == nullptr) {
        return {};
    }
    const int count = std::min(profile.bandCount(output), kBandsPerChannel);
    std::string out = "# TQ DSP Audio ";
    out += app::kSoftwareVersion;
    out += ": EQ of output " + std::to_string(output + 1) + "\n";
    for (int i = 0; i < count; ++i) {
        appendBand(out, i + 1, bands[i]);
    }
    return out;
}

}  // namespace model
