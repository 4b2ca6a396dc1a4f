#include "device/dsp_subcommands.h"

#include <array>

namespace device {
namespace {

// Indexed by sub-command 0x00..0x4D.
constexpr std::array<const char*, 0x4E> kNames = {
    "DSP_SOURCE_CONFIG",
    "DSP_SOURCE_SWITCH",
    "DSP_VOLUME",
    "DSP_SUBWOOFER_VOLUME",
    "DSP_MUTE",
    "DSP_FILTER_SET",
    "DSP_EQ_CH",
    "DSP_DELAY_CH",
    "DSP_TRIM_CH",
    "DSP_MUTE_CH",
    "DSP_PHASE_CH",
    "DSP_MIX_CH",
    "DSP_REMAP_CH",
    "DSP_CH_TYPE",
    "DSP_CH_LINK",
    "DSP_CH_LOCK",
    "DSP_BYPASS",
    "DSP_EQ_RESET",
    "DSP_EQ_BYPASS",
    "DSP_IRC_CTRL",
    "DSP_IRC_DISTANCE",
    "DSP_IRC_TRIM",
    "DSP_IRC_EQ",
    "DSP_IRC_SPK_SIZE",
    "DSP_IRC_SPK_PHASE",
    "DSP_IRC_SPK_LEVEL",
    "DSP_IRC_SPECTRUM",
    "DSP_IRC_NOISE_LEVEL",
    "DSP_IRC_RTA",
    "DSP_IRC_TEST_MIC",
    "DSP_IRC_SEL_TEST_MODULE",
    "31",
    "DSP_INPUT_TRIM_CH",
    "DSP_INPUT_CH_MUTE",
    "DSP_INPUT_CH_PHASE",
    "DSP_INPUT_EQ_CH",
    "DSP_INPUT_MIX_CH_TRIM",
    "DSP_INPUT_MIX_CH_PHASE",
    "DSP_INPUT_THRESHOLD",
    "DSP_INPUT_NOISE",
    "DSP_INPUT_MIX_CH_TRIM2",
    "41",
    "42",
    "43",
    "44",
    "45",
    "46",
    "47",
    "DSP_CH_TRIM_LINK",
    "DSP_CH_DELAY_LINK",
    "DSP_SEL_REMOTE_CH",
    "DSP_REMOTE_CH_VOLUME",
    "DSP_CH_SOLO",
    "DSP_SPK_CH_CONFIG",
    "DSP_MIX_TYPE",
    "DSP_HPF_Q_FACT_MODE",
    "DSP_LPF_Q_FACT_MODE",
    "DSP_FACTORY_PRESET",
    "DSP_SETUP_MODE",
    "DSP_AUTO_EFFECTION_ON_OFF_CONTROL",
    "DSP_IRC_ACTIVE_BYPASS_CONTROL",
    "DSP_CS_AUTO_SETTING",
    "DSP_COMPRESSOR_SETTING",
    "DSP_AMP_MUTE",
    "DSP_INPUT_CH_DISTORT",
    "DSP_OUTPUT_CH_DISTORT",
    "DSP_MEM_DATA",
    "DSP_SPK_DIST",
    "DSP_MIX_SOURCE_SWITCH",
    "DSP_REM_OUT",
    "DSP_DSP_STATUS",
    "DSP_CROSS_SOURCE_MIX",
    "0x48",
    "DSP_COMPRESSOR_ON_CH",
    "DSP_COMPRESSOR_SETTING2",
    "DSP_SPK_OHM",
    "DSP_OUPUT_BRIDGE",
    "DSP_CROSS_SOURCE_MIX_CS47048",
};

}  // namespace

const char* DspSubCommandName(uint8_t subCommand) {
    return subCommand < kNames.size() ? kNames[subCommand] : nullptr;
}

std::string DspSubCommandLogName(uint8_t subCommand) {
    if (const char* name = DspSubCommandName(subCommand)) {
        return name;
    }
    if (subCommand == DSP_MIX_TYPE2) {
        return "DSP_MIX_TYPE2";
    }
    return std::to_string(subCommand);
}

}  // namespace device
