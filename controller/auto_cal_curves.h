// What the calibration window draws: per channel the calibration EQ result,
// the measured speaker response and the target, kept as bands and points as
// the amplifier reports them and turned into curves for the chart.
#pragma once

#include <array>
#include <memory>
#include <span>

#include "controller/calibration_chart.h"
#include "device/device_records.h"
#include "model/profile.h"

namespace controller {

inline constexpr int kCalibrationChannels = 32;

class AutoCalCurves {
public:
    // Flat EQ results, a flat speaker response on a placeholder grid and the
    // first target preset for the outputs below outputChannels.
    explicit AutoCalCurves(int outputChannels);

    // The channels the chart is handed: the outputs, at most 16.
    int ChartChannels() const;

    // EQ curve: the summed response of the channel's result bands on the
    // log grid. Speaker curve: its measured points. Target curve: preset p
    // over the channel's band count.
    void ComputeEqCurve(int channel);
    void ComputeSpeakerCurve(int channel);
    void ComputeTargetCurve(int channel, int preset);

    // A reported EQ band or response point is stored; true when it completes
    // what the chart shows (band 10 or above, point 120). Records naming a
    // channel, band or point beyond the stores are ignored (false).
    bool StoreEqBand(const device::IrcEqRecord& record);
    bool StoreSpectrumPoint(const device::IrcSpectrumRecord& record);

    void HandEq(CalibrationChart& chart, std::span<const bool> visible) const;
    void HandSpeaker(CalibrationChart& chart, std::span<const bool> visible) const;
    void HandTarget(CalibrationChart& chart, std::span<const bool> visible) const;

    // Whether the channel's measured response came in whole: until then its
    // points are placeholders, not drawn.
    bool Measured(int channel) const { return mMeasured[static_cast<size_t>(channel)]; }
    // Whether the channel's calibration EQ came in whole.
    bool Corrected(int channel) const { return mCorrected[static_cast<size_t>(channel)]; }
    const model::EqBand& EqBand(int channel, int band) const { return mIrcEqBands[channel][band]; }
    const model::EqBand& SpeakerPoint(int channel, int point) const {
        return mSpkPoints[channel][point];
    }
    const CurveRow& EqValues(int channel) const { return mEqY[channel]; }
    const SpeakerRow& SpeakerValues(int channel) const { return mSpkY[channel]; }
    const CurveRow& TargetValues(int channel) const { return mTargetY[channel]; }

private:
    void SumBands(std::span<const model::EqBand> bands, CurveRow& values) const;

    int mOutputs;
    CurveRow mGrid{};
    std::array<std::array<model::EqBand, 31>, kCalibrationChannels> mIrcEqBands{};
    std::array<std::array<model::EqBand, kSpeakerPoints>, kCalibrationChannels> mSpkPoints{};
    std::array<std::array<model::EqBand, 31>, kCalibrationChannels> mTargetBands{};
    std::array<CurveRow, kCalibrationChannels> mEqX{}, mEqY{}, mTargetX{}, mTargetY{};
    std::array<SpeakerRow, kCalibrationChannels> mSpkX{}, mSpkY{};
    std::array<bool, kCalibrationChannels> mMeasured{};
    std::array<bool, kCalibrationChannels> mCorrected{};
};

}  // namespace controller
