// One UpdateEqualizer as a band drag runs it on every move: the curves of the
// current output, its link partner and its link group (four outputs of one
// stage), computed and handed to the chart with every output's curves.
#include <benchmark/benchmark.h>

#include <array>
#include <memory>
#include <span>

#include "app/model_cfg.h"
#include "controller/equalizer_manager.h"
#include "virtual_device/virtual_hid_backend.h"

namespace {

// A page without controls: every lookup finds the control that ignores calls.
class NoControls final : public toolkit::ControlAccess {
public:
    toolkit::ControlHandle* FindControl(const std::string&) override { return nullptr; }
    platform::WindowHandle Handle() const override { return 1; }
    void SetTimer(int, int) override {}
    void KillTimer(int) override {}
    void Retranslate() override {}
};

// A chart that copies what it is given, as the real one does.
class CopyingChart final : public controller::EqChart {
public:
    void setCurEqBands(std::span<const model::EqBand> bands, int selected) override {
        std::copy(bands.begin(), bands.end(), mBands.begin());
        mSelected = selected;
    }
    void setCurEqHpLp(int, int) override {}
    void setEqCurves(std::span<const controller::CurveRow> frequency,
                     std::span<const controller::CurveRow> magnitude,
                     std::span<const controller::CurveRow> phase, int,
                     std::span<const int32_t>) override {
        std::copy(frequency.begin(), frequency.end(), mRows[0].begin());
        std::copy(magnitude.begin(), magnitude.end(), mRows[1].begin());
        std::copy(phase.begin(), phase.end(), mRows[2].begin());
    }
    void setDragAllDirection(bool) override {}
    void setShowPhase(bool) override {}
    int CurrentControlIndex() const override { return mSelected; }
    model::EqBand Band(int index) const override { return mBands[static_cast<size_t>(index)]; }
    int HpFreq() const override { return 20; }
    int LpFreq() const override { return 20000; }

private:
    std::array<model::EqBand, model::kBandsPerChannel> mBands{};
    std::array<std::array<controller::CurveRow, model::kOutputSlots>, 3> mRows{};
    int mSelected = -1;
};

class QuietUi final : public controller::UiServices {
public:
    void ShowMessage(const std::string&, const std::string&) override {}
    std::string Translate(const std::string& text) override { return text; }
    void ShowLoading() override {}
    void HideLoading() override {}
    void ShowProgress(int, int) override {}
    std::string ChooseFile(const controller::FileDialogRequest&) override { return {}; }
    bool Confirm(const std::string&, const std::string&) override { return true; }
    int AskTwoChoices(const std::string&, const std::string&, const std::string&,
                      const std::string&) override {
        return 0;
    }
    int AskWithButtons(const std::string&, const std::string&,
                       const std::array<std::string, 3>&) override {
        return 0;
    }
    controller::EqChart* Chart() override { return &mChart; }
    int RunForceUpdateWindow(const std::string&, const std::string&) override { return 0; }
    bool ResumeForceUpdate() override { return false; }
    int RunUpdateFwWindow() override { return 0; }
    void CloseUpdateFwWindow() override {}
    void OpenSceneWindow(controller::SceneWindowMode) override {}
    void OpenPreferenceWindow() override {}
    void OpenMemoryWindow() override {}
    void OpenPowerOffDelayWindow() override {}
    void OpenMixerWindow() override {}
    void CloseMixerWindow() override {}

private:
    CopyingChart mChart;
};

void BM_UpdateEqualizerWithPartnerAndGroup(benchmark::State& state) {
    app::FillModelCfg();
    NoControls page;
    QuietUi ui;
    auto manager = std::make_unique<controller::EqualizerManager>(
        std::make_shared<virtual_device::VirtualHidBackend>());
    manager->Init(page, ui);
    model::Profile& p = manager->WorkingProfile();
    for (int c = 0; c < 10; ++c) {
        p.channels[c].eqSize = 21;
        p.channels[c].bypass = false;
        p.channels[c].crossover.hp = {40, 2, 8, 0};
        p.channels[c].crossover.lp = {8000, 2, 8, 0};
    }
    p.currOutChannel = 0;
    p.linkMode = 1;
    p.linkOutputs[0] = 1;
    p.linkOutputs[1] = 0;
    p.linkGroup[0] = p.linkGroup[1] = p.linkGroup[2] = p.linkGroup[3] = 1;
    for (auto _ : state) {
        manager->UpdateEqualizer(5);
    }
}
BENCHMARK(BM_UpdateEqualizerWithPartnerAndGroup)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
