// Sub-commands of CMD_DSP frames: one per sound-processing parameter, the
// same number in both directions.
#pragma once

#include <cstdint>
#include <string>

namespace device {

inline constexpr uint8_t DSP_SOURCE_CONFIG = 0x00;
inline constexpr uint8_t DSP_SOURCE_SWITCH = 0x01;
inline constexpr uint8_t DSP_VOLUME = 0x02;
inline constexpr uint8_t DSP_SUBWOOFER_VOLUME = 0x03;
inline constexpr uint8_t DSP_MUTE = 0x04;
inline constexpr uint8_t DSP_FILTER_SET = 0x05;
inline constexpr uint8_t DSP_EQ_CH = 0x06;
inline constexpr uint8_t DSP_DELAY_CH = 0x07;
inline constexpr uint8_t DSP_TRIM_CH = 0x08;
inline constexpr uint8_t DSP_MUTE_CH = 0x09;
inline constexpr uint8_t DSP_PHASE_CH = 0x0A;
inline constexpr uint8_t DSP_MIX_CH = 0x0B;
inline constexpr uint8_t DSP_REMAP_CH = 0x0C;
inline constexpr uint8_t DSP_CH_TYPE = 0x0D;
inline constexpr uint8_t DSP_CH_LINK = 0x0E;
inline constexpr uint8_t DSP_CH_LOCK = 0x0F;
inline constexpr uint8_t DSP_BYPASS = 0x10;
inline constexpr uint8_t DSP_EQ_RESET = 0x11;
inline constexpr uint8_t DSP_EQ_BYPASS = 0x12;
inline constexpr uint8_t DSP_IRC_CTRL = 0x13;
inline constexpr uint8_t DSP_IRC_DISTANCE = 0x14;
inline constexpr uint8_t DSP_IRC_TRIM = 0x15;
inline constexpr uint8_t DSP_IRC_EQ = 0x16;
inline constexpr uint8_t DSP_IRC_SPK_SIZE = 0x17;
inline constexpr uint8_t DSP_IRC_SPK_PHASE = 0x18;
inline constexpr uint8_t DSP_IRC_SPK_LEVEL = 0x19;
inline constexpr uint8_t DSP_IRC_SPECTRUM = 0x1A;
inline constexpr uint8_t DSP_IRC_NOISE_LEVEL = 0x1B;
inline constexpr uint8_t DSP_IRC_RTA = 0x1C;
inline constexpr uint8_t DSP_IRC_TEST_MIC = 0x1D;
inline constexpr uint8_t DSP_IRC_SEL_TEST_MODULE = 0x1E;
inline constexpr uint8_t DSP_INPUT_TRIM_CH = 0x20;
inline constexpr uint8_t DSP_INPUT_CH_MUTE = 0x21;
inline constexpr uint8_t DSP_INPUT_CH_PHASE = 0x22;
inline constexpr uint8_t DSP_INPUT_EQ_CH = 0x23;
inline constexpr uint8_t DSP_INPUT_MIX_CH_TRIM = 0x24;
inline constexpr uint8_t DSP_INPUT_MIX_CH_PHASE = 0x25;
inline constexpr uint8_t DSP_INPUT_THRESHOLD = 0x26;
inline constexpr uint8_t DSP_INPUT_NOISE = 0x27;
inline constexpr uint8_t DSP_INPUT_MIX_CH_TRIM2 = 0x28;
inline constexpr uint8_t DSP_CH_TRIM_LINK = 0x30;
inline constexpr uint8_t DSP_CH_DELAY_LINK = 0x31;
inline constexpr uint8_t DSP_SEL_REMOTE_CH = 0x32;
inline constexpr uint8_t DSP_REMOTE_CH_VOLUME = 0x33;
inline constexpr uint8_t DSP_CH_SOLO = 0x34;
inline constexpr uint8_t DSP_SPK_CH_CONFIG = 0x35;
inline constexpr uint8_t DSP_MIX_TYPE = 0x36;
inline constexpr uint8_t DSP_HPF_Q_FACT_MODE = 0x37;
inline constexpr uint8_t DSP_LPF_Q_FACT_MODE = 0x38;
inline constexpr uint8_t DSP_FACTORY_PRESET = 0x39;
inline constexpr uint8_t DSP_SETUP_MODE = 0x3A;
inline constexpr uint8_t DSP_AUTO_EFFECTION_ON_OFF_CONTROL = 0x3B;
inline constexpr uint8_t DSP_IRC_ACTIVE_BYPASS_CONTROL = 0x3C;
inline constexpr uint8_t DSP_CS_AUTO_SETTING = 0x3D;
inline constexpr uint8_t DSP_COMPRESSOR_SETTING = 0x3E;
inline constexpr uint8_t DSP_AMP_MUTE = 0x3F;
inline constexpr uint8_t DSP_INPUT_CH_DISTORT = 0x40;
inline constexpr uint8_t DSP_OUTPUT_CH_DISTORT = 0x41;
inline constexpr uint8_t DSP_MEM_DATA = 0x42;
inline constexpr uint8_t DSP_SPK_DIST = 0x43;
inline constexpr uint8_t DSP_MIX_SOURCE_SWITCH = 0x44;
inline constexpr uint8_t DSP_REM_OUT = 0x45;
inline constexpr uint8_t DSP_DSP_STATUS = 0x46;
inline constexpr uint8_t DSP_CROSS_SOURCE_MIX = 0x47;
inline constexpr uint8_t DSP_COMPRESSOR_ON_CH = 0x49;
inline constexpr uint8_t DSP_COMPRESSOR_SETTING2 = 0x4A;
inline constexpr uint8_t DSP_SPK_OHM = 0x4B;
inline constexpr uint8_t DSP_OUPUT_BRIDGE = 0x4C;
inline constexpr uint8_t DSP_CROSS_SOURCE_MIX_CS47048 = 0x4D;
inline constexpr uint8_t DSP_NOISE_GATE = 0x4E;
inline constexpr uint8_t DSP_NOISE_GATE_DRC_GAIN = 0x4F;
inline constexpr uint8_t DSP_NOISE_GATE_THRESHOLD = 0x50;
inline constexpr uint8_t DSP_SPK_OHM13_21 = 0x51;
inline constexpr uint8_t DSP_MIX_TYPE2 = 0x83;

// The log name of a sub-command 0x00..0x4D ("31" or "0x48" for the unnamed
// ones, the decimal number for 0x29..0x2F); nullptr outside that range.
const char* DspSubCommandName(uint8_t subCommand);

// The log text of any sub-command: its name, "DSP_MIX_TYPE2" for 0x83, or
// its decimal number.
std::string DspSubCommandLogName(uint8_t subCommand);

}  // namespace device
