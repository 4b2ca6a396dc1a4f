// The records that the device link attaches to its window messages, one per
// kind of device report. Plain values with fixed-size fields; the receiver
// reads them with platform::RecordValue<T>. Where a report carries a value
// per absolute channel number, the arrays hold 32 channels (16 for the input
// noise) and the link drops channels beyond them.
#pragma once

#include <array>
#include <cstdint>

namespace device {

inline constexpr int kRecordChannels = 32;
inline constexpr int kNoiseRecordChannels = 16;

// ---- DSP reports, WM_READ_DSP_VALUE ----

// DSP_FILTER_SET: one channel's high-pass and low-pass sections.
struct FilterRecord {
    int32_t scene = 0;
    int32_t channel = 0;
    int32_t hp_type = 0;
    int32_t hp_freq = 0;
    int32_t hp_slope = 0;
    int32_t lp_type = 0;
    int32_t lp_freq = 0;
    int32_t lp_slope = 0;
};

// DSP_EQ_CH and DSP_INPUT_EQ_CH: one band.
struct EqBandRecord {
    int32_t scene = 0;
    int32_t channel = 0;
    int32_t band = 0;
    int32_t frequency = 0;
    float q = 0;
    float gain = 0;
    int32_t type = 0;
};

// Integer per-channel values: mute, phase (low byte), output type, EQ
// bypass, solo, compressor on.
struct ChannelValueRecord {
    int32_t scene = 0;
    int32_t channel = 0;
    int32_t value = 0;
};

// Fractional per-channel values: delay in ms, trim in dB.
struct ChannelFloatRecord {
    int32_t scene = 0;
    int32_t channel = 0;
    float value = 0;
};

// DSP_MIX_CH: bit i set when input i feeds the output.
struct MixMaskRecord {
    int32_t scene = 0;
    int32_t source = 0;
    int32_t channel = 0;
    uint32_t mask = 0;
};

// DSP_CH_LINK, DSP_CH_TRIM_LINK, DSP_CH_DELAY_LINK: one byte per output pair
// (from channel in the high nibble, to channel in the low one).
struct LinkRecord {
    int32_t scene = 0;
    int32_t link = 0;
    std::array<uint8_t, 16> pairs{};
    int32_t pairCount = 0;
};

// DSP_CH_LOCK.
struct LockRecord {
    int32_t scene = 0;
    int32_t lock = 0;
};

// DSP_SPK_CH_CONFIG.
struct SpeakerConfigRecord {
    int32_t config = 0;
};

// DSP_MIX_TYPE, DSP_MIX_TYPE2.
struct MixTypeRecord {
    int32_t scene = 0;
    int32_t source = 0;
    int32_t type = 0;
};

// DSP_HPF_Q_FACT_MODE, DSP_LPF_Q_FACT_MODE: modes[channel].
struct ChannelByteRecord {
    uint8_t scene = 0;
    uint8_t source = 0;
    uint8_t first = 0;
    uint8_t last = 0;
    std::array<uint8_t, kRecordChannels> modes{};
};

// DSP_COMPRESSOR_SETTING and DSP_COMPRESSOR_SETTING2 (the latter leaves
// bypass, ratio and knee at 0).
struct CompressorRecord {
    int32_t scene = 0;
    int32_t channel = 0;
    int32_t bypass = 0;
    float threshold = 0;
    float ratio = 0;
    int32_t attack = 0;
    int32_t release = 0;
    float knee = 0;
};

// DSP_OUTPUT_CH_DISTORT: values[channel].
struct OutputDistortRecord {
    int32_t reserved = 0;
    int32_t source = 0;
    int32_t first = 0;
    int32_t last = 0;
    std::array<uint8_t, kRecordChannels> values{};
};

// DSP_MEM_DATA, WM_READ_MEM_VALUE.
struct MemDataRecord {
    uint32_t address = 0;
    uint32_t value = 0;
};

// DSP_SPK_DIST: distances[channel] in hundredths.
struct SpkDistRecord {
    uint8_t scene = 0;
    uint8_t source = 0;
    uint8_t first = 0;
    uint8_t last = 0;
    std::array<uint16_t, kRecordChannels> distances{};
};

// DSP_REM_OUT.
struct RemOutRecord {
    uint8_t remOut1 = 0;
    uint8_t remOut2 = 0;
};

// DSP_CROSS_SOURCE_MIX and DSP_CROSS_SOURCE_MIX_CS47048 (gain 0 in the
// latter).
struct CrossMixRecord {
    uint8_t scene = 0;
    uint8_t source = 0;
    uint8_t channel = 0;
    uint8_t viceSource = 0;
    uint8_t viceChannel = 0;
    uint8_t viceGain = 0;
};

// DSP_OUPUT_BRIDGE.
struct BridgeRecord {
    uint8_t scene = 0;
    uint8_t source = 0;
    uint8_t count = 0;
    std::array<uint8_t, 32> bridges{};
};

// DSP_SPK_OHM13_21.
struct SpkOhm13_21Record {
    uint8_t ohm13 = 0;
    uint8_t ohm21 = 0;
};

// DSP_INPUT_TRIM_CH, DSP_INPUT_CH_MUTE, DSP_INPUT_CH_PHASE: values[channel].
struct InputChannelRecord {
    int32_t scene = 0;
    int32_t source = 0;
    int32_t first = 0;
    int32_t last = 0;
    std::array<uint8_t, kRecordChannels> values{};
};

// DSP_INPUT_MIX_CH_TRIM: trims[i] for the i-th output from firstOutput.
struct InputMixTrimRecord {
    int32_t scene = 0;
    int32_t source = 0;
    int32_t inputChannel = 0;
    int32_t firstOutput = 0;
    int32_t lastOutput = 0;
    std::array<int8_t, kRecordChannels> trims{};
};

// DSP_INPUT_NOISE (to the noise window): noise[channel] in dB.
struct InputNoiseRecord {
    int32_t first = 0;
    int32_t last = 0;
    std::array<float, kNoiseRecordChannels> noise{};
};

// DSP_INPUT_CH_DISTORT: values[channel].
struct InputDistortRecord {
    int32_t source = 0;
    int32_t first = 0;
    int32_t last = 0;
    std::array<uint8_t, kRecordChannels> values{};
};

// ---- calibration reports, WM_READ_IRC_VALUE ----

// DSP_IRC_DISTANCE.
struct IrcDistanceRecord {
    int32_t channel = 0;
    float distance = 0;
};

// DSP_IRC_TRIM.
struct IrcTrimRecord {
    int32_t channel = 0;
    float trim = 0;
};

// DSP_IRC_EQ.
struct IrcEqRecord {
    int32_t channel = 0;
    int32_t band = 0;
    int32_t frequency = 0;
    float q = 0;
    float gain = 0;
};

// DSP_IRC_SPK_SIZE, DSP_IRC_SPK_PHASE, DSP_IRC_SPK_LEVEL, DSP_IRC_NOISE_LEVEL.
struct IrcChannelValueRecord {
    int32_t channel = 0;
    int32_t value = 0;
};

// DSP_IRC_SPECTRUM.
struct IrcSpectrumRecord {
    int32_t channel = 0;
    int32_t band = 0;
    float frequency = 0;
    float gain = 0;
};

// ---- microcontroller reports, WM_READ_MCU_VALUE ----

// MCU_HANDSHAKE.
struct HandshakeRecord {
    int32_t reserved = 0;
    int32_t model = 0;
    int32_t masterVersion = 0;
    int32_t slaveVersion = 0;
};

// MCU_GET_DSPFLASH_VER.
struct FlashVersionRecord {
    std::array<int32_t, 4> reserved{};
    std::array<int32_t, 4> version{};
};

// MCU 0x41: a short device string.
struct McuStringRecord {
    uint8_t length = 0;
    std::array<uint8_t, 16> bytes{};
};

// ---- scene flash reports, WM_READ_FLASH_VALUE ----

// FLASH_SCENE_NAME: an erased name (all bytes odd, as 0xFF) arrives as 16
// zero bytes.
struct SceneNameRecord {
    int32_t reserved = 0;
    int32_t sceneIndex = 0;  // scene number - 1
    std::array<uint8_t, 16> name{};
};

// FLASH_SCENE_VALID: bit k - 1 set when scene k is stored.
struct SceneValidRecord {
    int32_t mask = 0;
};

}  // namespace device
