// Showing the working profile in the main page's controls. Nothing here sends
// to the device.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "app/log.h"
#include "app/model_cfg.h"
#include "controller/equalizer_manager.h"
#include "model/output_type.h"
#include "model/units.h"

namespace controller {
namespace {

const app::ModelCfg& Cfg() {
    return app::CurrentModelCfg();
}
int OutputCount() {
    return Cfg().mOUT_CHANNEL_NUMBER;
}

constexpr int kSpeakerPositions = 30;

std::string TypeText(int type) {
    const char* key = model::outputTypeKey(type);
    return key != nullptr ? std::string("${") + key + "}" : std::string("${output_item_empty}");
}

}  // namespace

void EqualizerManager::ShowTrim(int channel, int tenths) {
    Ctl& slider = mControls.Indexed("slider_ch_volume_%d", channel);
    if (slider.Value() != tenths) {
        slider.SetValue(tenths);
    }
    std::string text =
        tenths <= -600
            ? std::string("${off}")
            : model::formatTrimText(Cfg().mChVolumeEditDiff + static_cast<float>(tenths) / 10.0f);
    mControls.Indexed("edit_ch_volume_%d", channel).SetText(text);
    if (channel == mProfile.currOutChannel) {
        mControls("slider_ch_volume").SetValue(tenths);
        mControls("edit_ch_volume").SetText(text);
    }
}

void EqualizerManager::ShowMute(int channel) {
    const bool on = mProfile.channels[channel].mute != 0;
    mControls.Indexed("ch_mute_%d", channel).SetSelected(on, false);
    if (channel == mProfile.currOutChannel) {
        mControls("ch_mute").SetSelected(on, false);
    }
}

void EqualizerManager::ShowPhase(int channel) {
    const bool on = mProfile.channels[channel].phase != 0;
    const char* text = on ? "${reverse phase}" : "${positive_phase}";
    Ctl& option = mControls.Indexed("ch_phase_%d", channel);
    option.SetSelected(on, false);
    option.SetText(text);
    if (channel == mProfile.currOutChannel) {
        mControls("ch_phase").SetSelected(on, false);
        mControls("ch_phase").SetText(text);
    }
}

void EqualizerManager::ShowSolo(int channel) {
    mControls.Indexed("ch_solo_%d", channel)
        .SetSelected(mProfile.channels[channel].solo != 0, false);
}

void EqualizerManager::ShowDelay(int channel) {
    const float ms = mProfile.channels[channel].delay;
    mControls.Indexed("edit_ch_delay_%d", channel).SetText(DelayText(ms));
    Ctl& slider = mControls.Indexed("slider_ch_delay_%d", channel);
    int microseconds = static_cast<int>(std::lround(ms * 1000.0f));
    microseconds = std::clamp(microseconds, slider.Minimum(), std::max(slider.Maximum(), 0));
    slider.SetValue(microseconds);
}

void EqualizerManager::ShowOutputType(int channel) {
    mControls.Indexed("ch_output_btn_%d", channel).SetText(TypeText(mProfile.outputs[channel]));
}

void EqualizerManager::ShowSpeakerPositions() {
    const int unit = DelayUnit();
    std::array<int, kSpeakerPositions + 1> channelAt{};
    channelAt.fill(-1);
    for (int c = 0; c < OutputCount(); ++c) {
        int type = mProfile.outputs[c];
        if (type > 0 && type <= kSpeakerPositions && channelAt[static_cast<size_t>(type)] < 0) {
            channelAt[static_cast<size_t>(type)] = c;
        }
    }
    for (int s = 1; s <= kSpeakerPositions; ++s) {
        const int c = channelAt[static_cast<size_t>(s)];
        Ctl& speaker = mControls.Indexed("speaker_%d", s);
        Ctl& delay = mControls.Indexed("spk_delay_%d", s);
        speaker.SetVisible(c >= 0);
        delay.SetVisible(c >= 0);
        if (c < 0) {
            continue;
        }
        speaker.SetSelected(c == mProfile.currOutChannel, false);
        speaker.SetText(std::to_string(c + 1));
        const float ms = mProfile.channels[c].delay;
        char text[32];
        if (unit == model::kDelayUnitMs) {
            std::snprintf(text, sizeof text, "%.3f", ms);
        } else {
            const float perMs = unit == model::kDelayUnitCm
                                    ? Cfg().mMAX_DELAY_CM / Cfg().mMAX_DELAY_MS
                                    : Cfg().mMAX_DELAY_INCH / Cfg().mMAX_DELAY_MS;
            std::snprintf(text, sizeof text, "%d", static_cast<int>(std::lround(ms * perMs)));
        }
        if (!delay.HasFocus()) {
            delay.SetText(text);
        }
    }
}

// Band type colours of the band columns; a column beyond the channel's
// bands is grey.
static uint32_t BandTypeColor(int type) {
    static const uint32_t kColors[] = {0x00666666, 0xFF0088FF, 0xFF00AEAE, 0xFF0000E3,
                                       0xFFFF0000, 0xFFFF8040, 0xFF8600FF, 0xFF666666};
    return type >= 0 && type < 8 ? kColors[type] : 0x00666666;
}

void EqualizerManager::ShowEqBands(int channel) {
    const int bands = mProfile.bandCount(channel);
    const bool bypassed = mProfile.channels[channel].bypass;
    const bool peq = mProfile.peqMode;
    const model::EqBand* band = mProfile.eqArray(channel);
    for (int b = 0; b < Cfg().mOUTPUT_EQ_NUMBER; ++b) {
        const bool used = band != nullptr && b < bands;
        const model::EqBand value = used ? band[b] : model::EqBand{0.0f, 0.0f, 0, false, 0};
        const bool gainShown = used && !bypassed && value.enable;
        const float gain = gainShown ? value.eqGain : 0.0f;
        const bool hasGain = used && value.type == 0;
        mControls.Indexed("eq_freq_%d", b).SetEnabled(used && peq);
        mControls.Indexed("eq_q_%d", b).SetEnabled(used && peq);
        mControls.Indexed("eq_gain_%d", b).SetEnabled(hasGain);
        mControls.Indexed("eq_slider_%d", b).SetEnabled(hasGain);
        mControls.Indexed("pt_enable_%d", b).SetEnabled(hasGain);
        mControls.Indexed("eq_freq_%d", b).SetText(std::to_string(value.freq));
        mControls.Indexed("eq_q_%d", b).SetText(used ? model::formatQText(value.eqFactor) : "0");
        mControls.Indexed("eq_gain_%d", b).SetText(model::formatBandGainText(gain));
        mControls.Indexed("eq_slider_%d", b).SetValue(static_cast<int>(std::lround(gain * 10.0f)));
        mControls.Indexed("pt_enable_%d", b).SetSelected(gain != 0.0f, false);
        mControls.Indexed("eq_container_%d", b)
            .SetBkColor(used ? BandTypeColor(value.type) : 0x00666666);
    }
}

void EqualizerManager::ShowRouting(int channel) {
    const int source = std::clamp(mProfile.source, 0, 9);
    const int rows = model::Profile::inputChannelCount(source);
    const uint32_t mask = static_cast<uint32_t>(mProfile.inputs[source][channel]);
    for (int i = 0; i < Cfg().mMAX_INPUT_CHANNEL_NUMBER; ++i) {
        Ctl& option = mControls.Indexed("option_ch_in%d_%d", i + 1, channel);
        const bool row = i < rows;
        option.SetVisible(row);
        option.SetEnabled(row);
        option.SetSelected(row && (mask >> i & 1u) != 0, false);
    }
}

void EqualizerManager::ShowBridge(int pair) {
    const bool on = mProfile.bridgeOutputs[static_cast<size_t>(pair)] != 0;
    mControls.Indexed("ch_bridge_%d", pair).SetSelected(on, false);
    mControls.Indexed("bridge_checkbox_%d", pair).SetSelected(on, false);
    mControls.Indexed("bridge_hl_%d", pair)
        .SetImage(on ? "ch_in_selected.png" : "ch_in_type_normal.png");
}

void EqualizerManager::SetReadProfileToView() {
    app::Log(">SetReadProfileToView\n");
    ShowSource();
    ShowMainVolume();
    ShowAcc();
    ShowSwitches();
    for (int c = 0; c < OutputCount(); ++c) {
        ShowOutputType(c);
        ShowTrim(c, static_cast<int>(std::lround(mProfile.channels[c].gain * 10.0f)));
        ShowMute(c);
        ShowSolo(c);
        ShowPhase(c);
        ShowDelay(c);
        ShowRouting(c);
    }
    app::Log("link_mode = %d", mProfile.linkMode);
    ShowLinks();
    for (int p = 0; p < OutputCount() / 2; ++p) {
        ShowBridge(p);
    }
    ShowSpeakerPositions();
    for (int c = 0; c < OutputCount(); ++c) {
        ComputeCurve(c);  // the curves of every output, for the chart
    }
    SetCurChannelChange(std::clamp(mProfile.currOutChannel, 0, OutputCount() - 1));
    app::Log("<SetReadProfileToView\n");
}

}  // namespace controller
