// DSP setters of the output channels and of the amplifier's switches.
#include <cstdio>
#include <string>

#include "app/log.h"
#include "device/device_link.h"
#include "device/dsp_encoders.h"
#include "device/dsp_subcommands.h"

namespace device {
namespace {

constexpr uint8_t kNoiseGateGainMax = 48;
constexpr uint8_t kNoiseGateThresholdMax = 31;

}  // namespace

bool DeviceLink::ByteRangeSetter(uint8_t subCommand, const ChannelRange& range,
                                 std::span<const uint8_t> values, bool syncMode) {
    const size_t count = EntryCount(range);
    if (values.size() < count) {
        app::Log("%s: %u values for %u channels, not sent\n",
                 DspSubCommandLogName(subCommand).c_str(), static_cast<unsigned>(values.size()),
                 static_cast<unsigned>(count));
        return false;
    }
    std::vector<uint8_t> data = RangePrefix(range);
    data.insert(data.end(), values.begin(), values.begin() + static_cast<long>(count));
    return SubmitCommand(CMD_DSP, subCommand, OP_SET, std::move(data), syncMode);
}

bool DeviceLink::Source_Switch_Ctrl(uint8_t source, bool syncMode) {
    app::Log("Source_Switch_Ctrl: source(0x%x)\n", source);
    return SubmitCommand(CMD_DSP, DSP_SOURCE_SWITCH, OP_SET, {source}, syncMode);
}

bool DeviceLink::Main_Volume_Ctrl(float gain, bool syncMode) {
    app::Log("Main_Volume_Ctrl gain:(%.1f) \n", gain);
    const auto volume = static_cast<int8_t>(static_cast<int>(gain));
    return SubmitCommand(CMD_DSP, DSP_VOLUME, OP_SET, {static_cast<uint8_t>(volume)}, syncMode);
}

bool DeviceLink::Mute_Ctrl(uint8_t mute, bool syncMode) {
    app::Log("Mute_Ctrl %d\n", mute);
    return SubmitCommand(CMD_DSP, DSP_MUTE, OP_SET, {mute}, syncMode);
}

bool DeviceLink::Delay_Ctrl(const ChannelRange& range, std::span<const float> delaysMs,
                            bool syncMode) {
    const size_t count = EntryCount(range);
    if (delaysMs.size() < count) {
        return false;
    }
    app::Log("Delay_Ctrl: scene(%d), ch %d~%d\n", range.scene, range.first, range.last);
    std::vector<uint8_t> data = RangePrefix(range);
    for (size_t i = 0; i < count; ++i) {
        AppendDelay(data, delaysMs[i]);
    }
    return SubmitCommand(CMD_DSP, DSP_DELAY_CH, OP_SET, std::move(data), syncMode);
}

bool DeviceLink::Trim_Ctrl(const ChannelRange& range, std::span<const float> trims, bool syncMode) {
    const size_t count = EntryCount(range);
    if (trims.size() < count) {
        return false;
    }
    const bool floatTrim = GetModelParams().floatTrim;
    std::string values;
    std::vector<uint8_t> data = RangePrefix(range);
    char text[24];
    for (size_t i = 0; i < count; ++i) {
        AppendTrim(data, trims[i], floatTrim);
        std::snprintf(text, sizeof text, "%.2f, ", -trims[i]);
        values += text;
    }
    app::Log("Trim_Ctrl: scene(%d), ch %d~%d: %s\n", range.scene, range.first, range.last,
             values.c_str());
    return SubmitCommand(CMD_DSP, DSP_TRIM_CH, OP_SET, std::move(data), syncMode);
}

bool DeviceLink::Mute_Ch_Ctrl(const ChannelRange& range, std::span<const uint8_t> mutes,
                              bool syncMode) {
    app::Log("Mute_Ch_Ctrl: scene(%d), ch %d~%d: \n", range.scene, range.first, range.last);
    return ByteRangeSetter(DSP_MUTE_CH, range, mutes, syncMode);
}

bool DeviceLink::Phase_Ctrl(const ChannelRange& range, std::span<const uint8_t> phases,
                            bool syncMode) {
    for (size_t i = 0; i < EntryCount(range) && i < phases.size(); ++i) {
        app::Log("Phase_Ctrl: scene(%d), channel(%d), phase(%d)\n", range.scene,
                 static_cast<int>(range.first + i), phases[i]);
    }
    return ByteRangeSetter(DSP_PHASE_CH, range, phases, syncMode);
}

bool DeviceLink::Solo_Ctrl(const ChannelRange& range, std::span<const uint8_t> solos,
                           bool syncMode) {
    app::Log("Solo_Ctrl: scene(%d), ch %d~%d\n", range.scene, range.first, range.last);
    return ByteRangeSetter(DSP_CH_SOLO, range, solos, syncMode);
}

bool DeviceLink::CH_Type_Ctrl(const ChannelRange& range, std::span<const uint8_t> types,
                              bool syncMode) {
    for (size_t i = 0; i < EntryCount(range) && i < types.size(); ++i) {
        app::Log("CH_Type_Ctrl scene(%d), source(%d), channel(%d), t_ch_type(0x%x)\n", range.scene,
                 range.source, static_cast<int>(range.first + i), types[i]);
    }
    return ByteRangeSetter(DSP_CH_TYPE, range, types, syncMode);
}

bool DeviceLink::CH_Link_Ctrl(uint8_t scene, uint8_t link,
                              std::span<const std::pair<uint8_t, uint8_t>> pairs, bool syncMode) {
    app::Log("CH_Link_Ctrl scene(%d), link(%d), ch_count(%d)\n", scene, link,
             static_cast<int>(pairs.size()));
    std::vector<uint8_t> data = {scene, link, static_cast<uint8_t>(pairs.size())};
    for (const auto& [from, to] : pairs) {
        app::Log("from ch(%d) to ch(%d)\n", from, to);
        data.push_back(from);
        data.push_back(to);
    }
    return SubmitCommand(CMD_DSP, DSP_CH_LINK, OP_SET, std::move(data), syncMode);
}

bool DeviceLink::CH_Lock_Ctrl(uint8_t scene, uint8_t lock, bool syncMode) {
    app::Log("CH_Lock_Ctrl scene(%d), lock(%d)\n", scene, lock);
    return SubmitCommand(CMD_DSP, DSP_CH_LOCK, OP_SET, {scene, lock}, syncMode);
}

bool DeviceLink::Amp_Mute_Ctrl(uint8_t mute, bool syncMode) {
    app::Log("Amp_Mute_Ctrl t_mute(%d)\n", mute);
    return SubmitCommand(CMD_DSP, DSP_AMP_MUTE, OP_SET, {mute}, syncMode);
}

bool DeviceLink::Rem_Out_Ctrl(uint8_t remOut1, uint8_t remOut2, bool syncMode) {
    app::Log("Rem_Out_Ctrl remOut1(%d), remOut2(%d)\n", remOut1, remOut2);
    return SubmitCommand(CMD_DSP, DSP_REM_OUT, OP_SET, {remOut1, remOut2}, syncMode);
}

bool DeviceLink::Spk_Ohm_Ctrl(uint8_t ohm, bool syncMode) {
    app::Log("Spk_Ohm_Ctrl ohm(%d)\n", ohm);
    return SubmitCommand(CMD_DSP, DSP_SPK_OHM, OP_SET, {ohm}, syncMode);
}

bool DeviceLink::Spk_Ohm13_21_Ctrl(uint8_t ohm13, uint8_t ohm21, bool syncMode) {
    app::Log("Spk_Ohm13_21_Ctrl ohm13(%d) ohm21(%d)\n", ohm13, ohm21);
    return SubmitCommand(CMD_DSP, DSP_SPK_OHM13_21, OP_SET, {ohm13, ohm21}, syncMode);
}

bool DeviceLink::Output_Bridge_Ctrl(uint8_t scene, uint8_t source, std::span<const uint8_t> bridges,
                                    bool syncMode) {
    app::Log("Output_Bridge_Ctrl scene(%d) source(%d) count(%d)\n", scene, source,
             static_cast<int>(bridges.size()));
    std::vector<uint8_t> data = {scene, source, static_cast<uint8_t>(bridges.size())};
    for (size_t i = 0; i < bridges.size(); ++i) {
        app::Log("bridge[%d] = %d\n", static_cast<int>(i), bridges[i]);
        data.push_back(bridges[i]);
    }
    return SubmitCommand(CMD_DSP, DSP_OUPUT_BRIDGE, OP_SET, std::move(data), syncMode);
}

bool DeviceLink::Noise_Gate_Ctrl(uint8_t on, bool syncMode) {
    app::Log("Noise_Gate_Ctrl on(%d)\n", on);
    return SubmitCommand(CMD_DSP, DSP_NOISE_GATE, OP_SET, {on}, syncMode);
}

bool DeviceLink::Noise_Gate_Drc_Gain_Ctrl(uint8_t index, bool syncMode) {
    const uint8_t limited = index > kNoiseGateGainMax ? kNoiseGateGainMax : index;
    app::Log("Noise_Gate_Drc_Gain_Ctrl index(%d)\n", limited);
    return SubmitCommand(CMD_DSP, DSP_NOISE_GATE_DRC_GAIN, OP_SET, {0, limited}, syncMode);
}

bool DeviceLink::Noise_Gate_Threshold_Ctrl(uint8_t index, bool syncMode) {
    const uint8_t limited = index > kNoiseGateThresholdMax ? kNoiseGateThresholdMax : index;
    app::Log("Noise_Gate_Threshold_Ctrl index(%d)\n", limited);
    return SubmitCommand(CMD_DSP, DSP_NOISE_GATE_THRESHOLD, OP_SET, {0, limited}, syncMode);
}

}  // namespace device
