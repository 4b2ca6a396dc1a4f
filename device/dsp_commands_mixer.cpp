// DSP setters of the input side (mixer, input phases, cross-source mix,
// threshold) and of the calibration, centre/surround and memory access.
#include "app/log.h"
#include "device/device_link.h"
#include "device/dsp_encoders.h"
#include "device/dsp_subcommands.h"

namespace device {

bool DeviceLink::Mix_Ch_Ctrl(const ChannelRange& range, std::span<const uint32_t> inputMasks,
                             bool syncMode) {
    const size_t count = EntryCount(range);
    if (inputMasks.size() < count) {
        return false;
    }
    const int mixerInputs = GetModelParams().mixerInputs;
    std::vector<uint8_t> data = RangePrefix(range);
    for (size_t i = 0; i < count; ++i) {
        app::Log("Mix_Ch_Ctrl: scene(%d), source(%d), output_channel(%d), input_ch(0x%x)\n",
                 range.scene, range.source, static_cast<int>(range.first + i), inputMasks[i]);
        AppendMixMask(data, inputMasks[i], mixerInputs);
    }
    return SubmitCommand(CMD_DSP, DSP_MIX_CH, OP_SET, std::move(data), syncMode);
}

bool DeviceLink::Input_Phase_Ctrl(const ChannelRange& range, std::span<const uint8_t> phases,
                                  bool syncMode) {
    app::Log("Input_Phase_Ctrl: scene(%d), source(%d), ch %d~%d\n", range.scene, range.source,
             range.first, range.last);
    return ByteRangeSetter(DSP_INPUT_CH_PHASE, range, phases, syncMode);
}

bool DeviceLink::Input_Mix_Trim_Ctrl(uint8_t scene, uint8_t source, uint8_t inputChannel,
                                     uint8_t firstOutput, uint8_t lastOutput,
                                     std::span<const uint8_t> trims, bool syncMode) {
    const size_t count = EntryCount({scene, source, firstOutput, lastOutput});
    if (trims.size() < count) {
        return false;
    }
    std::vector<uint8_t> data = {scene, source, inputChannel, firstOutput, lastOutput};
    for (size_t i = 0; i < count; ++i) {
        app::Log("Input_Mix_Trim_Ctrl: scene(%d), source(%d), in_ch(%d),out_ch(%d), trim(%d)\n",
                 scene, source, inputChannel, static_cast<int>(firstOutput + i), trims[i]);
        data.push_back(trims[i]);
    }
    return SubmitCommand(CMD_DSP, DSP_INPUT_MIX_CH_TRIM, OP_SET, std::move(data), syncMode);
}

bool DeviceLink::Input_Ch_Threshold_Ctrl(int threshold, bool syncMode) {
    app::Log("Input_Ch_Threshold_Ctrl:threshold(%d)\n", threshold);
    const auto value = static_cast<uint8_t>(static_cast<int8_t>(threshold));
    return SubmitCommand(CMD_DSP, DSP_INPUT_THRESHOLD, OP_SET, {value}, syncMode);
}

bool DeviceLink::Cross_Source_Mix_Ctrl(uint8_t scene, uint8_t source, uint8_t channel,
                                       uint8_t viceSource, uint8_t viceChannel, uint8_t viceGain,
                                       bool syncMode) {
    app::Log(
        "Cross_Source_Mix_Ctrl: scene(0x%x), source(0x%x), ch(0x%x), vice_source(0x%x), "
        "vice_ch(0x%x), vice_gain(0x%x)\n",
        scene, source, channel, viceSource, viceChannel, viceGain);
    return SubmitCommand(CMD_DSP, DSP_CROSS_SOURCE_MIX, OP_SET,
                         {scene, source, channel, viceSource, viceChannel, viceGain}, syncMode);
}

bool DeviceLink::Cross_Source_Mix_Ctrl_CS47048(uint8_t scene, uint8_t source, uint8_t viceSource,
                                               uint8_t viceChannel, uint8_t channel,
                                               bool syncMode) {
    app::Log(
        "Cross_Source_Mix_Ctrl_CS47048: scene(0x%x), source(0x%x), vice_source(0x%x), "
        "vice_ch(0x%x), ch(0x%x)\n",
        scene, source, viceSource, viceChannel, channel);
    return SubmitCommand(CMD_DSP, DSP_CROSS_SOURCE_MIX_CS47048, OP_SET,
                         {scene, source, viceSource, viceChannel, channel}, syncMode);
}

bool DeviceLink::Auto_On_Ctrl(uint8_t scene, uint8_t on, bool syncMode) {
    app::Log("Auto_On_Ctrl: scene(%d), on(%d)\n", scene, on);
    return SubmitCommand(CMD_DSP, DSP_AUTO_EFFECTION_ON_OFF_CONTROL, OP_SET, {scene, on}, syncMode);
}

bool DeviceLink::IRC_Ctrl(uint8_t on, uint16_t channelMask, uint8_t eqMode, bool syncMode) {
    app::Log("IRC_Ctrl: on(%d), ircch=0x%x, irc_eqmode = %d, syncMode(%d)\n", on, channelMask,
             eqMode, syncMode);
    std::vector<uint8_t> data = {on};
    AppendBigEndian16(data, channelMask);
    data.push_back(eqMode);
    return SubmitCommand(CMD_DSP, DSP_IRC_CTRL, OP_SET, std::move(data), syncMode);
}

bool DeviceLink::IRC_Sel_Test_Module(uint8_t module, bool syncMode) {
    app::Log("IRC_Sel_Test_Module: Module(0x%x), syncMode(%d)\n", module, syncMode);
    return SubmitCommand(CMD_DSP, DSP_IRC_SEL_TEST_MODULE, OP_SET, {module}, syncMode);
}

bool DeviceLink::IRC_Active_Bypass_Ctrl(uint8_t scene, uint8_t on, bool syncMode) {
    app::Log("IRC_Active_Bypass_Ctrl: scene(%d), on(%d)\n", scene, on);
    return SubmitCommand(CMD_DSP, DSP_IRC_ACTIVE_BYPASS_CONTROL, OP_SET, {scene, on}, syncMode);
}

bool DeviceLink::CS_Auto_Setting_Ctrl(std::span<const uint8_t> block, bool syncMode) {
    app::Log("CS_Auto_Setting_Ctrl: %d bytes\n", static_cast<int>(block.size()));
    return SubmitCommand(CMD_DSP, DSP_CS_AUTO_SETTING, OP_SET, {block.begin(), block.end()},
                         syncMode);
}

bool DeviceLink::Set_MemData(uint32_t address, uint32_t value, bool syncMode) {
    std::vector<uint8_t> data;
    AppendLittleEndian32(data, address);
    AppendLittleEndian32(data, value);
    app::Log("DSP_MEM_DATA: addr(0x%08x), data(0x%08x)\n", address, value);
    return SubmitCommand(CMD_DSP, DSP_MEM_DATA, OP_SET, std::move(data), syncMode);
}

}  // namespace device
