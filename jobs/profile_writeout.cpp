#include "jobs/profile_writeout.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "app/log.h"
#include "app/model_cfg.h"
#include "jobs/output_range.h"

namespace jobs {
namespace {

using device::ChannelRange;
using device::DeviceLink;

constexpr bool kAtOnce = true;
constexpr bool kQueued = false;
constexpr uint8_t kLowPass = 1;
constexpr uint8_t kHighPass = 2;
constexpr int kCoaxialSource = 1;
constexpr int kFirstSourceCode = 81;  // the device names source s by 81 + s
constexpr int kMixBlock = 8;
constexpr int kWideInputs = 17;
constexpr int kGainCodeOffset = 32;
constexpr uint8_t kSaveFromSentValues = 1;

const app::ModelCfg& Cfg() {
    return app::CurrentModelCfg();
}

template <typename T, typename Field>
std::vector<T> PerOutput(const model::Profile& p, Field field) {
    std::vector<T> values(static_cast<size_t>(ModelOutputs()));
    for (int c = 0; c < ModelOutputs(); ++c) {
        values[static_cast<size_t>(c)] = static_cast<T>(field(p, c));
    }
    return values;
}

// Low-pass, high-pass, then the bands in use. A band switched off plays
// flat, so it goes out with gain 0; the device takes Q 0.5..9 and gain
// -18..12 dB.
void SendCrossoverAndBands(CommandSteps& steps, const model::Profile& p, int scene, int c) {
    const model::Crossover& x = p.channels[c].crossover;
    for (const auto& [index, section] : {std::pair{kLowPass, x.lp}, std::pair{kHighPass, x.hp}}) {
        steps.Send([&, index = index, section = section](DeviceLink& l) {
            return l.Filter_Ctrl(Byte(scene), 0, Byte(c), index, Byte(section.type), section.fs,
                                 Byte(section.slope), kAtOnce);
        });
    }
    const model::EqBand* bands = p.eqArray(c);
    for (int b = 0; bands != nullptr && b < p.bandCount(c); ++b) {
        const model::EqBand& band = bands[b];
        steps.Send([&, b](DeviceLink& l) {
            const float gain = band.enable ? std::clamp(band.eqGain, -18.0f, 12.0f) : 0.0f;
            return l.EQ_Ctrl(Byte(scene), 0, Byte(c), Byte(b),
                             std::clamp(band.freq, Cfg().mEQ_FREQ_MIN, 20000),
                             std::clamp(band.eqFactor, 0.5f, 9.0f), gain, band.type, kAtOnce);
        });
    }
}

// Type, trim, mute, phase, solo, delay and EQ bypass of every output, then
// the compressors where the model has them.
void SendOutputSwitches(CommandSteps& steps, const model::Profile& p, int scene) {
    const ChannelRange all = AllOutputs(scene);
    const auto types = PerOutput<uint8_t>(p, [](auto& q, int c) { return q.outputs[c]; });
    const auto trims = PerOutput<float>(p, [](auto& q, int c) { return q.channels[c].gain; });
    const auto mutes = PerOutput<uint8_t>(p, [](auto& q, int c) { return q.channels[c].mute; });
    const auto phases = PerOutput<uint8_t>(p, [](auto& q, int c) { return q.channels[c].phase; });
    const auto solos = PerOutput<uint8_t>(p, [](auto& q, int c) { return q.channels[c].solo; });
    const auto delays = PerOutput<float>(p, [](auto& q, int c) { return q.channels[c].delay; });
    const auto bypasses =
        PerOutput<uint8_t>(p, [](auto& q, int c) { return q.channels[c].bypass ? 1 : 0; });
    steps.Send([&](DeviceLink& l) { return l.CH_Type_Ctrl(all, types, kAtOnce); });
    steps.Send([&](DeviceLink& l) { return l.Trim_Ctrl(all, trims, kAtOnce); });
    steps.Send([&](DeviceLink& l) { return l.Mute_Ch_Ctrl(all, mutes, kAtOnce); });
    steps.Send([&](DeviceLink& l) { return l.Phase_Ctrl(all, phases, kAtOnce); });
    steps.Send([&](DeviceLink& l) { return l.Solo_Ctrl(all, solos, kAtOnce); });
    steps.Send([&](DeviceLink& l) { return l.Delay_Ctrl(all, delays, kAtOnce); });
    steps.Send([&](DeviceLink& l) { return l.PEQ_Bypass_Ctrl(all, bypasses, kAtOnce); });
    if (Cfg().mENABLE_COMPRESSOR) {
        for (int c = 0; c < ModelOutputs(); ++c) {
            steps.Send([&, c](DeviceLink& l) {
                return l.Compressor_Ctrl(Byte(scene), 0, Byte(c), Byte(p.compressorBypass[c]),
                                         p.compressorNoise[c], p.compressorRatio[c],
                                         p.compressorAttack[c], p.compressorRelease[c],
                                         p.compressorSoftKnee[c], kAtOnce);
            });
        }
    }
    if (Cfg().mENABLE_COMPRESSOR_ON) {
        const auto ons = PerOutput<uint8_t>(
            p, [](auto& q, int c) { return q.channels[c].compressorOn ? 1 : 0; });
        steps.Send([&, ons](DeviceLink& l) { return l.Compressor_Ch_Ctrl(all, ons, kAtOnce); });
    }
    if (Cfg().mENABLE_COMPRESSOR2) {
        for (int c = 0; c < ModelOutputs(); ++c) {
            steps.Send([&, c](DeviceLink& l) {
                const device::Compressor2Entry entry{
                    p.compressorNoise[c], p.compressorAttack[c],
                    static_cast<uint32_t>(std::max(0, p.compressorRelease[c]))};
                return l.Compressor_Ctrl2({Byte(scene), 0, Byte(c), Byte(c)}, std::span(&entry, 1),
                                          kAtOnce);
            });
        }
    }
}

// The input routing of one source; in blocks of eight outputs on models
// with more inputs than one mask byte pair holds.
void SendRouting(CommandSteps& steps, const model::Profile& p, int scene, int source) {
    const auto masks =
        PerOutput<uint32_t>(p, [source](auto& q, int c) { return q.inputs[source][c]; });
    if (Cfg().mMAX_INPUT_CHANNEL_NUMBER < kWideInputs) {
        steps.Send([&, masks, source](DeviceLink& l) {
            return l.Mix_Ch_Ctrl(AllOutputs(scene, source), masks, kAtOnce);
        });
        return;
    }
    for (int first = 0; first < ModelOutputs(); first += kMixBlock) {
        const int last = std::min(first + kMixBlock, ModelOutputs()) - 1;
        std::vector<uint32_t> block(masks.begin() + first, masks.begin() + last + 1);
        steps.Send([&, block, source, first, last](DeviceLink& l) {
            return l.Mix_Ch_Ctrl({Byte(scene), Byte(source), Byte(first), Byte(last)}, block,
                                 kAtOnce);
        });
    }
}

void SendInputVolumes(CommandSteps& steps, const model::Profile& p, int scene, int source,
                      int input) {
    const auto volumes = PerOutput<uint8_t>(
        p, [source, input](auto& q, int c) { return q.inputMixVolume[source][input][c] & 0xFF; });
    steps.Send([&, volumes, source, input](DeviceLink& l) {
        return l.Input_Mix_Trim_Ctrl(Byte(scene), Byte(source), Byte(input), 0,
                                     Byte(ModelOutputs() - 1), volumes, kAtOnce);
    });
}

// The sources whose mixers a write-out sends: all but the coaxial input,
// which has no inputs in this family.
template <typename Each>
void ForMixerSources(Each each) {
    for (int s = 0; s < model::kSourceCount; ++s) {
        if (s != kCoaxialSource) {
            each(s);
        }
    }
}

void SendWorkingState(CommandSteps& steps, const WorkingState& state, bool everySourceRouting) {
    const model::Profile& p = *state.profile;
    const float attenuation = state.mainVolumeAttenuation;
    // The device keeps a volume per source: it goes onto the profile's source
    // first, so the volume below is the one that source plays at.
    if (p.source >= 0 && p.source < model::kSourceCount) {
        const uint8_t code = Byte(kFirstSourceCode + p.source);
        steps.Send([code](DeviceLink& l) { return l.Source_Switch_Ctrl(code, kAtOnce); });
    }
    steps.Send([attenuation](DeviceLink& l) { return l.Main_Volume_Ctrl(attenuation, kAtOnce); });
    steps.Send([&](DeviceLink& l) { return l.Mute_Ctrl(Byte(p.mainVolumeMute), kAtOnce); });
    for (int c = 0; c < ModelOutputs(); ++c) {
        SendCrossoverAndBands(steps, p, 0, c);
    }
    SendOutputSwitches(steps, p, 0);
    if (everySourceRouting) {
        for (int s = 0; s < model::kSourceCount; ++s) {
            SendRouting(steps, p, 0, s);
        }
    } else if (p.source >= 0 && p.source < model::kSourceCount) {
        SendRouting(steps, p, 0, p.source);
    }
    if (Cfg().mENABLE_INPUT_MIXER) {
        ForMixerSources(
            [&](int s) { WriteMixer(steps, p, model::Profile::inputChannelCount(s), s); });
    }
}

// One stored scene: everything addressed to it, its name, then the save of
// the slot from the values just sent. A scene carries no split cross-source
// channels and no cross-source commands.
void SendStoredScene(CommandSteps& steps, const model::Profile& q, const model::SceneName& name,
                     int scene) {
    if (!steps.Counting()) {
        app::Log("set scene(%d)\n", scene);
    }
    for (int c = 0; c < ModelOutputs(); ++c) {
        SendCrossoverAndBands(steps, q, scene, c);
    }
    SendOutputSwitches(steps, q, scene);
    if (q.source >= 0 && q.source < model::kSourceCount) {
        SendRouting(steps, q, scene, q.source);
    }
    if (Cfg().mENABLE_INPUT_MIXER) {
        for (int s = 0; s < model::kSourceCount; ++s) {
            for (int r = 0; r < model::Profile::inputChannelCount(s); ++r) {
                SendInputVolumes(steps, q, scene, s, r);
            }
        }
    }
    steps.Send([&, scene](DeviceLink& l) {
        return l.SetSceneName(Byte(scene), name.data(), static_cast<uint8_t>(name.size()));
    });
    steps.Send([scene](DeviceLink& l) { return l.SaveScene(Byte(scene), kSaveFromSentValues); });
}

void DescribeCurrentProfile(CommandSteps& steps, const WorkingState& state) {
    SendWorkingState(steps, state, false);
}

void DescribeWholeConfig(CommandSteps& steps, const StoredScenes& scenes,
                         const WorkingState& state) {
    for (int k = 1; k <= model::kStoredScenes; ++k) {
        SendStoredScene(steps, (*scenes.profiles)[static_cast<size_t>(k - 1)],
                        (*scenes.names)[static_cast<size_t>(k - 1)], k);
    }
    SendWorkingState(steps, state, true);
}

}  // namespace

void WriteMixer(CommandSteps& steps, const model::Profile& p, int inputs, int source) {
    if (!steps.Counting()) {
        app::Log("%s\n", "EqualizerManager::SetMixerToMCU");
    }
    if (inputs < 1) {
        return;
    }
    const int split = Cfg().mSPLIT_CROSS_SOURCE_MIX_CH;
    for (int i = 0; i < inputs + split; ++i) {
        SendInputVolumes(steps, p, 0, source, i);
    }
    // The split cross-source channels are rows n and n + 1, after the
    // source's own inputs, on the wire and in the profile alike.
    for (int j = 0; j < 2; ++j) {
        const int r = inputs + j;
        const uint8_t viceSource = Byte(p.csmViceSource[source][r]);
        const uint8_t viceChannel = Byte(p.csmViceCh[source][r]);
        if (Cfg().mMXIER_CMD_FORMAT_CS47048) {
            steps.Queue([=](DeviceLink& l) {
                return l.Cross_Source_Mix_Ctrl_CS47048(0, Byte(source), viceSource, viceChannel,
                                                       Byte(r), kQueued);
            });
        } else {
            int gain = p.csmViceGain[source][r] & 0xFF;
            if (Cfg().mENABLE_CROSS_SOURCE_MIX) {
                gain += kGainCodeOffset;
            }
            steps.Queue([=](DeviceLink& l) {
                return l.Cross_Source_Mix_Ctrl(0, Byte(source), Byte(r), viceSource, viceChannel,
                                               Byte(gain), kQueued);
            });
        }
    }
}

int CountCurrentProfile(const WorkingState& state) {
    CommandSteps counting;
    DescribeCurrentProfile(counting, state);
    return counting.Count();
}

int CountWholeConfig(const StoredScenes& scenes, const WorkingState& state) {
    CommandSteps counting;
    DescribeWholeConfig(counting, scenes, state);
    return counting.Count();
}

JobOutcome WriteCurrentProfile(DeviceLink& link, const WorkingState& state, JobReport& report) {
    app::Log(">%s\n", "EqualizerManager::SetReadCurProfileToMCU");
    CommandSteps steps(link, report, CountCurrentProfile(state), true);
    DescribeCurrentProfile(steps, state);
    app::Log("<%s\n", "EqualizerManager::SetReadCurProfileToMCU");
    return steps.Outcome();
}

JobOutcome WriteWholeConfig(DeviceLink& link, const StoredScenes& scenes, const WorkingState& state,
                            JobReport& report, int settleMs) {
    app::Log("%s\n", "EqualizerManager::SetReadWholeProfileToMCU");
    CommandSteps steps(link, report, CountWholeConfig(scenes, state), true);
    DescribeWholeConfig(steps, scenes, state);
    steps.Wait(settleMs);
    return steps.Outcome();
}

}  // namespace jobs
