#include "jobs/writeout_parts.h"

#include <algorithm>
#include <tuple>
#include <type_traits>
#include <vector>

#include "app/model_cfg.h"
#include "jobs/output_range.h"

namespace jobs {
namespace {

using device::ChannelRange;
using device::DeviceLink;

constexpr bool kAtOnce = true;
constexpr bool kQueued = false;
constexpr int kFirstSourceCode = 81;  // the device names source s by 81 + s
constexpr int kCoaxialSource = 1;
constexpr int kMixBlock = 8;
constexpr int kWideInputs = 17;
constexpr int kGainCodeOffset = 32;

const app::ModelCfg& Cfg() {
    return app::CurrentModelCfg();
}

ChannelRange RangeOf(int scene, int source, OutputSpan outputs) {
    return {Byte(scene), Byte(source), Byte(outputs.first), Byte(outputs.last)};
}

template <typename T>
using RangeCommand = bool (DeviceLink::*)(const ChannelRange&, std::span<const T>, bool);

// One range command with the value of each output of the run.
template <typename T>
void SendPerOutput(CommandSteps& steps, const model::Profile& p, const ChannelRange& range,
                   OutputSwitch which, RangeCommand<T> command) {
    std::vector<T> values;
    for (int c = range.first; c <= range.last; ++c) {
        if constexpr (std::is_same_v<T, float>) {
            values.push_back(SwitchValue(p, which, c));
        } else {
            values.push_back(static_cast<T>(SwitchCode(p, which, c)));
        }
    }
    steps.Send([&](DeviceLink& l) { return (l.*command)(range, values, kAtOnce); });
}

}  // namespace

OutputSpan EveryOutput() {
    return {0, ModelOutputs() - 1};
}

void SendSourceSwitch(CommandSteps& steps, const model::Profile& p) {
    if (p.source >= 0 && p.source < model::kSourceCount) {
        const uint8_t code = Byte(kFirstSourceCode + p.source);
        steps.Send([code](DeviceLink& l) { return l.Source_Switch_Ctrl(code, kAtOnce); });
    }
}

void SendMainVolume(CommandSteps& steps, float attenuation) {
    steps.Send([attenuation](DeviceLink& l) { return l.Main_Volume_Ctrl(attenuation, kAtOnce); });
}

void SendMainMute(CommandSteps& steps, const model::Profile& p) {
    steps.Send([&](DeviceLink& l) { return l.Mute_Ctrl(Byte(p.mainVolumeMute), kAtOnce); });
}

bool CrossoverSideDiffers(const model::Profile& a, const model::Profile& b, int output,
                          CrossoverSide side) {
    const auto sent = [&](const model::Profile& p) {
        const model::Crossover& x = p.channels[output].crossover;
        const model::FilterSection& s = side == CrossoverSide::kLowPass ? x.lp : x.hp;
        return std::tuple(s.type, s.fs, s.slope);
    };
    return sent(a) != sent(b);
}

bool BandDiffers(const model::Profile& a, const model::Profile& b, int output, int band) {
    const auto sent = [&](const model::Profile& p) {
        const model::EqBand& e = p.eqArray(output)[band];
        return std::tuple(e.enable ? std::clamp(e.eqGain, -18.0f, 12.0f) : 0.0f,
                          std::clamp(e.freq, Cfg().mEQ_FREQ_MIN, 20000),
                          std::clamp(e.eqFactor, 0.5f, 9.0f), e.type);
    };
    return sent(a) != sent(b);
}

void SendCrossoverSide(CommandSteps& steps, const model::Profile& p, int scene, int output,
                       CrossoverSide side) {
    const model::Crossover& x = p.channels[output].crossover;
    const model::FilterSection& section = side == CrossoverSide::kLowPass ? x.lp : x.hp;
    steps.Send([&](DeviceLink& l) {
        return l.Filter_Ctrl(Byte(scene), 0, Byte(output), static_cast<uint8_t>(side),
                             Byte(section.type), section.fs, Byte(section.slope), kAtOnce);
    });
}

// A band switched off plays flat, so it goes out with gain 0; the device
// takes Q 0.5..9 and gain -18..12 dB.
void SendBand(CommandSteps& steps, const model::Profile& p, int scene, int output, int band) {
    const model::EqBand& b = p.eqArray(output)[band];
    steps.Send([&](DeviceLink& l) {
        const float gain = b.enable ? std::clamp(b.eqGain, -18.0f, 12.0f) : 0.0f;
        return l.EQ_Ctrl(Byte(scene), 0, Byte(output), Byte(band),
                         std::clamp(b.freq, Cfg().mEQ_FREQ_MIN, 20000),
                         std::clamp(b.eqFactor, 0.5f, 9.0f), gain, b.type, kAtOnce);
    });
}

void SendCrossoverAndBands(CommandSteps& steps, const model::Profile& p, int scene, int output) {
    SendCrossoverSide(steps, p, scene, output, CrossoverSide::kLowPass);
    SendCrossoverSide(steps, p, scene, output, CrossoverSide::kHighPass);
    for (int b = 0; p.eqArray(output) != nullptr && b < p.bandCount(output); ++b) {
        SendBand(steps, p, scene, output, b);
    }
}

int SwitchCode(const model::Profile& p, OutputSwitch which, int c) {
    const model::Channel& ch = p.channels[c];
    switch (which) {
        case OutputSwitch::kType:
            return p.outputs[c];
        case OutputSwitch::kMute:
            return ch.mute;
        case OutputSwitch::kPhase:
            return ch.phase;
        case OutputSwitch::kSolo:
            return ch.solo;
        case OutputSwitch::kEqBypass:
            return ch.bypass ? 1 : 0;
        case OutputSwitch::kTrim:
        case OutputSwitch::kDelay:
            break;
    }
    return 0;
}

float SwitchValue(const model::Profile& p, OutputSwitch which, int c) {
    switch (which) {
        case OutputSwitch::kTrim:
            return p.channels[c].gain;
        case OutputSwitch::kDelay:
            return p.channels[c].delay;
        default:
            return static_cast<float>(SwitchCode(p, which, c));
    }
}

void SendOutputSwitch(CommandSteps& steps, const model::Profile& p, int scene, OutputSwitch which,
                      OutputSpan outputs) {
    const ChannelRange range = RangeOf(scene, 0, outputs);
    switch (which) {
        case OutputSwitch::kType:
            return SendPerOutput<uint8_t>(steps, p, range, which, &DeviceLink::CH_Type_Ctrl);
        case OutputSwitch::kTrim:
            return SendPerOutput<float>(steps, p, range, which, &DeviceLink::Trim_Ctrl);
        case OutputSwitch::kMute:
            return SendPerOutput<uint8_t>(steps, p, range, which, &DeviceLink::Mute_Ch_Ctrl);
        case OutputSwitch::kPhase:
            return SendPerOutput<uint8_t>(steps, p, range, which, &DeviceLink::Phase_Ctrl);
        case OutputSwitch::kSolo:
            return SendPerOutput<uint8_t>(steps, p, range, which, &DeviceLink::Solo_Ctrl);
        case OutputSwitch::kDelay:
            return SendPerOutput<float>(steps, p, range, which, &DeviceLink::Delay_Ctrl);
        case OutputSwitch::kEqBypass:
            return SendPerOutput<uint8_t>(steps, p, range, which, &DeviceLink::PEQ_Bypass_Ctrl);
    }
}

bool CompressorDiffers(const model::Profile& a, const model::Profile& b, int c) {
    const auto at = [c](const model::Profile& p) {
        return std::tuple(p.compressorBypass[c], p.compressorNoise[c], p.compressorRatio[c],
                          p.compressorAttack[c], p.compressorRelease[c], p.compressorSoftKnee[c]);
    };
    return at(a) != at(b);
}

bool Compressor2Differs(const model::Profile& a, const model::Profile& b, int c) {
    const auto at = [c](const model::Profile& p) {
        return std::tuple(p.compressorNoise[c], p.compressorAttack[c],
                          std::max(0, p.compressorRelease[c]));
    };
    return at(a) != at(b);
}

void SendCompressor(CommandSteps& steps, const model::Profile& p, int scene, int c) {
    steps.Send([&, c](DeviceLink& l) {
        return l.Compressor_Ctrl(Byte(scene), 0, Byte(c), Byte(p.compressorBypass[c]),
                                 p.compressorNoise[c], p.compressorRatio[c], p.compressorAttack[c],
                                 p.compressorRelease[c], p.compressorSoftKnee[c], kAtOnce);
    });
}

void SendCompressorOns(CommandSteps& steps, const model::Profile& p, int scene,
                       OutputSpan outputs) {
    std::vector<uint8_t> ons;
    for (int c = outputs.first; c <= outputs.last; ++c) {
        ons.push_back(p.channels[c].compressorOn ? 1 : 0);
    }
    const ChannelRange range = RangeOf(scene, 0, outputs);
    steps.Send([&](DeviceLink& l) { return l.Compressor_Ch_Ctrl(range, ons, kAtOnce); });
}

void SendCompressor2(CommandSteps& steps, const model::Profile& p, int scene, int c) {
    steps.Send([&, c](DeviceLink& l) {
        const device::Compressor2Entry entry{
            p.compressorNoise[c], p.compressorAttack[c],
            static_cast<uint32_t>(std::max(0, p.compressorRelease[c]))};
        return l.Compressor_Ctrl2({Byte(scene), 0, Byte(c), Byte(c)}, std::span(&entry, 1),
                                  kAtOnce);
    });
}

// Type, trim, mute, phase, solo, delay and EQ bypass of every output, then
// the compressors where the model has them.
void SendOutputSwitches(CommandSteps& steps, const model::Profile& p, int scene) {
    for (int w = 0; w < kOutputSwitchCount; ++w) {
        SendOutputSwitch(steps, p, scene, static_cast<OutputSwitch>(w), EveryOutput());
    }
    if (Cfg().mENABLE_COMPRESSOR) {
        for (int c = 0; c < ModelOutputs(); ++c) {
            SendCompressor(steps, p, scene, c);
        }
    }
    if (Cfg().mENABLE_COMPRESSOR_ON) {
        SendCompressorOns(steps, p, scene, EveryOutput());
    }
    if (Cfg().mENABLE_COMPRESSOR2) {
        for (int c = 0; c < ModelOutputs(); ++c) {
            SendCompressor2(steps, p, scene, c);
        }
    }
}

std::vector<OutputSpan> RoutingBlocks() {
    if (Cfg().mMAX_INPUT_CHANNEL_NUMBER < kWideInputs) {
        return {EveryOutput()};
    }
    std::vector<OutputSpan> blocks;
    for (int first = 0; first < ModelOutputs(); first += kMixBlock) {
        blocks.push_back({first, std::min(first + kMixBlock, ModelOutputs()) - 1});
    }
    return blocks;
}

void SendRoutingSpan(CommandSteps& steps, const model::Profile& p, int scene, int source,
                     OutputSpan outputs) {
    std::vector<uint32_t> masks;
    for (int c = outputs.first; c <= outputs.last; ++c) {
        masks.push_back(static_cast<uint32_t>(p.inputs[source][c]));
    }
    const ChannelRange range = RangeOf(scene, source, outputs);
    steps.Send([&](DeviceLink& l) { return l.Mix_Ch_Ctrl(range, masks, kAtOnce); });
}

void SendRouting(CommandSteps& steps, const model::Profile& p, int scene, int source) {
    for (const OutputSpan& block : RoutingBlocks()) {
        SendRoutingSpan(steps, p, scene, source, block);
    }
}

int MixerRows(int inputs) {
    return inputs + Cfg().mSPLIT_CROSS_SOURCE_MIX_CH;
}

void SendInputPhases(CommandSteps& steps, const model::Profile& p, int source, OutputSpan inputs) {
    std::vector<uint8_t> phases;
    for (int i = inputs.first; i <= inputs.last; ++i) {
        phases.push_back(static_cast<uint8_t>(p.inMixPhase[source][i] != 0));
    }
    const device::ChannelRange range{0, Byte(source), Byte(inputs.first), Byte(inputs.last)};
    steps.Send([&, range](DeviceLink& l) { return l.Input_Phase_Ctrl(range, phases, kAtOnce); });
}

void SendInputVolumes(CommandSteps& steps, const model::Profile& p, int scene, int source,
                      int input, OutputSpan outputs) {
    std::vector<uint8_t> volumes;
    for (int c = outputs.first; c <= outputs.last; ++c) {
        volumes.push_back(static_cast<uint8_t>(p.inputMixVolume[source][input][c] & 0xFF));
    }
    steps.Send([&](DeviceLink& l) {
        return l.Input_Mix_Trim_Ctrl(Byte(scene), Byte(source), Byte(input), Byte(outputs.first),
                                     Byte(outputs.last), volumes, kAtOnce);
    });
}

// The split cross-source channels are rows n and n + 1, after the source's
// own inputs, on the wire and in the profile alike.
int CrossSourceRow(int inputs, int j) {
    return inputs + j;
}

bool CrossSourceRowDiffers(const model::Profile& a, const model::Profile& b, int source, int row) {
    const bool gainSent = !Cfg().mMXIER_CMD_FORMAT_CS47048;
    return a.csmViceSource[source][row] != b.csmViceSource[source][row] ||
           a.csmViceCh[source][row] != b.csmViceCh[source][row] ||
           (gainSent && a.csmViceGain[source][row] != b.csmViceGain[source][row]);
}

void QueueCrossSourceRow(CommandSteps& steps, const model::Profile& p, int source, int r) {
    const uint8_t viceSource = Byte(p.csmViceSource[source][r]);
    const uint8_t viceChannel = Byte(p.csmViceCh[source][r]);
    if (Cfg().mMXIER_CMD_FORMAT_CS47048) {
        steps.Queue([=](DeviceLink& l) {
            return l.Cross_Source_Mix_Ctrl_CS47048(0, Byte(source), viceSource, viceChannel,
                                                   Byte(r), kQueued);
        });
        return;
    }
    int gain = p.csmViceGain[source][r] & 0xFF;
    if (Cfg().mENABLE_CROSS_SOURCE_MIX) {
        gain += kGainCodeOffset;
    }
    steps.Queue([=](DeviceLink& l) {
        return l.Cross_Source_Mix_Ctrl(0, Byte(source), Byte(r), viceSource, viceChannel,
                                       Byte(gain), kQueued);
    });
}

bool HasMixer(int source) {
    return source != kCoaxialSource;
}

}  // namespace jobs
