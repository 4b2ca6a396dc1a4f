// Pictures of the EQ chart as a tuned car system shows it (written to
// screenshots/ in the build folder): ten outputs' responses computed the
// controller's way, 21 bands on the current output with one selected, in PEQ
// and GEQ mode at 100, 125 and 150 %, during a drag, and all bypassed.
#include <gtest/gtest.h>

#include <QDir>
#include <QPixmap>
#include <cmath>
#include <memory>
#include <string>
#include <tuple>

#include "chart_harness.h"
#include "dsp_math/channel_response.h"
#include "testkit/build_paths.h"

namespace ui {
namespace {

constexpr int kOutputs = 10;
constexpr int kBands = 21;
constexpr int kCurrent = 2;
constexpr int kSelected = 7;

// Tweeters, mid-woofers, rear, subwoofers and centre, each pair with its own
// crossover and a different EQ.
std::unique_ptr<model::Profile> TunedCar() {
    auto p = std::make_unique<model::Profile>();
    static const int kHp[kOutputs] = {3000, 3000, 80, 80, 90, 90, 20, 20, 200, 200};
    static const int kLp[kOutputs] = {20000, 20000, 3000, 3000, 20000, 20000, 80, 80, 8000, 8000};
    static const int kIso[kBands] = {20,  25,  31,  40,  50,  63,  80,   100,  125,  160, 200,
                                     250, 315, 400, 500, 630, 800, 1000, 1250, 1600, 2000};
    for (int c = 0; c < kOutputs; ++c) {
        model::Channel& ch = p->channels[static_cast<size_t>(c)];
        ch.eqSize = kBands;
        ch.bypass = false;
        ch.crossover.hp = {kHp[c], 2, kHp[c] > 20 ? 4 : 0, kHp[c] > 20 ? 0 : 1};
        ch.crossover.lp = {kLp[c], 2, kLp[c] < 20000 ? 4 : 0, kLp[c] < 20000 ? 0 : 1};
        for (int b = 0; b < kBands; ++b) {
            model::EqBand& band = p->eqBands[static_cast<size_t>(c)][static_cast<size_t>(b)];
            // The mid-woofers' bands spread over the whole range, the others
            // keep the layout's ISO frequencies.
            band.freq =
                c / 2 == 1
                    ? static_cast<int32_t>(std::lround(30.0 * std::pow(16000.0 / 30.0, b / 20.0)))
                    : kIso[b];
            band.eqGain = static_cast<float>(std::round(5.0 * std::sin(0.7 * b + c) * 2) / 2);
            band.eqFactor = 0.8f + 0.35f * static_cast<float>(b % 5);
            band.enable = true;
            band.type = b == 15 && c == kCurrent ? 1 : 0;
            if (band.type != 0) {
                band.eqGain = 0.0f;
            }
        }
        dsp::channelResponse(*p, c, false);
    }
    return p;
}

void Show(UIEqualizer& chart, const model::Profile& p, bool peq, bool bypassed) {
    chart.setDragAllDirection(peq);
    std::vector<model::EqBand> bands(p.eqBands[kCurrent].begin(),
                                     p.eqBands[kCurrent].begin() + kBands);
    if (bypassed) {
        for (auto& band : bands) {
            band.eqGain = 0.0f;
        }
    }
    chart.setCurEqBands(bands, bypassed ? -1 : kSelected);
    const auto& xover = p.channels[kCurrent].crossover;
    chart.setCurEqHpLp(xover.hp.fs, xover.lp.fs);
    std::vector<controller::CurveRow> hz(p.curveFreq.begin(), p.curveFreq.begin() + kOutputs);
    std::vector<controller::CurveRow> db(p.curveMagnitude.begin(),
                                         p.curveMagnitude.begin() + kOutputs);
    std::vector<controller::CurveRow> phase(p.curvePhase.begin(), p.curvePhase.begin() + kOutputs);
    std::vector<int32_t> shown(kOutputs, 1);
    chart.setEqCurves(hz, db, phase, kCurrent, shown);
}

void Save(testing::ChartWindow& window, const std::string& name) {
    EXPECT_TRUE(window.Widget()->grab().save(
        QString::fromStdString(testkit::ScreenshotPath(name + ".png"))))
        << name;
}

class ChartScreenshots : public ::testing::TestWithParam<std::tuple<int, bool>> {};

TEST_P(ChartScreenshots, TenOutputsWithTheSelectedBandsLabel) {
    const auto [scale, peq] = GetParam();
    auto profile = TunedCar();
    testing::ChartWindow window(scale);
    UIEqualizer& chart = window.Chart();
    Show(chart, *profile, peq, false);
    const std::string name =
        std::string("eq_chart_") + (peq ? "peq_" : "geq_") + std::to_string(scale);
    Save(window, name);
    // What the picture must show of the selected band: its label and, in
    // PEQ mode, both Q handles inside the chart.
    const QRect inside = chart.rect();
    EXPECT_TRUE(inside.contains(chart.LabelBox())) << name;
    EXPECT_EQ(chart.LabelText().isEmpty(), false);
    if (peq) {
        EXPECT_TRUE(inside.contains(chart.QHandleBox(0))) << name;
        EXPECT_TRUE(inside.contains(chart.QHandleBox(1))) << name;
    }
    for (int b = 0; b < kBands; ++b) {
        EXPECT_TRUE(inside.contains(chart.MarkerBox(b))) << name << " band " << b;
    }

    // Half-way through a drag of the selected band.
    const QPoint point = chart.BandPoint(kSelected);
    testing::Press(chart, point);
    testing::DragTo(chart, point + QPoint(chart.scaled(60), -chart.scaled(35)));
    Save(window, name + "_dragging");
    testing::Release(chart, point + QPoint(chart.scaled(60), -chart.scaled(35)));
}

INSTANTIATE_TEST_SUITE_P(Scales, ChartScreenshots,
                         ::testing::Combine(::testing::Values(100, 125, 150), ::testing::Bool()),
                         [](const auto& info) {
                             return std::string(std::get<1>(info.param) ? "Peq" : "Geq") +
                                    std::to_string(std::get<0>(info.param));
                         });

TEST(ChartScreenshot, AllBypassed) {
    auto profile = TunedCar();
    for (int c = 0; c < kOutputs; ++c) {
        dsp::channelResponse(*profile, c, c == kCurrent);
    }
    testing::ChartWindow window(100);
    Show(window.Chart(), *profile, true, true);
    EXPECT_TRUE(window.Chart().AllZero());
    Save(window, "eq_chart_bypassed_100");
}

}  // namespace
}  // namespace ui
