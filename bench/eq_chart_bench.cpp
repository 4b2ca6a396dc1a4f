// One paint of the EQ chart as a drag repaints it: ten outputs' curves of
// 512 points each and 21 band points with the selected band's label and Q
// handles, into an image the size of the main window's chart, at 100 % and
// 150 %; and the refresh the controller sends with every drag notification.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

#include "app/model_cfg.h"
#include "controller/eq_chart.h"
#include "dsp_math/channel_response.h"
#include "model/profile.h"
#include "ui/controls/ui_equalizer.h"

namespace {

constexpr int kOutputs = 10;
constexpr int kBands = 21;

struct Scene {
    std::unique_ptr<model::Profile> profile = std::make_unique<model::Profile>();
    std::vector<model::EqBand> bands;
    std::vector<controller::CurveRow> hz;
    std::vector<controller::CurveRow> db;
    std::vector<controller::CurveRow> phase;
    std::vector<int32_t> shown = std::vector<int32_t>(kOutputs, 1);
};

Scene MakeScene() {
    Scene scene;
    model::Profile& p = *scene.profile;
    for (int c = 0; c < kOutputs; ++c) {
        model::Channel& ch = p.channels[static_cast<size_t>(c)];
        ch.eqSize = kBands;
        ch.bypass = false;
        ch.crossover.hp = {40 + 10 * c, 2, 4, 0};
        ch.crossover.lp = {6000 + 1000 * c, 2, 4, 0};
        for (int b = 0; b < kBands; ++b) {
            p.eqBands[static_cast<size_t>(c)][static_cast<size_t>(b)] = {
                static_cast<float>(std::round(10.0 * std::sin(0.7 * b + c)) / 2),
                1.0f + 0.3f * (b % 5),
                static_cast<int32_t>(std::lround(25.0 * std::pow(640.0, b / 20.0))), true, 0};
        }
        dsp::channelResponse(p, c, false);
    }
    scene.bands.assign(p.eqBands[0].begin(), p.eqBands[0].begin() + kBands);
    scene.hz.assign(p.curveFreq.begin(), p.curveFreq.begin() + kOutputs);
    scene.db.assign(p.curveMagnitude.begin(), p.curveMagnitude.begin() + kOutputs);
    scene.phase.assign(p.curvePhase.begin(), p.curvePhase.begin() + kOutputs);
    return scene;
}

std::unique_ptr<ui::UIEqualizer> MakeChart(int scale, const Scene& scene) {
    auto chart = std::make_unique<ui::UIEqualizer>(nullptr, scale);
    chart->SetAttribute("font", "10b");
    chart->SetAttribute("curvecolor",
                        "#FF3D9BFF #FFFF6B6B #FF4CD964 #FFF5E663 #FFB48CFF #FF2ED3D3 #FFFF9F1C "
                        "#FFFF7EC8 #FFE0E0E0 #FFC9A26B");
    chart->resize(626 * scale / 100, 198 * scale / 100);
    chart->setDragAllDirection(true);
    chart->setCurEqBands(scene.bands, 7);
    chart->setCurEqHpLp(80, 8000);
    chart->setEqCurves(scene.hz, scene.db, scene.phase, 0, scene.shown);
    return chart;
}

void BM_PaintChart(benchmark::State& state) {
    const int scale = static_cast<int>(state.range(0));
    const Scene scene = MakeScene();
    auto chart = MakeChart(scale, scene);
    QImage image(chart->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter painter(&image);
        chart->Paint(painter);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_PaintChart)->Arg(100)->Arg(150)->Unit(benchmark::kMicrosecond);

// What a drag costs besides the paint: the controller's three refreshes.
void BM_RefreshChart(benchmark::State& state) {
    const Scene scene = MakeScene();
    auto chart = MakeChart(100, scene);
    for (auto _ : state) {
        chart->setCurEqBands(scene.bands, 7);
        chart->setCurEqHpLp(80, 8000);
        chart->setEqCurves(scene.hz, scene.db, scene.phase, 0, scene.shown);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_RefreshChart)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    app::FillModelCfg();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
