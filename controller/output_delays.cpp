// The delay of the output channels: typed, stepped and dragged in
// milliseconds, centimetres or inches, shown in the strip and on the car
// picture's speaker positions, passed to linked outputs and sent.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <vector>

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

}  // namespace

// ---- delay ----

int EqualizerManager::DelayUnit() {
    int unit = mControls("comb_ch_unit").SelectedIndex();
    return unit == model::kDelayUnitCm || unit == model::kDelayUnitInch ? unit
                                                                        : model::kDelayUnitMs;
}

std::string EqualizerManager::DelayText(float ms) {
    return model::formatDelayText(DelayUnit(), ms);
}

void EqualizerManager::SetChDelaySlider(int channel) {
    if (!IsOutput(channel)) {
        return;
    }
    float ms =
        static_cast<float>(mControls.Indexed("slider_ch_delay_%d", channel).Value()) / 1000.0f;
    // The slider moves in microseconds. In centimetres and inches a move of
    // less than half a unit (a wheel notch, an arrow key) would be rounded
    // back to where it was: it takes the delay one whole unit that way.
    const int unit = DelayUnit();
    const float before = mProfile.channels[channel].delay;
    if (ms != before && model::quantizeDelay(unit, ms) == before) {
        ms = model::stepDelay(unit, before, ms > before);
    }
    ApplyDelay(channel, ms, false);
}

void EqualizerManager::SetChDelayEdit(int channel, bool keepFocus) {
    if (!IsOutput(channel)) {
        return;
    }
    Ctl& edit = mControls.Indexed("edit_ch_delay_%d", channel);
    const std::optional<double> typed = model::leadingNumber(edit.Text());
    if (!typed) {
        ShowDelay(channel);  // not a number: the stored delay stays
        if (keepFocus) {
            edit.SetFocus();
            edit.SelectAllText();
        }
        return;
    }
    float ms = model::delayFromUnitValue(DelayUnit(), static_cast<float>(*typed));
    app::Log("%s %d ms_value = %d\n", edit.Name().c_str(), channel,
             static_cast<int>(std::lround(ms * 1000.0f)));
    ApplyDelay(channel, ms, keepFocus);
}

void EqualizerManager::SetChDelayUp(int channel, bool up) {
    app::Log("SetChDelayUp %d \n", up ? 1 : 0);
    if (!IsOutput(channel)) {
        return;
    }
    const float before = mProfile.channels[channel].delay;
    const float after = model::stepDelay(DelayUnit(), before, up);
    if (after == before) {
        return;
    }
    mControls.Indexed("slider_ch_delay_%d", channel)
        .SetValue(static_cast<int>(std::lround(after * 1000.0f)));
    ApplyDelay(channel, after, false);
}

void EqualizerManager::ApplyDelay(int channel, float ms, bool fromEdit) {
    const float oldDelay = mProfile.channels[channel].delay;
    mProfile.channels[channel].delay = model::quantizeDelay(DelayUnit(), ms);
    ShowDelay(channel);
    ShowSpeakerPositions();
    SendDelay(channel);
    if (fromEdit) {
        Ctl& edit = mControls.Indexed("edit_ch_delay_%d", channel);
        edit.SetFocus();
        edit.SelectAllText();
    }
    if (mProfile.channels[channel].delay != oldDelay) {
        PropagateDelay(channel, oldDelay);
    }
}

// The link partner and the other members of the link group follow a delay,
// keeping their differences when the model links with a delta.
void EqualizerManager::PropagateDelay(int channel, float oldDelay) {
    const float newDelay = mProfile.channels[channel].delay;
    std::vector<int> done = {channel};
    auto follow = [&](int target) {
        if (!IsOutput(target) || std::find(done.begin(), done.end(), target) != done.end()) {
            return;
        }
        done.push_back(target);
        model::Channel& other = mProfile.channels[target];
        const float value =
            Cfg().mLINK_CH_DELAY_WITH_DELTA ? other.delay + (newDelay - oldDelay) : newDelay;
        other.delay =
            model::quantizeDelay(DelayUnit(), std::clamp(value, 0.0f, Cfg().mMAX_DELAY_MS));
        ShowDelay(target);
        SendDelay(target);
    };
    const int partner = LinkPartner(channel);
    if (partner >= 0 && Cfg().mLINK_LR_CH_DELAY) {
        follow(partner);
    }
    if (Cfg().mLINK_SEL_CH_DELAY) {
        for (int member : LinkGroupMembers(channel, false)) {
            if (member != partner) {
                follow(member);
            }
        }
    }
    ShowSpeakerPositions();
}

void EqualizerManager::ShowDelaySlider(int channel) {
    for (int c = 0; c < OutputCount(); ++c) {
        mControls.Indexed("slider_ch_delay_%d", c).SetVisible(c == channel);
        mControls.Indexed("delay_lable_%d", c).SetVisible(c != channel);
    }
}

void EqualizerManager::HideDelaySliders() {
    for (int c = 0; c < OutputCount(); ++c) {
        mControls.Indexed("slider_ch_delay_%d", c).SetVisible(false);
        mControls.Indexed("delay_lable_%d", c).SetVisible(true);
    }
}

// ---- speaker positions of the car picture ----

int EqualizerManager::CurrentSpeakerPosition() const {
    int type = mProfile.outputs[static_cast<size_t>(mProfile.currOutChannel)];
    return type > 0 && type <= model::kMaxOutputType ? type : 0;
}

void EqualizerManager::SetSpeakerDelayEdit(int position) {
    int channel = -1;
    for (int c = 0; c < OutputCount(); ++c) {
        if (mProfile.outputs[c] == position) {
            channel = c;
            break;
        }
    }
    if (channel < 0) {
        return;  // nobody plays at this position
    }
    Ctl& edit = mControls.Indexed("spk_delay_%d", position);
    const int unit = DelayUnit();
    const std::optional<double> typed = model::leadingNumber(edit.Text());
    if (!typed) {
        ShowSpeakerPositions();  // not a number: the stored delay stays
        return;
    }
    float ms = model::delayFromUnitValue(unit, static_cast<float>(*typed));
    app::Log("speaker %d channel %d delay edit value %.3f\n", position, channel, ms);
    const float oldDelay = mProfile.channels[channel].delay;
    mProfile.channels[channel].delay = ms;
    ShowDelay(channel);
    ShowSpeakerPositions();
    if (ms != oldDelay) {
        PropagateDelay(channel, oldDelay);
    }
    SendDelay(channel);
}

void EqualizerManager::StepSpeakerDelay(int position, bool up) {
    for (int c = 0; c < OutputCount(); ++c) {
        if (mProfile.outputs[c] == position && position > 0) {
            SetChDelayUp(c, up);
            return;
        }
    }
}

void EqualizerManager::SetSpeakerFocus(int position) {
    app::Log("on %s index %d\n", "EqualizerManager::SetSpeakerFocus", position);
    for (int c = 0; c < OutputCount(); ++c) {
        if (mProfile.outputs[c] == position && position > 0) {
            SetCurChannelChange(c);
            mControls.Indexed("spk_delay_%d", position).SetFocus();
            return;
        }
    }
}

void EqualizerManager::OnDelayUnitChanged() {
    app::Log("on eq comb_ch_unit valuechanged\n");
    for (int c = 0; c < OutputCount(); ++c) {
        ShowDelay(c);
    }
    ShowSpeakerPositions();
}

}  // namespace controller
