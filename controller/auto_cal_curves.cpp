#include "controller/auto_cal_curves.h"

#include <algorithm>

#include "app/model_cfg.h"
#include "dsp_math/band_design.h"
#include "dsp_math/log_grid.h"
#include "model/calibration_targets.h"
#include "model/profile_defaults.h"

namespace controller {
namespace {

constexpr double kSampleRate = 48000.0;
constexpr int kHighestHz = 20000;
constexpr float kPlaceholderQ = 15.0f;
constexpr int kResultBandsKept = 31;
// The EQ curve is drawn anew once the second request's bands arrive.
constexpr int kEqBandsBeforeRedraw = 10;

int BandCount(int channel) {
    return std::min(model::defaultBandCount(channel), kResultBandsKept);
}

}  // namespace

AutoCalCurves::AutoCalCurves(int outputChannels)
    : mOutputs(std::clamp(outputChannels, 0, kCalibrationChannels)) {
    dsp::makeLogGrid(kSampleRate, mGrid);
    const int lowest = app::CurrentModelCfg().mEQ_FREQ_MIN;
    for (int c = 0; c < mOutputs; ++c) {
        for (int b = 0; b < BandCount(c); ++b) {
            mIrcEqBands[c][b] =
                model::EqBand{0.0f, 5.8f, model::defaultBandFrequency(31, b), true, 0};
        }
        mTargetBands[c] = mIrcEqBands[c];
        // Until a measurement arrives the speaker points lie on a linear
        // placeholder grid at 0 dB.
        for (int i = 0; i < kSpeakerPoints; ++i) {
            const int freq = lowest + (kHighestHz - lowest) * i / kSpeakerPoints;
            mSpkPoints[c][i] = model::EqBand{0.0f, kPlaceholderQ, freq, true, 0};
        }
        mEqX[c] = mGrid;
        mTargetX[c] = mGrid;
    }
}

int AutoCalCurves::ChartChannels() const {
    return std::min(mOutputs, kCalibrationCurves);
}

void AutoCalCurves::SumBands(std::span<const model::EqBand> bands, CurveRow& values) const {
    values.fill(0.0);
    CurveRow magnitude{};
    CurveRow phase{};
    for (const model::EqBand& band : bands) {
        if (band.eqGain == 0.0f && band.type == 0) {
            continue;  // a flat peaking band adds nothing
        }
        dsp::bandResponse(kSampleRate, band.freq, band.eqGain, band.eqFactor, mGrid, band.type,
                          magnitude, phase);
        for (size_t i = 0; i < values.size(); ++i) {
            values[i] += magnitude[i];
        }
    }
}

void AutoCalCurves::ComputeEqCurve(int channel) {
    if (channel < 0 || channel >= mOutputs) {
        return;
    }
    mEqX[channel] = mGrid;
    SumBands(std::span(mIrcEqBands[channel]).first(static_cast<size_t>(BandCount(channel))),
             mEqY[channel]);
}

void AutoCalCurves::ComputeSpeakerCurve(int channel) {
    if (channel < 0 || channel >= mOutputs) {
        return;
    }
    for (int i = 0; i < kSpeakerPoints; ++i) {
        mSpkX[channel][i] = mSpkPoints[channel][i].freq;
        mSpkY[channel][i] = mSpkPoints[channel][i].eqGain;
    }
}

void AutoCalCurves::ComputeTargetCurve(int channel, int preset) {
    if (channel < 0 || channel >= mOutputs) {
        return;
    }
    const int count = BandCount(channel);
    auto& bands = mTargetBands[channel];
    model::Profile::fillDefaultBands(bands.data(), count);
    if (app::CurrentModelCfg().mENABLE_TARGET_EQ) {
        const model::TargetPreset& target = model::calibrationTargetPreset(preset);
        for (int b = 0; b < count; ++b) {
            bands[b].freq = target[b].freq;
            bands[b].eqGain = target[b].eqGain;
            bands[b].eqFactor = target[b].eqFactor;
            bands[b].enable = true;
        }
    } else {
        for (int b = 0; b < count; ++b) {
            bands[b].eqGain = 0.0f;
        }
    }
    mTargetX[channel] = mGrid;
    SumBands(std::span(bands).first(static_cast<size_t>(count)), mTargetY[channel]);
}

bool AutoCalCurves::StoreEqBand(const device::IrcEqRecord& record) {
    if (record.channel < 0 || record.channel >= kCalibrationChannels || record.band < 0 ||
        record.band >= kResultBandsKept) {
        return false;
    }
    model::EqBand& band = mIrcEqBands[record.channel][record.band];
    band.freq = record.frequency;
    band.eqFactor = record.q;
    band.eqGain = record.gain;
    if (record.band < kEqBandsBeforeRedraw) {
        return false;
    }
    mCorrected[static_cast<size_t>(record.channel)] = true;
    return true;
}

bool AutoCalCurves::StoreSpectrumPoint(const device::IrcSpectrumRecord& record) {
    if (record.channel < 0 || record.channel >= kCalibrationChannels || record.band < 0 ||
        record.band >= kSpeakerPoints) {
        return false;
    }
    model::EqBand& point = mSpkPoints[record.channel][record.band];
    point.eqGain = record.gain;
    point.freq = static_cast<int32_t>(record.frequency);
    if (record.band != kSpeakerPoints - 1) {
        return false;
    }
    mMeasured[static_cast<size_t>(record.channel)] = true;
    return true;
}

void AutoCalCurves::HandEq(CalibrationChart& chart, std::span<const bool> visible) const {
    chart.setEqLayerCurves(mEqX, mEqY, ChartChannels(), visible);
}

void AutoCalCurves::HandSpeaker(CalibrationChart& chart, std::span<const bool> visible) const {
    chart.setSpeakerCurves(mSpkX, mSpkY, ChartChannels(), visible);
}

void AutoCalCurves::HandTarget(CalibrationChart& chart, std::span<const bool> visible) const {
    chart.setTargetCurves(mTargetX, mTargetY, ChartChannels(), visible);
}

}  // namespace controller
