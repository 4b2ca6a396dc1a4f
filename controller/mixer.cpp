// The mixer's matrix: showing the cells from the working profile and the one
// path by which a point's level or enable changes.
#include "controller/mixer.h"

#include <algorithm>
#include <cstdio>

#include "app/log.h"
#include "app/model_cfg.h"
#include "controller/equalizer_manager.h"

namespace controller {
namespace {

const app::ModelCfg& Cfg() {
    return app::CurrentModelCfg();
}

// The names of the sources, which are also the stems of their language keys.
constexpr const char* kSourceNames[model::kSourceCount] = {
    "source_opt", "source_coax", "source_bt",  "source_aux", "source_low",
    "source_hi",  "source_dmp",  "source_udp", "source_scp", "source_a2b"};

constexpr int kHiLevelSource = 5;
constexpr int kA2bSource = 9;
// A point switched on with no level of its own plays at full level.
constexpr int kFirstMixLevel = 100;
constexpr int kDefaultLevelMax = 100;

// Whether a source offers cross-source rows in this model.
bool CrossSourceOf(int source, const app::ModelCfg& cfg) {
    if (!cfg.mENABLE_CROSS_SOURCE_MIX && !cfg.mENABLE_SPLIT_CROSS_SOURCE_MIX) {
        return false;
    }
    switch (source) {
        case 0:
        case 1:
        case 2:
        case 6:
        case 7:
        case 8:
            return true;
        case 3:
            return cfg.mNOT_SUPPORT_AUX_CROSS_SOURCE_MIXER;
        case 4:
            return cfg.mSUPPORT_LOW_LEVEL_CROSS_SOURCE_MIXER;
        case kHiLevelSource:
            return cfg.mSUPPORT_HI_LEVEL_CROSS_SOURCE_MIXER;
        default:
            return false;
    }
}

// The re-entry guard of the level change: selecting a cell's enable option
// from inside a change raises a notification that must not start another.
bool gLevelChangeRunning = false;

std::string LevelText(int level) {
    char text[16];
    std::snprintf(text, sizeof text, Cfg().mMixerVol_ShowdB ? "%ddB" : "%d", level);
    return text;
}

}  // namespace

Mixer::Mixer(EqualizerManager& manager, toolkit::ControlAccess& window, int source)
    : mManager(manager), mWindow(window), mSource(std::clamp(source, 0, model::kSourceCount - 1)) {
    const app::ModelCfg& cfg = Cfg();
    mControls.Bind(&mWindow);
    mInputs = model::Profile::inputChannelCount(mSource);
    if (mSource == kHiLevelSource && cfg.mMIXER_HI_LEVEL_LIMIT_CH_NUM > 0) {
        mInputs = cfg.mMIXER_HI_LEVEL_LIMIT_CH_NUM;
    }
    mRowLimit = std::clamp(cfg.mMIXER_MAX_INPUT_CH, 0, kMixerRows);
    mInputs = std::clamp(mInputs, 0, mRowLimit);
    mColumns = std::clamp(cfg.mMIXER_MAX_OUTPUT_CH, 0, model::kOutputSlots);
    mOutputs = std::min(cfg.mOUT_CHANNEL_NUMBER, mColumns);
    mCrossSource = CrossSourceOf(mSource, cfg);
    app::Log("mSource = %d\n", mSource);
    app::Log("mHasMixerSource = %d\n", mCrossSource ? 1 : 0);
}

bool Mixer::IsRowActive(int row) const {
    return (row >= 0 && row < mInputs) || (mCrossSource && row >= mRowLimit && row < kMixerRows);
}

int Mixer::BitOfRow(int row) const {
    return row < mRowLimit ? row : row + mInputs - mRowLimit;
}

int Mixer::CrossIndex(int k) const {
    return Cfg().mMXIER_CMD_FORMAT_CS47048 ? mInputs + k : k;
}

bool Mixer::IsOutputColumn(int output) const {
    return output >= 0 && output < mOutputs;
}

bool Mixer::IsValidCell(int row, int output) const {
    return IsRowActive(row) && IsOutputColumn(output);
}

int Mixer::EffectiveLevel(int row, int output) const {
    const model::Profile& profile = mManager.WorkingProfile();
    const int bit = BitOfRow(row);
    if (bit < 0 || bit >= 32 || !IsOutputColumn(output)) {
        return 0;
    }
    const uint32_t mask = static_cast<uint32_t>(profile.inputs[mSource][output]);
    return (mask >> bit & 1u) != 0 ? profile.inputMixVolume[mSource][bit][output] : 0;
}

toolkit::ControlHandle& Mixer::Cell(const char* format, int output, int row) {
    return mControls.Indexed(format, output, row);
}

int Mixer::SliderMinimum(int row, int output) {
    toolkit::ControlHandle& slider = Cell("box_volume_%d_%d", output, row);
    return slider.Maximum() > slider.Minimum() ? slider.Minimum() : 0;
}

int Mixer::SliderMaximum(int row, int output) {
    toolkit::ControlHandle& slider = Cell("box_volume_%d_%d", output, row);
    return slider.Maximum() > slider.Minimum() ? slider.Maximum() : kDefaultLevelMax;
}

// ---- showing ----

bool Mixer::Fill() {
    for (int c = 0; c < mColumns; ++c) {
        mControls.Indexed("column_%d", c).SetVisible(IsOutputColumn(c));
    }
    for (int row = 0; row < kMixerRows; ++row) {
        ShowRow(row);
    }
    for (int p = 0; p < mColumns / 2; ++p) {
        const bool on = mManager.WorkingProfile().bridgeOutputs[static_cast<size_t>(p)] != 0;
        mControls.Indexed("ch_bridge_%d", p).SetSelected(on, false);
    }
    FillCrossSource();
    ShowLamps();
    mControls("block_select_box1").SetVisible(mSource == kA2bSource);
    mReady = true;
    return mControls.Exists("in_distort_0") && mControls.Exists("out_distort_0");
}

void Mixer::ShowRow(int row) {
    const bool active = IsRowActive(row);
    for (const char* format : {"left_box_%d", "second_%d", "in_phase_box_%d", "title_label_%d",
                               "in_phase_%d", "in_distort_%d", "mixer_row_%d"}) {
        mControls.Indexed(format, row).SetVisible(active);
    }
    if (row < kMixerRows - 1) {
        const bool separator = row < mInputs - 1 || (mCrossSource && row >= 7 && row < 9);
        for (const char* format : {"left_grap_%d", "second_grap_%d", "in_phase_grap_%d"}) {
            mControls.Indexed(format, row).SetVisible(separator);
        }
        for (int c = 0; c < mColumns; ++c) {
            Cell("box_grap_%d_%d", c, row).SetVisible(separator);
        }
    }
    for (int c = 0; c < mColumns; ++c) {
        Cell("box_%d_%d", c, row).SetVisible(active);
        if (active && IsOutputColumn(c)) {
            ShowCell(row, c);
        }
    }
    if (active) {
        const int phase = mManager.WorkingProfile().inMixPhase[mSource][row];
        mControls.Indexed("in_phase_%d", row).SetSelected(phase != 0, false);
        ShowRowTitle(row);
    }
}

void Mixer::ShowRowTitle(int row) {
    if (row >= mInputs) {
        return;
    }
    char key[48];
    if (mInputs == 2) {
        std::snprintf(key, sizeof key, "${%s_%s}", kSourceNames[mSource], row == 0 ? "l" : "r");
    } else {
        std::snprintf(key, sizeof key, "${%s_%d}", kSourceNames[mSource], row);
    }
    mControls.Indexed("title_label_%d", row).SetText(key);
}

void Mixer::ShowCell(int row, int output) {
    if (!IsValidCell(row, output)) {
        return;
    }
    const int level = EffectiveLevel(row, output);
    const uint32_t mask = static_cast<uint32_t>(mManager.WorkingProfile().inputs[mSource][output]);
    Cell("box_enable_%d_%d", output, row).SetSelected((mask >> BitOfRow(row) & 1u) != 0, false);
    Cell("box_volume_%d_%d", output, row).SetValue(level);
    Cell("box_edit_%d_%d", output, row).SetText(LevelText(level));
}

void Mixer::ShowLamps() {
    const model::Profile& profile = mManager.WorkingProfile();
    for (int row = 0; row < kMixerRows; ++row) {
        ShowLamp(mControls.Indexed("in_distort_%d", row), profile.inDistort[mSource][row] != 0);
    }
    for (int c = 0; c < mColumns; ++c) {
        ShowLamp(mControls.Indexed("out_distort_%d", c), profile.outDistort[mSource][c] != 0);
    }
}

void Mixer::ShowLamp(toolkit::ControlHandle& lamp, bool clipping) {
    lamp.SetBkColor(clipping ? kLampLitColor : kLampDarkColor);
    lamp.SetTextColor(clipping ? kLampLitText : kLampDarkText);
}

void Mixer::OnStatusTick() {
    app::Log("STATUS_READ_TIMER reaching ...\n");
    ShowLamps();
    device::DeviceLink& link = mManager.Link();
    // A slow amplifier has not answered the last tick yet: ask again only
    // then, so requests do not pile up behind it.
    if (!link.IsCmdQueueIdle()) {
        return;
    }
    const uint8_t source = static_cast<uint8_t>(mSource);
    if (mInputs > 0) {
        link.Get_InDistort({0, source, 0, static_cast<uint8_t>(mInputs - 1)}, false);
    }
    if (mColumns > 0) {
        link.Get_OutDistort({0, source, 0, static_cast<uint8_t>(mColumns - 1)}, false);
    }
}

// ---- changing ----

void Mixer::SendLevel(int bit, int output, int level) {
    const uint8_t o = static_cast<uint8_t>(output);
    const uint8_t levels[] = {static_cast<uint8_t>(std::clamp(level, 0, 255))};
    mManager.Link().Input_Mix_Trim_Ctrl(0, static_cast<uint8_t>(mSource), static_cast<uint8_t>(bit),
                                        o, o, levels, false);
}

// The amplifier routes by the mask, so a point switched on or off is sent
// as the output's new mask too.
void Mixer::SendMask(int output) {
    const uint8_t o = static_cast<uint8_t>(output);
    const uint32_t masks[] = {
        static_cast<uint32_t>(mManager.WorkingProfile().inputs[mSource][output])};
    mManager.Link().Mix_Ch_Ctrl({0, static_cast<uint8_t>(mSource), o, o}, masks, false);
    mManager.RefreshRouting(output);
}

uint32_t Mixer::SetMaskBit(int output, int bit, bool on) {
    int32_t& stored = mManager.WorkingProfile().inputs[mSource][output];
    const uint32_t old = static_cast<uint32_t>(stored);
    const uint32_t mask = on ? old | (1u << bit) : old & ~(1u << bit);
    stored = static_cast<int32_t>(mask);
    if (mask != old) {
        SendMask(output);
    }
    return old;
}

void Mixer::ChangeLevel(int row, int output, int level, bool fromEnable, bool focusEdit) {
    static constexpr const char* kWho = "CMixerWnd::OnVolChanged";
    if (gLevelChangeRunning) {
        app::Log("<------%s %d %d,%d %d quit as re-entry\n", kWho, row, output, level,
                 fromEnable ? 1 : 0);
        return;
    }
    if (!IsValidCell(row, output)) {
        return;
    }
    gLevelChangeRunning = true;
    app::Log(">>>>>>>>>>>>>>>>>%s %d %d,%d %d\n", kWho, row, output, level, fromEnable ? 1 : 0);
    const int bit = BitOfRow(row);
    if (level != EffectiveLevel(row, output)) {
        SendLevel(bit, output, level);
    }
    mManager.WorkingProfile().inputMixVolume[mSource][bit][output] = level;
    Cell("box_volume_%d_%d", output, row).SetValue(level);
    Cell("box_edit_%d_%d", output, row).SetText(LevelText(level));
    const uint32_t old = SetMaskBit(output, bit, level > 0);
    app::Log("mixEnable(%d=>%d): %d\n", bit, output, level > 0 ? 1 : 0);
    app::Log("out %d inputs = 0x%02x =>", output, old);
    app::SetLogTimeStamp(false);
    app::Log(" 0x%02x\n", static_cast<uint32_t>(mManager.WorkingProfile().inputs[mSource][output]));
    app::SetLogTimeStamp(true);
    toolkit::ControlHandle& enable = Cell("box_enable_%d_%d", output, row);
    if (enable.Selected() != (level > 0)) {
        enable.SetSelected(level > 0);  // its notification meets the guard
    }
    CopyToBridgePartner(row, output);
    if (!fromEnable && focusEdit) {
        toolkit::ControlHandle& edit = Cell("box_edit_%d_%d", output, row);
        edit.SetFocus();
        edit.SelectAllText();
    }
    app::Log("<<<<<<<<<<<<<<<<<<<<< %s %d %d,%d %d\n", kWho, row, output, level,
             fromEnable ? 1 : 0);
    gLevelChangeRunning = false;
}

// Both halves of a bridged pair drive one speaker: they mix alike.
void Mixer::CopyToBridgePartner(int row, int output) {
    model::Profile& profile = mManager.WorkingProfile();
    const int partner = output ^ 1;
    if (profile.bridgeOutputs[static_cast<size_t>(output / 2)] == 0 || !IsOutputColumn(partner)) {
        return;
    }
    const int bit = BitOfRow(row);
    const int level = profile.inputMixVolume[mSource][bit][output];
    const bool on = (static_cast<uint32_t>(profile.inputs[mSource][output]) >> bit & 1u) != 0;
    app::Log("CMixerWnd::CopyMix_v\n");
    profile.inputMixVolume[mSource][bit][partner] = level;
    SendLevel(bit, partner, level);
    SetMaskBit(partner, bit, on);
    ShowCell(row, partner);
}

void Mixer::ClearMix() {
    app::Log("CMixerWnd::ClearMix\n");
    model::Profile& profile = mManager.WorkingProfile();
    const int rows = mRowLimit + Cfg().mSPLIT_CROSS_SOURCE_MIX_CH;
    for (int o = 0; o < mColumns; ++o) {
        const uint32_t old = static_cast<uint32_t>(profile.inputs[mSource][o]);
        profile.inputs[mSource][o] = 0;
        for (int row = 0; row < rows && row < kMixerRows; ++row) {
            const int bit = BitOfRow(row);
            profile.inputMixVolume[mSource][bit][o] = 0;
            if ((old >> bit & 1u) != 0 && IsOutputColumn(o)) {
                ShowCell(row, o);
                SendLevel(bit, o, 0);
            }
        }
        if (old != 0 && IsOutputColumn(o)) {
            SendMask(o);
        }
    }
}

}  // namespace controller
