// DSP setters of the crossovers, EQ bands and compressors.
#include <cstdio>
#include <string>

#include "app/log.h"
#include "device/device_link.h"
#include "device/dsp_encoders.h"
#include "device/dsp_subcommands.h"

namespace device {
namespace {

std::string HexBytes(const std::vector<uint8_t>& data) {
    std::string text;
    if (!app::IsLogOpen()) {
        return text;
    }
    char hex[8];
    for (uint8_t byte : data) {
        std::snprintf(hex, sizeof hex, "%02x ", byte);
        text += hex;
    }
    return text;
}

}  // namespace

bool DeviceLink::Filter_Ctrl(uint8_t scene, uint8_t source, uint8_t channel, uint8_t filterIndex,
                             uint8_t filterType, int frequency, uint8_t slope, bool syncMode) {
    app::Log(
        "Filter_Ctrl: scene(%d), source(%d), channel(%d), filter(%d), type(%d), freq(%d), "
        "slope(%d)\n",
        scene, source, channel, filterIndex, filterType, frequency, slope);
    std::vector<uint8_t> data = {scene, source, channel, filterIndex, filterType};
    AppendBigEndian16(data, static_cast<unsigned>(frequency));
    data.push_back(slope);
    return SubmitCommand(CMD_DSP, DSP_FILTER_SET, OP_SET, std::move(data), syncMode);
}

bool DeviceLink::EQ_Ctrl(uint8_t scene, uint8_t source, uint8_t channel, uint8_t band,
                         int frequency, float q, float gain, uint8_t type, bool syncMode) {
    std::vector<uint8_t> data = EncodeEqBand(scene, source, channel, band, frequency, q, gain, type,
                                             GetModelParams().eqPrecision);
    app::Log(
        "EQ_Ctrl: scene(%d), source(%d), channel(%d), band(%d), freq(%d), q(%g), gain(%g), "
        "type(%d): %s\n",
        scene, source, channel, band, frequency, q, gain, type, HexBytes(data).c_str());
    return SubmitCommand(CMD_DSP, DSP_EQ_CH, OP_SET, std::move(data), syncMode);
}

bool DeviceLink::PEQ_Reset_Ctrl(uint8_t scene, std::span<const uint8_t> channels, bool syncMode) {
    std::string list;
    for (uint8_t channel : channels) {
        list += "ch(" + std::to_string(channel) + "), ";
    }
    app::Log("PEQ_Reset_Ctrl: scene(%d), ch_count(%d), %s\n", scene,
             static_cast<int>(channels.size()), list.c_str());
    std::vector<uint8_t> data = {scene, 0, static_cast<uint8_t>(channels.size())};
    data.insert(data.end(), channels.begin(), channels.end());
    return SubmitCommand(CMD_DSP, DSP_EQ_RESET, OP_SET, std::move(data), syncMode);
}

bool DeviceLink::PEQ_Bypass_Ctrl(const ChannelRange& range, std::span<const uint8_t> bypasses,
                                 bool syncMode) {
    app::Log("PEQ_Bypass_Ctrl: scene(%d), ch %d~%d\n", range.scene, range.first, range.last);
    return ByteRangeSetter(DSP_EQ_BYPASS, range, bypasses, syncMode);
}

bool DeviceLink::Compressor_Ctrl(uint8_t scene, uint8_t source, uint8_t channel, uint8_t bypass,
                                 float threshold, float ratio, int attack, int release, float knee,
                                 bool syncMode) {
    app::Log(
        "Compressor_Ctrl: scene(%d), channel(%d), bypass(%d), threshold(%g), ratio(%g), "
        "attack(%d), release(%d), knee(%g)\n",
        scene, channel, bypass, threshold, ratio, attack, release, knee);
    std::vector<uint8_t> data = {scene, source, channel, bypass};
    AppendCompressor(data, threshold, ratio, attack, release, knee);
    return SubmitCommand(CMD_DSP, DSP_COMPRESSOR_SETTING, OP_SET, std::move(data), syncMode);
}

bool DeviceLink::Compressor_Ch_Ctrl(const ChannelRange& range, std::span<const uint8_t> ons,
                                    bool syncMode) {
    app::Log("Compressor_Ch_Ctrl: scene(%d), ch %d~%d\n", range.scene, range.first, range.last);
    return ByteRangeSetter(DSP_COMPRESSOR_ON_CH, range, ons, syncMode);
}

bool DeviceLink::Compressor_Ctrl2(const ChannelRange& range,
                                  std::span<const Compressor2Entry> entries, bool syncMode) {
    const size_t count = EntryCount(range);
    if (entries.size() < count) {
        return false;
    }
    std::vector<uint8_t> data = RangePrefix(range);
    for (size_t i = 0; i < count; ++i) {
        const Compressor2Entry& entry = entries[i];
        AppendCompressor2(data, entry.threshold, entry.attack, entry.releaseMs);
        const size_t at = data.size() - 6;
        app::Log(
            "Compressor_Ctrl2: scene(%d), channel(%d), threshold(%g) %d %d, attack(%d), "
            "release(%g)\n",
            range.scene, static_cast<int>(range.first + i), entry.threshold,
            static_cast<int8_t>(data[at]), static_cast<int8_t>(data[at + 1]), entry.attack,
            entry.releaseMs / 1000.0);
    }
    return SubmitCommand(CMD_DSP, DSP_COMPRESSOR_SETTING2, OP_SET, std::move(data), syncMode);
}

}  // namespace device
