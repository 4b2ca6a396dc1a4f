// The commands that carry an output channel's values to the amplifier. All go
// through the link's queue (never sent while the queue is off, as during
// the first synchronisation).
#include <algorithm>
#include <vector>

#include "app/model_cfg.h"
#include "controller/equalizer_manager.h"

namespace controller {
namespace {

const app::ModelCfg& Cfg() {
    return app::CurrentModelCfg();
}

// Queued: the user's changes never wait for the device.
constexpr bool kQueued = false;
constexpr uint8_t kLowPass = 1;
constexpr uint8_t kHighPass = 2;

}  // namespace

void EqualizerManager::SendTrim(int channel) {
    const float trim[] = {mProfile.channels[channel].gain};
    mDeviceLink->Trim_Ctrl(RangeOf(channel), trim, kQueued);
}

void EqualizerManager::SendMute(int channel) {
    const uint8_t mute[] = {static_cast<uint8_t>(mProfile.channels[channel].mute != 0)};
    mDeviceLink->Mute_Ch_Ctrl(RangeOf(channel), mute, kQueued);
}

void EqualizerManager::SendPhase(int channel) {
    const uint8_t phase[] = {static_cast<uint8_t>(mProfile.channels[channel].phase != 0)};
    mDeviceLink->Phase_Ctrl(RangeOf(channel), phase, kQueued);
}

void EqualizerManager::SendSolos() {
    const int n = Cfg().mOUT_CHANNEL_NUMBER;
    std::vector<uint8_t> solos(static_cast<size_t>(n));
    for (int c = 0; c < n; ++c) {
        solos[static_cast<size_t>(c)] = static_cast<uint8_t>(mProfile.channels[c].solo != 0);
    }
    device::ChannelRange range{static_cast<uint8_t>(mProfile.scene), 0, 0,
                               static_cast<uint8_t>(n - 1)};
    mDeviceLink->Solo_Ctrl(range, solos, kQueued);
}

void EqualizerManager::SendDelay(int channel) {
    const float delay[] = {mProfile.channels[channel].delay};
    mDeviceLink->Delay_Ctrl(RangeOf(channel), delay, kQueued);
}

void EqualizerManager::SendType(int channel) {
    const uint8_t type[] = {static_cast<uint8_t>(mProfile.outputs[channel])};
    mDeviceLink->CH_Type_Ctrl(RangeOf(channel), type, kQueued);
}

void EqualizerManager::SendFilters(int channel) {
    SendFilter(channel, true);
    SendFilter(channel, false);
}

void EqualizerManager::SendFilter(int channel, bool highPass) {
    const model::Crossover& x = mProfile.channels[channel].crossover;
    const model::FilterSection& f = highPass ? x.hp : x.lp;
    mDeviceLink->Filter_Ctrl(static_cast<uint8_t>(mProfile.scene), 0, static_cast<uint8_t>(channel),
                             highPass ? kHighPass : kLowPass, static_cast<uint8_t>(f.type), f.fs,
                             static_cast<uint8_t>(f.slope), kQueued);
}

void EqualizerManager::SendBridges() {
    const int pairs = Cfg().mOUT_CHANNEL_NUMBER / 2;
    std::vector<uint8_t> bridges(static_cast<size_t>(pairs));
    for (int p = 0; p < pairs; ++p) {
        bridges[static_cast<size_t>(p)] = static_cast<uint8_t>(mProfile.bridgeOutputs[p] != 0);
    }
    mDeviceLink->Output_Bridge_Ctrl(static_cast<uint8_t>(mProfile.scene), 0, bridges, kQueued);
}

void EqualizerManager::SendEqBands(int channel) {
    for (int b = 0; b < mProfile.bandCount(channel); ++b) {
        SendEqBand(channel, b);
    }
}

// A disabled band sends gain 0; the device takes Q 0.5..9, gain -18..12 dB.
void EqualizerManager::SendEqBand(int channel, int band) {
    const model::EqBand* bands = mProfile.eqArray(channel);
    if (bands == nullptr || band < 0 || band >= mProfile.bandCount(channel)) {
        return;
    }
    const model::EqBand& b = bands[band];
    const float gain = b.enable ? std::clamp(b.eqGain, -18.0f, 12.0f) : 0.0f;
    mDeviceLink->EQ_Ctrl(static_cast<uint8_t>(mProfile.scene), 0, static_cast<uint8_t>(channel),
                         static_cast<uint8_t>(band),
                         std::clamp(b.freq, app::CurrentModelCfg().mEQ_FREQ_MIN, 20000),
                         std::clamp(b.eqFactor, 0.5f, 9.0f), gain, b.type, kQueued);
}

void EqualizerManager::SendBypass(int channel) {
    const uint8_t bypass[] = {static_cast<uint8_t>(mProfile.channels[channel].bypass)};
    mDeviceLink->PEQ_Bypass_Ctrl(RangeOf(channel), bypass, kQueued);
}

// The routing of one output for every source, and its mixer volumes for the
// inputs each source has.
void EqualizerManager::SendMixer(int channel) {
    const uint8_t scene = static_cast<uint8_t>(mProfile.scene);
    const uint8_t c = static_cast<uint8_t>(channel);
    for (int s = 0; s < model::kSourceCount; ++s) {
        const uint32_t mask[] = {static_cast<uint32_t>(mProfile.inputs[s][channel])};
        mDeviceLink->Mix_Ch_Ctrl({scene, static_cast<uint8_t>(s), c, c}, mask, kQueued);
        const int inputs = model::Profile::inputChannelCount(s);
        for (int k = 0; k < inputs; ++k) {
            const uint8_t volume[] = {static_cast<uint8_t>(mProfile.inputMixVolume[s][k][channel])};
            mDeviceLink->Input_Mix_Trim_Ctrl(scene, static_cast<uint8_t>(s),
                                             static_cast<uint8_t>(k), c, c, volume, kQueued);
        }
    }
}

}  // namespace controller
