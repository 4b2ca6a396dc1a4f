// DSP requests: each is sent at once and its answer read (and posted by the
// decoder) on the caller's thread.
#include "app/log.h"
#include "device/device_link.h"
#include "device/dsp_encoders.h"
#include "device/dsp_subcommands.h"

namespace device {

bool DeviceLink::Request(uint8_t subCommand, std::vector<uint8_t> data) {
    return SubmitCommand(CMD_DSP, subCommand, OP_GET, std::move(data), true, kReplyTimeoutMs);
}

// Logs the request under its own name, "Get_Trim: scene(0), ...".
bool DeviceLink::RangeRequest(const char* name, uint8_t subCommand, const ChannelRange& range) {
    app::Log("%s: scene(%d), source(%d), channel(%d~%d)\n", name, range.scene, range.source,
             range.first, range.last);
    return Request(subCommand, RangePrefix(range));
}

bool DeviceLink::Get_Source() {
    app::Log("Get_Source\n");
    return Request(DSP_SOURCE_SWITCH);
}

bool DeviceLink::Get_Main_Volume() {
    app::Log("Get_Main_Volume\n");
    return Request(DSP_VOLUME);
}

bool DeviceLink::Get_Subwoofer_Volume() {
    app::Log("Get_Subwoofer_Volume\n");
    return Request(DSP_SUBWOOFER_VOLUME);
}

bool DeviceLink::Get_Mute() {
    app::Log("Get_Mute\n");
    return Request(DSP_MUTE);
}

bool DeviceLink::Get_Filter(const ChannelRange& range) {
    return RangeRequest("Get_Filter", DSP_FILTER_SET, range);
}

bool DeviceLink::Get_EQ(uint8_t scene, uint8_t source, uint8_t channel, uint8_t firstBand,
                        uint8_t lastBand) {
    app::Log("Get_EQ: scene(%d), source(%d), channel(%d), band(%d~%d)\n", scene, source, channel,
             firstBand, lastBand);
    return Request(DSP_EQ_CH, {scene, source, channel, firstBand, lastBand});
}

bool DeviceLink::Get_Delay(const ChannelRange& range) {
    app::Log("Get_Delay: scene(%d), channel(%d)\n", range.scene, range.first);
    return Request(DSP_DELAY_CH, RangePrefix(range));
}

bool DeviceLink::Get_Trim(const ChannelRange& range) {
    return RangeRequest("Get_Trim", DSP_TRIM_CH, range);
}

bool DeviceLink::Get_Mute_Ch(const ChannelRange& range) {
    return RangeRequest("Get_Mute_Ch", DSP_MUTE_CH, range);
}

bool DeviceLink::Get_Phase(const ChannelRange& range) {
    return RangeRequest("Get_Phase", DSP_PHASE_CH, range);
}

bool DeviceLink::Get_Mix_Ch(const ChannelRange& range) {
    return RangeRequest("Get_Mix_Ch", DSP_MIX_CH, range);
}

bool DeviceLink::Get_CH_Type(const ChannelRange& range) {
    return RangeRequest("Get_CH_Type", DSP_CH_TYPE, range);
}

bool DeviceLink::Get_CH_Link(uint8_t scene) {
    app::Log("Get_CH_Link: scene(%d)\n", scene);
    return Request(DSP_CH_LINK, {scene});
}

bool DeviceLink::Get_CH_Lock(uint8_t scene) {
    app::Log("Get_CH_Lock: scene(%d)\n", scene);
    return Request(DSP_CH_LOCK, {scene});
}

bool DeviceLink::Get_PEQ_Bypass(const ChannelRange& range) {
    return RangeRequest("Get_PEQ_Bypass", DSP_EQ_BYPASS, range);
}

bool DeviceLink::IRC_Get() {
    app::Log("IRC_Get\n");
    return Request(DSP_IRC_CTRL);
}

bool DeviceLink::IRC_Get_Distance(uint8_t first, uint8_t last) {
    app::Log("IRC_Get_Distance: channel(%d~%d)\n", first, last);
    return Request(DSP_IRC_DISTANCE, {first, last});
}

bool DeviceLink::IRC_Get_EQ(uint8_t channel, uint8_t firstBand, uint8_t lastBand) {
    app::Log("IRC_Get_EQ: channel(%d), band(%d~%d)\n", channel, firstBand, lastBand);
    return Request(DSP_IRC_EQ, {channel, firstBand, lastBand});
}

bool DeviceLink::IRC_Get_Spectrum(uint8_t channel, uint8_t firstBand, uint8_t lastBand) {
    app::Log("IRC_Get_Spectrum: channel(%d), band(%d~%d)\n", channel, firstBand, lastBand);
    return Request(DSP_IRC_SPECTRUM, {channel, firstBand, lastBand});
}

bool DeviceLink::Get_Input_Mix_CH_Trim(uint8_t scene, uint8_t source, uint8_t inputChannel,
                                       uint8_t firstOutput, uint8_t lastOutput) {
    app::Log("Get_Input_Mix_CH_Trim: scene(%d), source(%d), in_ch(%d), out_ch(%d~%d)\n", scene,
             source, inputChannel, firstOutput, lastOutput);
    return Request(DSP_INPUT_MIX_CH_TRIM, {scene, source, inputChannel, firstOutput, lastOutput});
}

bool DeviceLink::Get_Input_Threshold(uint8_t scene, uint8_t source, bool syncMode) {
    app::Log("Get_Input_Threshold: scene(%d), source(%d)\n", scene, source);
    return SubmitCommand(CMD_DSP, DSP_INPUT_THRESHOLD, OP_GET, {scene, source}, syncMode);
}

bool DeviceLink::Get_Input_Noise(uint8_t first, uint8_t last, bool syncMode) {
    app::Log("Get_Input_Noise: channel(%d~%d)\n", first, last);
    return SubmitCommand(CMD_DSP, DSP_INPUT_NOISE, OP_GET, {first, last}, syncMode);
}

bool DeviceLink::Get_Ch_Solo(const ChannelRange& range) {
    return RangeRequest("Get_Ch_Solo", DSP_CH_SOLO, range);
}

bool DeviceLink::Get_Speaker_Config() {
    app::Log("Get_Speaker_Config\n");
    return Request(DSP_SPK_CH_CONFIG);
}

bool DeviceLink::Get_AUTO_ON() {
    app::Log("Get_AUTO_ON\n");
    return Request(DSP_AUTO_EFFECTION_ON_OFF_CONTROL);
}

bool DeviceLink::Get_Compressor(const ChannelRange& range) {
    return RangeRequest("Get_Compressor", DSP_COMPRESSOR_SETTING, range);
}

bool DeviceLink::Get_Amp_Mute() {
    app::Log("Get_Amp_Mute\n");
    return Request(DSP_AMP_MUTE);
}

bool DeviceLink::Get_InDistort(const ChannelRange& range, bool syncMode) {
    app::Log("Get_InDistort: scene(%d), source(%d), channel(%d~%d)\n", range.scene, range.source,
             range.first, range.last);
    return SubmitCommand(CMD_DSP, DSP_INPUT_CH_DISTORT, OP_GET, RangePrefix(range), syncMode);
}

bool DeviceLink::Get_OutDistort(const ChannelRange& range, bool syncMode) {
    app::Log("Get_OutDistort: scene(%d), source(%d), channel(%d~%d)\n", range.scene, range.source,
             range.first, range.last);
    return SubmitCommand(CMD_DSP, DSP_OUTPUT_CH_DISTORT, OP_GET, RangePrefix(range), syncMode);
}

bool DeviceLink::Get_MemData(uint32_t address) {
    app::Log("Get_MemData: addr(0x%08x)\n", address);
    std::vector<uint8_t> data;
    AppendLittleEndian32(data, address);
    AppendLittleEndian32(data, 0);
    return Request(DSP_MEM_DATA, std::move(data));
}

bool DeviceLink::Get_Rem_Out() {
    app::Log("Get_Rem_Out\n");
    return Request(DSP_REM_OUT);
}

bool DeviceLink::Get_Mix_Source2(uint8_t scene, uint8_t source, uint8_t channel) {
    app::Log("Get_Mix_Source2: scene(%d), source(%d), ch(%d)\n", scene, source, channel);
    return Request(DSP_CROSS_SOURCE_MIX, {scene, source, channel, 0, 0, 0});
}

bool DeviceLink::Get_Mix_Source2_CS47048(uint8_t scene, uint8_t source, uint8_t channel) {
    app::Log("Get_Mix_Source2: scene(%d), source(%d), ch(%d)\n", scene, source, channel);
    return Request(DSP_CROSS_SOURCE_MIX_CS47048, {scene, source, 0, 0, channel});
}

bool DeviceLink::Get_Compressor_Ch_On(const ChannelRange& range) {
    return RangeRequest("Get_Compressor_Ch_On", DSP_COMPRESSOR_ON_CH, range);
}

bool DeviceLink::Get_Compressor2(const ChannelRange& range) {
    return RangeRequest("Get_Compressor2", DSP_COMPRESSOR_SETTING2, range);
}

bool DeviceLink::Get_Spk_Ohm() {
    app::Log("Get_Spk_Ohm\n");
    return Request(DSP_SPK_OHM);
}

bool DeviceLink::Get_Ouput_Bridge(uint8_t scene, uint8_t source, uint8_t count) {
    app::Log("Get_Ouput_Bridge: scene(%d), source(%d), count(%d)\n", scene, source, count);
    return Request(DSP_OUPUT_BRIDGE, {scene, source, count});
}

bool DeviceLink::Get_Noise_Gate() {
    app::Log("Get_Noise_Gate\n");
    return Request(DSP_NOISE_GATE);
}

bool DeviceLink::Get_Noise_Gate_Gain() {
    app::Log("Get_Noise_Gate_Gain\n");
    return Request(DSP_NOISE_GATE_DRC_GAIN);
}

bool DeviceLink::Get_Noise_Gate_Threshold() {
    app::Log("Get_Noise_Gate_Threshold\n");
    return Request(DSP_NOISE_GATE_THRESHOLD);
}

bool DeviceLink::Get_Spk_Ohm13_21() {
    app::Log("Get_Spk_Ohm13_21\n");
    return Request(DSP_SPK_OHM13_21);
}

}  // namespace device
