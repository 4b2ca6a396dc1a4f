// The mixer's cross-source rows: each mixes one channel of another source
// (or nothing) into the current source. The combos' items carry the choice
// as source x 100 + channel ("0401" is channel 1 of the low-level input,
// "1000" nothing). The two rows play a stereo pair of one source: choosing a
// channel in one row moves the other row to the neighbouring channel.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/log.h"
#include "app/model_cfg.h"
#include "controller/equalizer_manager.h"
#include "controller/mixer.h"

namespace controller {
namespace {

const app::ModelCfg& Cfg() {
    return app::CurrentModelCfg();
}

constexpr int kHiLevelSource = 5;
constexpr int kGainCodeOffset = 32;
// The device reports a source as its code 81..90.
constexpr int kFirstSourceCode = 81;

int SourceIndexOf(int stored) {
    return stored >= kFirstSourceCode ? stored - kFirstSourceCode : stored;
}

std::string Tag(int source, int channel) {
    char tag[16];
    std::snprintf(tag, sizeof tag, "%02d%02d", source, channel);
    return tag;
}

int ItemOfTag(toolkit::ControlHandle& combo, const std::string& tag) {
    for (int i = 0; i < combo.ItemCount(); ++i) {
        if (combo.ItemUserData(i) == tag) {
            return i;
        }
    }
    return -1;
}

}  // namespace

void Mixer::FillCrossSource() {
    const model::Profile& profile = mManager.WorkingProfile();
    const int rows = Cfg().mSPLIT_CROSS_SOURCE_MIX_CH;
    for (int k = 0; k < kMixerRows - mRowLimit; ++k) {
        toolkit::ControlHandle& combo = mControls.Indexed("cmb_csm_vice_source_%d", k);
        toolkit::ControlHandle& gain = mControls.Indexed("csm_vice_gain_edit_%d", k);
        const bool shown = mCrossSource && k < rows;
        combo.SetVisible(shown);
        // The gain of a cross-source row is neither sent nor editable where
        // the rows are split channels: showing its stored code would mislead.
        gain.SetVisible(shown && Cfg().mENABLE_CROSS_SOURCE_MIX);
        for (const char* format : {"line_0_%d", "line_1_%d", "arrow_up_%d"}) {
            mControls.Indexed(format, k).SetVisible(shown);
        }
        if (!shown) {
            continue;
        }
        const int index = CrossIndex(k);
        const int source = SourceIndexOf(profile.csmViceSource[mSource][index]);
        const int item = ItemOfTag(combo, Tag(source, profile.csmViceCh[mSource][index]));
        if (item >= 0) {
            combo.SelectItem(item, false);
        }
        char text[16];
        std::snprintf(text, sizeof text, "%ddB", profile.csmViceGain[mSource][index]);
        gain.SetText(text);
    }
}

void Mixer::OnCrossSourceChoice(int k) {
    if (!mCrossSource || k < 0 || k >= Cfg().mSPLIT_CROSS_SOURCE_MIX_CH) {
        return;
    }
    toolkit::ControlHandle& combo = mControls.Indexed("cmb_csm_vice_source_%d", k);
    const int selected = combo.SelectedIndex();
    if (selected < 0) {
        return;
    }
    const std::string data = combo.ItemUserData(selected);
    char* end = nullptr;
    const long value = std::strtol(data.c_str(), &end, 10);
    if (end == data.c_str() || value < 0) {
        app::Log("SetCSMViceSourceCombox: item \"%s\" carries no choice\n", data.c_str());
        return;
    }
    const int viceSource = std::min(static_cast<int>(value / 100), kNoCrossSource);
    const int viceChannel = static_cast<int>(value % 100);
    model::Profile& profile = mManager.WorkingProfile();
    const int index = CrossIndex(k);
    profile.csmViceSource[mSource][index] = viceSource;
    profile.csmViceCh[mSource][index] = viceChannel;
    const int gain = profile.csmViceGain[mSource][index];
    app::Log("SetCSMViceSourceCombox set in_ch %d(%d) mix source: %d, ch: %d, gain: %d\n", k, index,
             viceSource, viceChannel, gain);
    int gainCode = 0;
    if (Cfg().mENABLE_CROSS_SOURCE_MIX) {
        char text[16];
        std::snprintf(text, sizeof text, "%ddB", gain);
        mControls.Indexed("csm_vice_gain_edit_%d", k).SetText(text);
        gainCode = gain + kGainCodeOffset;
    }
    device::DeviceLink& link = mManager.Link();
    const uint8_t s = static_cast<uint8_t>(mSource);
    if (Cfg().mMXIER_CMD_FORMAT_CS47048) {
        link.Cross_Source_Mix_Ctrl_CS47048(0, s, static_cast<uint8_t>(viceSource),
                                           static_cast<uint8_t>(viceChannel),
                                           static_cast<uint8_t>(index), false);
    } else {
        link.Cross_Source_Mix_Ctrl(0, s, static_cast<uint8_t>(k), static_cast<uint8_t>(viceSource),
                                   static_cast<uint8_t>(viceChannel),
                                   static_cast<uint8_t>(gainCode), false);
    }
    if (Cfg().mFORCE_SPLIT_CROSS_SOURCE_MIX_SAME_SOURCE && viceSource < kNoCrossSource) {
        PairCrossSourceRows(k, viceSource, viceChannel);
    }
    combo.SetFocus();
}

// The other row follows to the same source on the neighbouring channel when
// it plays another source or the same channel; a row that mixes nothing
// stays so.
void Mixer::PairCrossSourceRows(int k, int viceSource, int viceChannel) {
    const int other = k <= 0 ? 1 : 0;
    if (other >= Cfg().mSPLIT_CROSS_SOURCE_MIX_CH) {
        return;
    }
    const model::Profile& profile = mManager.WorkingProfile();
    const int otherIndex = CrossIndex(other);
    const int otherSource = SourceIndexOf(profile.csmViceSource[mSource][otherIndex]);
    const int otherChannel = profile.csmViceCh[mSource][otherIndex];
    if (otherSource == kNoCrossSource ||
        (otherSource == viceSource && otherChannel != viceChannel)) {
        return;
    }
    int channel = viceChannel <= 0 ? 1 : 0;
    if (mSource == kHiLevelSource && viceSource == kHiLevelSource) {
        channel = viceChannel == 7 ? 6 : 7;
    }
    if (SelectCrossSourceItem(other, viceSource, channel)) {
        OnCrossSourceChoice(other);
    }
}

bool Mixer::SelectCrossSourceItem(int k, int viceSource, int viceChannel) {
    toolkit::ControlHandle& combo = mControls.Indexed("cmb_csm_vice_source_%d", k);
    const std::string tag = Tag(viceSource, viceChannel);
    const int item = ItemOfTag(combo, tag);
    if (item < 0) {
        app::Log("WARNING: no combox item found for %s\n", tag.c_str());
        return false;
    }
    combo.SelectItem(item, false);
    return true;
}

}  // namespace controller
