#include "jobs/reply_applier.h"

#include <algorithm>
#include <cmath>

#include "app/log.h"
#include "app/model_cfg.h"
#include "device/device_records.h"
#include "device/dsp_subcommands.h"
#include "device/mcu_subcommands.h"
#include "device/window_messages.h"

namespace jobs {
namespace {

using RecordPtr = std::unique_ptr<platform::PostedRecord>;

constexpr int kFirstSourceCode = 81;
constexpr int kLowLevelSource = 4;
constexpr int kGainCodeOffset = 32;
constexpr float kLowestTrimDb = -60.0f;
constexpr int kKtvValues = 10;

const app::ModelCfg& Cfg() {
    return app::CurrentModelCfg();
}

template <typename T>
const T* Rec(const RecordPtr& record) {
    return platform::RecordValue<T>(record);
}

bool IsOutput(int channel) {
    return channel >= 0 && channel < Cfg().mOUT_CHANNEL_NUMBER;
}

// 81..84 are sources 0..3 and 86..90 sources 5..9; anything else (85 too) is
// the low-level input.
int SourceOfCode(int code) {
    if ((code >= 81 && code <= 84) || (code >= 86 && code <= 90)) {
        return code - kFirstSourceCode;
    }
    return kLowLevelSource;
}

}  // namespace

model::Profile* ReplyTargets::Of(int scene) const {
    if (scene == 0) {
        return working;
    }
    if (scene >= 1 && scene <= model::kStoredScenes) {
        return &scenes[static_cast<size_t>(scene - 1)];
    }
    return nullptr;
}

ReplyTargets TargetsOf(DeviceProfiles& profiles) {
    return {&profiles.working, profiles.scenes};
}

model::Profile* ApplyFilterReport(const ReplyTargets& to, const device::FilterRecord& r) {
    model::Profile* p = to.Of(r.scene);
    if (p == nullptr || !IsOutput(r.channel)) {
        return nullptr;
    }
    p->setHpFreq(r.channel, r.hp_freq);
    p->setHpSlope(r.channel, r.hp_slope);
    p->setHpType(r.channel, r.hp_type);
    p->setLpFreq(r.channel, r.lp_freq);
    p->setLpSlope(r.channel, r.lp_slope);
    p->setLpType(r.channel, r.lp_type);
    return p;
}

model::Profile* ApplyEqBandReport(const ReplyTargets& to, const device::EqBandRecord& r) {
    model::Profile* p = to.Of(r.scene);
    if (p == nullptr || !IsOutput(r.channel) || r.band < 0 || r.band >= p->bandCount(r.channel)) {
        return nullptr;
    }
    model::EqBand& band = p->eqArray(r.channel)[r.band];
    band.eqGain = r.type != 0 ? 0.0f : r.gain;
    band.eqFactor = r.q;
    band.freq = r.frequency;
    band.type = static_cast<uint8_t>(r.type);
    if (p == to.working) {
        band.enable = true;
    }
    return p;
}

model::Profile* ApplyDelayReport(const ReplyTargets& to, const device::ChannelFloatRecord& r) {
    model::Profile* p = to.Of(r.scene);
    if (p == nullptr || !IsOutput(r.channel)) {
        return nullptr;
    }
    p->channels[r.channel].delay = r.value;
    return p;
}

model::Profile* ApplyStoredTrimReport(const ReplyTargets& to, const device::ChannelFloatRecord& r) {
    model::Profile* p = to.Of(r.scene);
    if (p == nullptr || p == to.working || !IsOutput(r.channel)) {
        return nullptr;
    }
    p->channels[r.channel].gain = std::clamp(r.value, kLowestTrimDb, 0.0f);
    return p;
}

model::Profile* ApplyChannelValueReport(const ReplyTargets& to, uint8_t sub,
                                        const device::ChannelValueRecord& r) {
    using namespace device;
    model::Profile* p = to.Of(r.scene);
    if (p == nullptr || !IsOutput(r.channel)) {
        return nullptr;
    }
    model::Channel& ch = p->channels[r.channel];
    switch (sub) {
        case DSP_MUTE_CH:
            ch.mute = r.value;
            break;
        case DSP_PHASE_CH:
            ch.phase = static_cast<int8_t>(r.value);
            break;
        case DSP_CH_SOLO:
            ch.solo = r.value;
            break;
        case DSP_EQ_BYPASS:
            ch.bypass = r.value != 0;
            break;
        case DSP_CH_TYPE:
            p->outputs[r.channel] = p->outputs_bk[r.channel] = r.value;
            break;
        case DSP_COMPRESSOR_ON_CH:
            ch.compressorOn = r.value != 0;
            break;
        default:
            return nullptr;
    }
    return p;
}

model::Profile* ApplyLinkReport(const ReplyTargets& to, const device::LinkRecord& r) {
    if (r.scene >= 1 && r.scene <= model::kStoredScenes) {
        model::Profile* p = to.Of(r.scene);
        p->linkMode = r.link == 1;
        return p;
    }
    if (r.scene != 0) {
        return nullptr;
    }
    model::Profile& p = *to.working;
    const int n = Cfg().mOUT_CHANNEL_NUMBER;
    p.linkOutputs.fill(-1);
    if (r.link != 1) {
        p.linkMode = 0;
        return &p;
    }
    p.linkMode = 1;
    p.lockMode = 1;
    for (int i = 0; i < r.pairCount && i < n / 2 && i < static_cast<int>(r.pairs.size()); ++i) {
        const int from = r.pairs[static_cast<size_t>(i)] >> 4;
        const int to = r.pairs[static_cast<size_t>(i)] & 0x0F;
        if (from != to && from < n && to < n) {
            p.linkOutputs[from] = to;
            p.linkOutputs[to] = from;
        }
    }
    return &p;
}

model::Profile* ApplyMixMaskReport(const ReplyTargets& to, const device::MixMaskRecord& r) {
    model::Profile* p = to.Of(r.scene);
    if (p == nullptr || !IsOutput(r.channel) || r.source < 0 || r.source >= model::kSourceCount) {
        return nullptr;
    }
    p->inputs[r.source][r.channel] = static_cast<int32_t>(r.mask);
    return p;
}

model::Profile* ApplyInputMixTrimReport(const ReplyTargets& to,
                                        const device::InputMixTrimRecord& r) {
    model::Profile* p = to.Of(r.scene);
    if (p == nullptr || r.source < 0 || r.source >= model::kSourceCount || r.inputChannel < 0 ||
        r.inputChannel >= model::kSourceColumns) {
        return nullptr;
    }
    for (int o = std::max(r.firstOutput, 0); o <= r.lastOutput && o < model::kSourceColumns; ++o) {
        const int index = o - r.firstOutput;
        if (index < 0 || index >= device::kRecordChannels) {
            break;
        }
        // The level is kept as the device plays it: a routed input the user
        // turned down to 0 reads back as 0, not as full level. Only switching
        // a point on raises a stored 0 (input routing and the mixer).
        p->inputMixVolume[r.source][r.inputChannel][o] = r.trims[static_cast<size_t>(index)];
    }
    return p;
}

model::Profile* ApplyCompressorReport(const ReplyTargets& to, const device::CompressorRecord& r,
                                      bool secondType) {
    model::Profile* p = to.Of(r.scene);
    if (p == nullptr || !IsOutput(r.channel)) {
        return nullptr;
    }
    const auto c = static_cast<size_t>(r.channel);
    p->compressorNoise[c] = r.threshold;
    p->compressorAttack[c] = r.attack;
    p->compressorRelease[c] = r.release;
    if (!secondType) {
        p->compressorBypass[c] = r.bypass;
        p->compressorRatio[c] = r.ratio;
        p->compressorSoftKnee[c] = r.knee;
    }
    return p;
}

model::Profile* ApplyCrossMixReport(const ReplyTargets& to, const device::CrossMixRecord& r,
                                    bool cs47048) {
    const app::ModelCfg& cfg = Cfg();
    if (!cfg.mENABLE_CROSS_SOURCE_MIX && cfg.mSPLIT_CROSS_SOURCE_MIX_CH < 1) {
        return nullptr;
    }
    const int limit =
        cfg.mMAX_INPUT_CHANNEL_NUMBER + (cs47048 ? cfg.mSPLIT_CROSS_SOURCE_MIX_CH : 0);
    model::Profile* p = to.Of(r.scene);
    // The rows end with the arrays whatever the model record says.
    if (p == nullptr || r.channel >= limit || r.channel >= model::kSourceColumns ||
        r.source >= model::kSourceCount) {
        return nullptr;
    }
    p->csmViceSource[r.source][r.channel] = r.viceSource;
    p->csmViceCh[r.source][r.channel] = r.viceChannel;
    p->csmViceGain[r.source][r.channel] = r.viceGain - kGainCodeOffset;
    return p;
}

model::Profile* ApplyBridgeReport(const ReplyTargets& to, const device::BridgeRecord& r) {
    model::Profile* p = to.Of(r.scene);
    if (p == nullptr) {
        return nullptr;
    }
    const int pairs = std::min(Cfg().mOUT_CHANNEL_NUMBER / 2, model::kBridgePairs);
    for (int i = 0; i < r.count && i < pairs && i < static_cast<int>(r.bridges.size()); ++i) {
        p->bridgeOutputs[i] = r.bridges[static_cast<size_t>(i)] != 0 ? 1 : 0;
    }
    return p;
}

void ApplyHandshakeReport(model::Profile& working, const device::HandshakeRecord& r) {
    working.deviceModel = r.model;
    working.fwMainVersion = r.masterVersion;
    working.fwSlaveVersion = r.slaveVersion;
}

void ApplyFlashVersionReport(model::Profile& working, const device::FlashVersionRecord& r) {
    for (size_t i = 0; i < working.flashVersion.size(); ++i) {
        working.flashVersion[i] = r.version[i];
    }
}

void ApplyKtvReport(model::Profile& working, uint8_t sub, int value) {
    model::Profile& p = working;
    int32_t* fields[kKtvValues] = {
        &p.micVolume,   &p.bgmusicVolume, &p.howlingControl, &p.echoLevel, &p.echoDelay,
        &p.reverbLevel, &p.reverbTime,    &p.voiceChanger,   &p.bass,      &p.treble};
    if (sub >= 1 && sub <= kKtvValues) {
        *fields[sub - 1] = value;
    }
}

namespace {

// A working trim as the program's trim path keeps it: whole tenths of a dB.
void ApplyWorkingTrim(DeviceProfiles& all, const device::ChannelFloatRecord& r) {
    if (r.scene != 0 || !IsOutput(r.channel)) {
        ApplyStoredTrimReport(TargetsOf(all), r);
        return;
    }
    const float tenths = std::round(std::clamp(r.value, kLowestTrimDb, 0.0f) * 10.0f);
    all.working.channels[r.channel].gain = tenths / 10.0f;
}

// Applies the record when it is of type T.
template <typename T, typename Apply>
bool With(const RecordPtr& record, Apply apply) {
    if (const T* r = Rec<T>(record)) {
        apply(*r);
    }
    return true;
}

// The values that have a record; false when sub is not one of them.
bool ApplyDspRecord(DeviceProfiles& all, uint8_t sub, const RecordPtr& record) {
    using namespace device;
    const ReplyTargets to = TargetsOf(all);
    switch (sub) {
        case DSP_FILTER_SET:
            return With<FilterRecord>(record, [&](auto& r) { ApplyFilterReport(to, r); });
        case DSP_EQ_CH:
            return With<EqBandRecord>(record, [&](auto& r) { ApplyEqBandReport(to, r); });
        case DSP_DELAY_CH:
            return With<ChannelFloatRecord>(record, [&](auto& r) { ApplyDelayReport(to, r); });
        case DSP_TRIM_CH:
            return With<ChannelFloatRecord>(record, [&](auto& r) { ApplyWorkingTrim(all, r); });
        case DSP_MUTE_CH:
        case DSP_PHASE_CH:
        case DSP_CH_SOLO:
        case DSP_EQ_BYPASS:
        case DSP_CH_TYPE:
        case DSP_COMPRESSOR_ON_CH:
            return With<ChannelValueRecord>(record,
                                            [&](auto& r) { ApplyChannelValueReport(to, sub, r); });
        case DSP_MIX_CH:
            return With<MixMaskRecord>(record, [&](auto& r) { ApplyMixMaskReport(to, r); });
        case DSP_CH_LINK:
            return With<LinkRecord>(record, [&](auto& r) { ApplyLinkReport(to, r); });
        case DSP_INPUT_MIX_CH_TRIM:
            return With<InputMixTrimRecord>(record,
                                            [&](auto& r) { ApplyInputMixTrimReport(to, r); });
        case DSP_COMPRESSOR_SETTING:
        case DSP_COMPRESSOR_SETTING2:
            return With<CompressorRecord>(record, [&](auto& r) {
                ApplyCompressorReport(to, r, sub == DSP_COMPRESSOR_SETTING2);
            });
        case DSP_CROSS_SOURCE_MIX:
        case DSP_CROSS_SOURCE_MIX_CS47048:
            return With<CrossMixRecord>(record, [&](auto& r) {
                ApplyCrossMixReport(to, r, sub == DSP_CROSS_SOURCE_MIX_CS47048);
            });
        case DSP_OUPUT_BRIDGE:
            return With<BridgeRecord>(record, [&](auto& r) { ApplyBridgeReport(to, r); });
        case DSP_REM_OUT:
            return With<RemOutRecord>(record, [&](auto& r) {
                all.working.remOut1On = r.remOut1 != 0;
                all.working.remOut2On = r.remOut2 != 0;
            });
        case DSP_SPK_OHM13_21:
            return With<SpkOhm13_21Record>(record, [&](auto& r) {
                all.working.spkOhm13 = r.ohm13 != 0;
                all.working.spkOhm21 = r.ohm21 != 0;
            });
        default:
            return false;
    }
}

// The working state's plain values.
void ApplyDspValue(DeviceProfiles& all, uint8_t sub, int v) {
    using namespace device;
    model::Profile& p = all.working;
    switch (sub) {
        case DSP_SOURCE_SWITCH:
            p.source = SourceOfCode(v);
            break;
        case DSP_VOLUME:
            all.mainVolumeReported = true;
            all.mainVolumeDb = v;
            break;
        case DSP_MUTE:
            p.mainVolumeMute = v;
            break;
        case DSP_INPUT_THRESHOLD:
            p.inputThreshold = v;
            break;
        case DSP_AMP_MUTE:
            p.ampOn = v == 0 ? 1 : 0;
            break;
        case DSP_SPK_OHM:
            p.spkOhm = v != 0;
            break;
        case DSP_NOISE_GATE:
            p.noiseGate = v;
            break;
        case DSP_NOISE_GATE_DRC_GAIN:
            p.noiseGateDrcGain = static_cast<float>(v - kGainCodeOffset);
            break;
        case DSP_NOISE_GATE_THRESHOLD:
            p.noiseGateThreshold = -30.0f - 1.5f * static_cast<float>(v);
            break;
        default:
            break;
    }
}

void ApplyMcuReply(DeviceProfiles& all, uint8_t sub, int v, const RecordPtr& record) {
    using namespace device;
    model::Profile& p = all.working;
    switch (sub) {
        case MCU_HANDSHAKE:
            if (const auto* r = Rec<HandshakeRecord>(record)) {
                ApplyHandshakeReport(p, *r);
            }
            break;
        case MCU_GET_DSPFLASH_VER:
            if (const auto* r = Rec<FlashVersionRecord>(record)) {
                ApplyFlashVersionReport(p, *r);
            }
            break;
        case MCU_POWER_OFF_DELAY:
            p.powerOffDelay = static_cast<uint32_t>(v);
            break;
        case MCU_ACC:
            p.acc = v;
            break;
        default:
            break;
    }
}

void ApplySceneReply(DeviceProfiles& all, uint8_t sub, const RecordPtr& record) {
    if (sub == device::FLASH_SCENE_NAME) {
        const auto* r = Rec<device::SceneNameRecord>(record);
        if (r != nullptr && r->sceneIndex >= 0 && r->sceneIndex < model::kStoredScenes) {
            model::SceneName& name = all.names[static_cast<size_t>(r->sceneIndex)];
            name.fill(0);
            std::copy_n(r->name.begin(), std::min(name.size(), r->name.size()), name.begin());
        }
    } else if (sub == device::FLASH_SCENE_VALID) {
        if (const auto* r = Rec<device::SceneValidRecord>(record)) {
            all.storedMask = static_cast<uint32_t>(r->mask);
        }
    }
}

}  // namespace

void ApplyPostedReply(DeviceProfiles& profiles, uint32_t message, uintptr_t wParam, intptr_t lParam,
                      const RecordPtr& record) {
    const auto sub = static_cast<uint8_t>(wParam);
    const int v = static_cast<int>(lParam);
    switch (message) {
        case device::WM_READ_DSP_VALUE:
            if (!ApplyDspRecord(profiles, sub, record)) {
                ApplyDspValue(profiles, sub, v);
            }
            break;
        case device::WM_READ_MCU_VALUE:
            ApplyMcuReply(profiles, sub, v, record);
            break;
        case device::WM_READ_FLASH_VALUE:
            ApplySceneReply(profiles, sub, record);
            break;
        case device::WM_READ_KTV_VALUE:
            ApplyKtvReport(profiles.working, sub, v);
            break;
        default:
            break;
    }
}

}  // namespace jobs
