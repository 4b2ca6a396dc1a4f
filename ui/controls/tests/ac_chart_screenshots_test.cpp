// Pictures of the calibration chart as a run in a car shows it (written to
// screenshots/ in the build folder) at 100, 125 and 150 %: two measured
// speakers with the cabin's bass rise, a dip and a presence peak, the
// target of the first preset computed from its bands, and the EQ that
// corrects each speaker towards it.
#include <gtest/gtest.h>

#include <QDir>
#include <QPixmap>
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "chart_harness.h"
#include "dsp_math/band_design.h"
#include "dsp_math/biquad.h"
#include "dsp_math/log_grid.h"
#include "model/calibration_targets.h"
#include "testkit/build_paths.h"

namespace ui {
namespace {

constexpr int kSpeakers = 2;

double Bump(double hz, double centre, double octaves, double db) {
    const double d = std::log2(hz / centre) / octaves;
    return db * std::exp(-d * d);
}

// What a door speaker measures in a car: a bass rise from the cabin, a dip
// from a reflection, a peak where the dash reflects, a falling top.
double CarSpeaker(double hz, int speaker) {
    const double side = speaker == 0 ? 1.0 : -1.0;
    return Bump(hz, 45, 1.2, 7.0) + Bump(hz, 250 + 40 * side, 0.5, -6.0) +
           Bump(hz, 2500, 0.7, 4.5 + side) - Bump(hz, 16000, 0.6, 9.0) +
           1.5 * std::sin(std::log2(hz) * (5.0 + side));
}

// The target of the preset: the sum of its bands' responses.
controller::CurveRow TargetOn(const controller::CurveRow& grid) {
    controller::CurveRow total{};
    controller::CurveRow magnitude{};
    controller::CurveRow phase{};
    for (const model::EqBand& band : model::calibrationTargetPreset(0)) {
        dsp::bandResponse(dsp::kSampleRate, band.freq, band.eqGain, band.eqFactor, grid, band.type,
                          magnitude, phase);
        for (size_t k = 0; k < total.size(); ++k) {
            total[k] += magnitude[k];
        }
    }
    return total;
}

class AcChartScreenshots : public ::testing::TestWithParam<int> {};

TEST_P(AcChartScreenshots, TwoSpeakersTheirCorrectionAndTheTarget) {
    const int scale = GetParam();
    testing::AcChartWindow window(scale);
    UIEqualizerAc& chart = window.Chart();

    std::vector<controller::SpeakerRow> speakerHz(kSpeakers);
    std::vector<controller::SpeakerRow> speakerDb(kSpeakers);
    for (int s = 0; s < kSpeakers; ++s) {
        for (int k = 0; k < controller::kSpeakerPoints; ++k) {
            const double hz = 20.0 * std::pow(1000.0, k / 120.0);
            speakerHz[s][k] = hz;
            speakerDb[s][k] = CarSpeaker(hz, s);
        }
    }
    controller::CurveRow grid{};
    dsp::makeLogGrid(dsp::kSampleRate, grid);
    const controller::CurveRow target = TargetOn(grid);
    std::vector<controller::CurveRow> eqHz(kSpeakers, grid);
    std::vector<controller::CurveRow> eqDb(kSpeakers);
    for (int s = 0; s < kSpeakers; ++s) {
        for (size_t k = 0; k < grid.size(); ++k) {
            eqDb[s][k] = std::clamp(target[k] - CarSpeaker(std::max(grid[k], 1.0), s), -12.0, 12.0);
        }
    }
    const bool shown[kSpeakers] = {true, true};
    chart.setSpeakerCurves(speakerHz, speakerDb, kSpeakers, shown);
    chart.setEqLayerCurves(eqHz, eqDb, kSpeakers, shown);
    chart.setTargetCurves(std::vector<controller::CurveRow>{grid},
                          std::vector<controller::CurveRow>{target}, 1, shown);

    const std::string name = "ac_chart_" + std::to_string(scale);
    const QImage image = testing::Grab(chart);
    EXPECT_TRUE(window.Widget()->grab().save(
        QString::fromStdString(testkit::ScreenshotPath(name + ".png"))));
    // Every layer shows: both speakers, both corrections, the target.
    for (uint32_t color : {UIEqualizerAc::kSpeakerPalette[0], UIEqualizerAc::kSpeakerPalette[1],
                           UIEqualizerAc::kEqPalette[0], UIEqualizerAc::kEqPalette[1],
                           UIEqualizerAc::kTargetColor}) {
        EXPECT_GT(testing::CountNear(image, image.rect(), QColor::fromRgba(color), 8), 100)
            << name << " " << std::hex << color;
    }
}

INSTANTIATE_TEST_SUITE_P(Scales, AcChartScreenshots, ::testing::Values(100, 125, 150));

}  // namespace
}  // namespace ui
