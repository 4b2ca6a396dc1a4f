// What the device reports: each value lands in the working profile (scene 0,
// with its view) or in a stored scene's profile (scenes 1..10, no view).
#include <cmath>
#include <cstdio>
#include <string>

#include "app/log.h"
#include "app/model_cfg.h"
#include "controller/controller_messages.h"
#include "controller/equalizer_manager.h"
#include "device/dsp_subcommands.h"
#include "device/mcu_subcommands.h"
#include "jobs/reply_applier.h"
#include "model/scene_name_codec.h"
#include "model/units.h"

namespace controller {
namespace {

const app::ModelCfg& Cfg() {
    return app::CurrentModelCfg();
}

constexpr int kFirstSourceCode = 81;
constexpr int kLowLevelSource = 4;
constexpr int kGainCodeOffset = 32;

template <typename T>
const T* Rec(const std::unique_ptr<platform::PostedRecord>& record) {
    return platform::RecordValue<T>(record);
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

model::Profile* EqualizerManager::ProfileOfScene(int scene) {
    if (scene == 0) {
        return &mProfile;
    }
    if (scene >= 1 && scene <= 10) {
        return &mSceneProfiles[static_cast<size_t>(scene)];
    }
    return nullptr;
}

jobs::ReplyTargets EqualizerManager::ReportTargets() {
    return {&mProfile, std::span<model::Profile, model::kStoredScenes>(mSceneProfiles.data() + 1,
                                                                       model::kStoredScenes)};
}

bool EqualizerManager::IsOutput(int channel) const {
    return channel >= 0 && channel < Cfg().mOUT_CHANNEL_NUMBER;
}

void EqualizerManager::ReadDspValueCallback(uint8_t sub, intptr_t value,
                                            const std::unique_ptr<platform::PostedRecord>& record) {
    app::Log("ReadDspValueCallback 0x%02x\n", sub);
    using namespace device;
    const int v = static_cast<int>(value);
    switch (sub) {
        case DSP_SOURCE_SWITCH:
            OnSourceReport(v);
            break;
        case DSP_VOLUME:
            OnMainVolumeReport(v);
            break;
        case DSP_MUTE:
            mProfile.mainVolumeMute = v;
            mControls("main_mute").SetSelected(v != 0, false);
            break;
        case DSP_FILTER_SET:
            if (const auto* r = Rec<FilterRecord>(record)) {
                OnFilterReport(*r);
            }
            break;
        case DSP_EQ_CH:
            if (const auto* r = Rec<EqBandRecord>(record)) {
                OnEqBandReport(*r);
            }
            break;
        case DSP_DELAY_CH:
            if (const auto* r = Rec<ChannelFloatRecord>(record)) {
                model::Profile* p = jobs::ApplyDelayReport(ReportTargets(), *r);
                if (p != nullptr) {
                    app::Log("update UI ch_delay->ch = %d, Delay %.3f\n", r->channel, r->value);
                    if (p == &mProfile) {
                        ShowDelay(r->channel);
                    }
                }
            }
            break;
        case DSP_TRIM_CH:
            if (const auto* r = Rec<ChannelFloatRecord>(record)) {
                model::Profile* p = ProfileOfScene(r->scene);
                if (p == &mProfile && IsOutput(r->channel)) {
                    OnTrimReport(r->channel, r->value);
                } else {
                    jobs::ApplyStoredTrimReport(ReportTargets(), *r);
                }
            }
            break;
        case DSP_MUTE_CH:
        case DSP_PHASE_CH:
        case DSP_CH_SOLO:
        case DSP_EQ_BYPASS:
            if (const auto* r = Rec<ChannelValueRecord>(record)) {
                model::Profile* p = jobs::ApplyChannelValueReport(ReportTargets(), sub, *r);
                if (p == nullptr) {
                    break;
                }
                const model::Channel& ch = p->channels[r->channel];
                if (sub == DSP_PHASE_CH) {
                    app::Log("channel %d phase seleted %d\n", r->channel, r->value);
                } else if (sub == DSP_CH_SOLO) {
                    app::Log("channel %d solo seleted %d\n", r->channel, r->value);
                }
                if (p != &mProfile) {
                    break;
                }
                // Mute, phase and solo go through the user's own paths, which
                // also send the value back once; the queue is off while the
                // first synchronisation runs.
                if (sub == DSP_MUTE_CH) {
                    ApplyMute(r->channel, ch.mute != 0);
                } else if (sub == DSP_PHASE_CH) {
                    ApplyPhase(r->channel, ch.phase != 0);
                } else if (sub == DSP_CH_SOLO) {
                    ShowSolo(r->channel);
                } else {
                    if (r->channel == mProfile.currOutChannel) {
                        ShowBypassButton(ch.bypass);
                        ShowEqBands(r->channel);
                    }
                    UpdateCurveOf(r->channel);
                }
            }
            break;
        case DSP_MIX_CH:
            if (const auto* r = Rec<MixMaskRecord>(record)) {
                OnMixMaskReport(*r);
            }
            break;
        case DSP_CH_TYPE:
            if (const auto* r = Rec<ChannelValueRecord>(record)) {
                model::Profile* p = ProfileOfScene(r->scene);
                if (p == &mProfile && IsOutput(r->channel)) {
                    OnTypeReport(r->channel, r->value);
                } else if (p != nullptr) {
                    jobs::ApplyChannelValueReport(ReportTargets(), sub, *r);
                }
            }
            break;
        case DSP_CH_LINK:
            if (const auto* r = Rec<LinkRecord>(record)) {
                OnLinkReport(*r);
            }
            break;
        case DSP_INPUT_MIX_CH_TRIM:
            if (const auto* r = Rec<InputMixTrimRecord>(record)) {
                OnInputMixTrimReport(*r);
            }
            break;
        case DSP_INPUT_THRESHOLD:
            mProfile.inputThreshold = v;
            break;
        case DSP_COMPRESSOR_SETTING:
        case DSP_COMPRESSOR_SETTING2:
            if (const auto* r = Rec<CompressorRecord>(record)) {
                OnCompressorReport(*r, sub == DSP_COMPRESSOR_SETTING2);
            }
            break;
        case DSP_COMPRESSOR_ON_CH:
            if (const auto* r = Rec<ChannelValueRecord>(record)) {
                jobs::ApplyChannelValueReport(ReportTargets(), sub, *r);
            }
            break;
        case DSP_INPUT_CH_DISTORT:
            if (const auto* r = Rec<InputDistortRecord>(record)) {
                OnInputClipReport(*r);
            }
            break;
        case DSP_OUTPUT_CH_DISTORT:
            if (const auto* r = Rec<OutputDistortRecord>(record)) {
                OnOutputClipReport(*r);
            }
            break;
        case DSP_FACTORY_PRESET:
            app::Log("factory preset mode = %d\n", v);
            break;
        case DSP_SETUP_MODE:
            app::Log("setup_mode mode = %d\n", v);
            break;
        case DSP_AMP_MUTE:
            mProfile.ampOn = v == 0 ? 1 : 0;
            SetAmpOnOffButton(mProfile.ampOn != 0);
            break;
        case DSP_REM_OUT:
            if (const auto* r = Rec<RemOutRecord>(record)) {
                app::Log("DSP_REM_OUT rem_out1 = %d, rem_out1 = %d\n", r->remOut1, r->remOut2);
                mProfile.remOut1On = r->remOut1 != 0;
                mProfile.remOut2On = r->remOut2 != 0;
                SetRemOut1OnOffButton(r->remOut1 != 0);
                SetRemOut2OnOffButton(r->remOut2 != 0);
            }
            break;
        case DSP_DSP_STATUS:
            app::Log("DSP_DSP_STATUS on_off = %d\n", v);
            DisconnectDevice();
            if (v == 0 && mUi != nullptr) {
                mUi->ShowMessage("${tips}", "${dsp_is_off}");
            }
            break;
        case DSP_CROSS_SOURCE_MIX:
        case DSP_CROSS_SOURCE_MIX_CS47048:
            if (const auto* r = Rec<CrossMixRecord>(record)) {
                OnCrossMixReport(*r, sub == DSP_CROSS_SOURCE_MIX_CS47048);
            }
            break;
        case DSP_SPK_OHM:
            app::Log("DSP_SPK_OHM spk_ohm = %d\n", v);
            mProfile.spkOhm = v != 0;
            SetSpkOhmButton(v != 0);
            break;
        case DSP_OUPUT_BRIDGE:
            if (const auto* r = Rec<BridgeRecord>(record)) {
                OnBridgeReport(*r);
            }
            break;
        case DSP_NOISE_GATE:
            app::Log("DSP_NOISE_GATE noise_gate = %d\n", v);
            mProfile.noiseGate = v;
            SetNoiseGateButton(v != 0);
            break;
        case DSP_NOISE_GATE_DRC_GAIN:
            app::Log("DSP_NOISE_GATE_DRC_GAIN noise_gate_drc_gain index = %d\n", v);
            mProfile.noiseGateDrcGain = static_cast<float>(v - kGainCodeOffset);
            break;
        case DSP_NOISE_GATE_THRESHOLD:
            app::Log("DSP_NOISE_GATE_THRESHOLD noise_gate_threshold index = %d\n", v);
            mProfile.noiseGateThreshold = -30.0f - 1.5f * static_cast<float>(v);
            break;
        case DSP_SPK_OHM13_21:
            if (const auto* r = Rec<SpkOhm13_21Record>(record)) {
                app::Log("DSP_SPK_OHM13_21 spk_ohm13 = %d spk_ohm21 = %d\n", r->ohm13, r->ohm21);
                mProfile.spkOhm13 = r->ohm13 != 0;
                mProfile.spkOhm21 = r->ohm21 != 0;
                SetSpkOhmButton13(r->ohm13 != 0);
                SetSpkOhmButton21(r->ohm21 != 0);
            }
            break;
        default:
            break;  // the record goes with the message
    }
}

void EqualizerManager::OnSourceReport(int code) {
    mProfile.source = SourceOfCode(code);
    ShowSource();
}

void EqualizerManager::OnFilterReport(const device::FilterRecord& r) {
    if (jobs::ApplyFilterReport(ReportTargets(), r) == &mProfile) {
        if (r.channel == mProfile.currOutChannel) {
            ShowCrossover(r.channel);
        }
        UpdateCurveOf(r.channel);
    }
}

void EqualizerManager::OnEqBandReport(const device::EqBandRecord& r) {
    if (jobs::ApplyEqBandReport(ReportTargets(), r) == &mProfile) {
        if (r.channel == mProfile.currOutChannel) {
            ShowEqBands(r.channel);
        }
        UpdateCurveOf(r.channel);
    }
}

void EqualizerManager::OnTrimReport(int channel, float trimDb) {
    Ctl& slider = mControls.Indexed("slider_ch_volume_%d", channel);
    int x = static_cast<int>(std::lround(trimDb * 10.0f));
    x = std::clamp(x, -600, 0);
    ApplyTrim(channel, x, true, false);
    (void)slider;
}

void EqualizerManager::OnTypeReport(int channel, int type) {
    mProfile.outputs[channel] = type;
    mProfile.outputs_bk[channel] = type;
    for (int c = 0; c < Cfg().mOUT_CHANNEL_NUMBER; ++c) {
        ShowOutputType(c);
    }
    ShowSpeakerPositions();
}

void EqualizerManager::OnLinkReport(const device::LinkRecord& r) {
    if (r.scene >= 1 && r.scene <= 10) {
        jobs::ApplyLinkReport(ReportTargets(), r);
        return;
    }
    if (r.scene != 0) {
        return;
    }
    const int n = Cfg().mOUT_CHANNEL_NUMBER;
    mProfile.linkOutputs.fill(-1);
    if (r.link == 1) {
        mProfile.linkMode = 1;
        mControls("btn_link_output").SetSelected(true, false);
        mProfile.lockMode = 1;
        mControls("btn_lock_output").SetSelected(true, false);
        for (int c = 0; c < n; ++c) {
            mControls.Indexed("ch_output_btn_%d", c).SetEnabled(false);
        }
        for (int i = 0; i < r.pairCount && i < n / 2; ++i) {
            int from = r.pairs[static_cast<size_t>(i)] >> 4;
            int to = r.pairs[static_cast<size_t>(i)] & 0x0F;
            if (from != to && from < n && to < n) {
                app::Log("channel link from %d to %d\n", from, to);
                mProfile.linkOutputs[from] = to;
                mProfile.linkOutputs[to] = from;
            }
        }
    } else {
        mProfile.linkMode = 0;
        mControls("btn_link_output").SetSelected(false, false);
    }
    mControls.Indexed("ch_enable_%d", mProfile.currOutChannel).SetSelected(true, false);
}

void EqualizerManager::OnMixMaskReport(const device::MixMaskRecord& r) {
    model::Profile* p = jobs::ApplyMixMaskReport(ReportTargets(), r);
    if (p == nullptr) {
        return;
    }
    app::Log("set mix source = %d, ch = %d, mix_in = 0x%x\n", r.source, r.channel, r.mask);
    if (p == &mProfile && r.source == mProfile.source) {
        ShowRouting(r.channel);
    }
}

void EqualizerManager::OnInputMixTrimReport(const device::InputMixTrimRecord& r) {
    app::Log("DSP_INPUT_MIX_CH_TRIM source %d, in_ch %d out_ch_x %d, out_ch_y %d\n", r.source,
             r.inputChannel, r.firstOutput, r.lastOutput);
    jobs::ApplyInputMixTrimReport(ReportTargets(), r);
}

// The clip detectors of the working state: one flag per input or output of
// the source, shown by the mixer's lamps on its next refresh.
void EqualizerManager::OnInputClipReport(const device::InputDistortRecord& r) {
    if (r.source < 0 || r.source >= model::kSourceCount) {
        return;
    }
    for (int c = std::max(r.first, 0);
         c <= r.last && c < model::kSourceColumns && c < device::kRecordChannels; ++c) {
        mProfile.inDistort[r.source][c] = r.values[static_cast<size_t>(c)] != 0 ? 1 : 0;
    }
}

void EqualizerManager::OnOutputClipReport(const device::OutputDistortRecord& r) {
    if (r.source < 0 || r.source >= model::kSourceCount) {
        return;
    }
    for (int c = std::max(r.first, 0);
         c <= r.last && c < model::kOutputSlots && c < device::kRecordChannels; ++c) {
        mProfile.outDistort[r.source][c] = r.values[static_cast<size_t>(c)] != 0 ? 1 : 0;
    }
}

void EqualizerManager::OnCrossMixReport(const device::CrossMixRecord& r, bool cs47048) {
    const app::ModelCfg& cfg = Cfg();
    if (!cfg.mENABLE_CROSS_SOURCE_MIX && cfg.mSPLIT_CROSS_SOURCE_MIX_CH < 1) {
        return;
    }
    app::Log(cs47048 ? "set cross source mix cs47048, source = %d, ch = %d, with source = %d, "
                       "ch = %d, gain = %d\n"
                     : "set cross source mix, source = %d, ch = %d, with source = %d, ch = %d, "
                       "gain = %d\n",
             r.source, r.channel, r.viceSource, r.viceChannel, r.viceGain);
    jobs::ApplyCrossMixReport(ReportTargets(), r, cs47048);
}

void EqualizerManager::OnBridgeReport(const device::BridgeRecord& r) {
    std::string line = "DSP_OUPUT_BRIDGE bridge count = " + std::to_string(r.count) + ", bridge";
    for (int i = 0; i < r.count && i < static_cast<int>(r.bridges.size()); ++i) {
        line += std::to_string(r.bridges[static_cast<size_t>(i)]) + ", ";
    }
    app::Log("%s\n", line.c_str());
    model::Profile* p = ProfileOfScene(r.scene);
    if (p == nullptr) {
        return;
    }
    if (p != &mProfile) {
        jobs::ApplyBridgeReport(ReportTargets(), r);
        return;
    }
    const int pairs = Cfg().mOUT_CHANNEL_NUMBER / 2;
    for (int i = 0; i < r.count && i < pairs; ++i) {
        SetBridgePair(i, r.bridges[static_cast<size_t>(i)] != 0, false);
    }
}

void EqualizerManager::ReadMcuValueCallback(uint8_t sub, intptr_t value,
                                            const std::unique_ptr<platform::PostedRecord>& record) {
    app::Log("ReadMcuValueCallback 0x%02x\n", sub);
    using namespace device;
    const int v = static_cast<int>(value);
    switch (sub) {
        case MCU_HANDSHAKE:
            if (const auto* r = Rec<HandshakeRecord>(record)) {
                jobs::ApplyHandshakeReport(mProfile, *r);
                const bool normal = mDeviceLink->IsMcuNormalMode();
                app::Log(
                    "UI MCU_HANDSHAKE model=%d, mainVersion=%d, slaveVersion=%d, "
                    "mcu_is_normal_mode=%d\n",
                    r->model, r->masterVersion, r->slaveVersion, normal ? 1 : 0);
                if (!Cfg().mNO_CHECK_ID && r->model != Cfg().mFw_Model_ID && normal &&
                    mUi != nullptr) {
                    char text[256];
                    std::snprintf(text, sizeof text, "%s %d",
                                  mUi->Translate("${device_not_match}").c_str(), r->model);
                    mUi->ShowMessage("${tips}", text);
                }
            }
            break;
        case MCU_GET_DSPFLASH_VER:
            if (const auto* r = Rec<FlashVersionRecord>(record)) {
                jobs::ApplyFlashVersionReport(mProfile, *r);
            }
            break;
        case MCU_POWER_OFF_DELAY:
            mProfile.powerOffDelay = static_cast<uint32_t>(v);
            break;
        case MCU_ACC:
            mProfile.acc = v;
            ShowAcc();
            break;
        case MCU_PING:
            app::Log("MCU_PING recved in ReadMcuValueCallback\n");
            break;
        case MCU_USB_POWER_PIN:
            app::Log("MCU_USB_POWER_PIN usb option:%d", v);
            ApplyUsbOption(v == 0);
            break;
        default:
            break;
    }
}

void EqualizerManager::ReadSenceValueCallback(
    uint8_t sub, const std::unique_ptr<platform::PostedRecord>& record) {
    app::Log("ReadSenceValueCallback 0x%02x\n", sub);
    if (sub == device::FLASH_SCENE_NAME) {
        if (const auto* r = Rec<device::SceneNameRecord>(record)) {
            if (r->sceneIndex < 0 || r->sceneIndex >= 10) {
                return;
            }
            size_t length = 0;
            while (length < r->name.size() && r->name[length] != 0) {
                ++length;
            }
            std::string bytes(r->name.begin(), r->name.begin() + static_cast<long>(length));
            // A slot holds seven characters and its terminator; longer names
            // are cut rather than spilled into the next slot.
            std::u16string name = model::SceneNameFromBytes(bytes);
            if (name.size() > 7) {
                name.resize(7);
            }
            mSceneNames[static_cast<size_t>(r->sceneIndex)] = name;
        }
    } else if (sub == device::FLASH_SCENE_VALID) {
        if (const auto* r = Rec<device::SceneValidRecord>(record)) {
            mSceneValidMask = static_cast<uint32_t>(r->mask);
            app::Log("FLASH_SCENE_VALID 0x%02x\n", r->mask);
        }
    }
}

void EqualizerManager::ReadKtvValueCallback(uint8_t sub, intptr_t value) {
    app::Log("ReadKtvValueCallback 0x%02x\n", sub);
    jobs::ApplyKtvReport(mProfile, sub, static_cast<int>(value));
}

}  // namespace controller
