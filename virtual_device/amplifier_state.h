// The virtual amplifier's sound-processing state, as the device keeps it:
// values in the device's own encoding (attenuations, tenths digits, codes),
// sized for every channel a host may name. One AmplifierState is the working
// state or one scene slot.
#pragma once

#include <array>
#include <cstdint>

namespace virtual_device {

inline constexpr int kAmpChannels = 32;
inline constexpr int kAmpBands = 31;
inline constexpr int kAmpSources = 10;
inline constexpr int kAmpInputs = 32;
inline constexpr int kAmpPairSlots = 16;
inline constexpr int kCsAutoBytes = 52;

// Source codes as the device takes and reports them: 81 + source index.
inline constexpr uint8_t kSourceCodeBase = 81;
inline constexpr uint8_t kLowLevelSourceCode = 85;
// Main volume arrives as an attenuation 0..66 below +6 dB.
inline constexpr uint8_t kMaxVolumeAttenuation = 66;
inline constexpr int kVolumeTopDb = 6;

struct EqBandState {
    uint16_t frequency = 1000;
    uint8_t qInteger = 5;
    uint16_t qFraction = 8;  // the tenths digit, or thousandths with EQ precision
    uint8_t gainByte = 18;   // low 5 bits gain + 18, high 3 bits the band type
    uint8_t gainTenths = 0;

    bool operator==(const EqBandState&) const = default;
};

struct FilterSectionState {
    uint8_t type = 1;
    uint16_t frequency = 20;
    uint8_t slope = 0;  // 0: off

    bool operator==(const FilterSectionState&) const = default;
};

struct CompressorState {
    uint8_t bypass = 1;
    uint8_t thresholdInteger = 164;  // threshold + 100
    uint8_t thresholdTenths = 0;
    uint8_t ratioInteger = 100;
    uint8_t ratioTenths = 0;
    uint8_t kneeInteger = 24;
    uint8_t kneeTenths = 0;
    uint16_t attack = 1000;
    uint16_t release = 30000;

    bool operator==(const CompressorState&) const = default;
};

struct Compressor2State {
    int8_t thresholdInteger = -20;
    int8_t thresholdTenths = 0;
    uint16_t attack = 10;
    uint8_t releaseSeconds = 1;
    uint8_t releaseTenths = 0;

    bool operator==(const Compressor2State&) const = default;
};

struct ChannelState {
    std::array<EqBandState, kAmpBands> eq{};
    FilterSectionState highPass{1, 20, 0};
    FilterSectionState lowPass{1, 20000, 0};
    uint8_t delayMs = 0;
    uint16_t delayThousandths = 0;
    uint8_t trimAttenuation = 0;  // trim = -(attenuation + hundredths / 100)
    uint8_t trimHundredths = 0;
    uint8_t mute = 0;
    uint8_t phase = 0;
    uint8_t solo = 0;
    uint8_t type = 0;
    uint8_t eqBypass = 0;
    uint8_t compressorOn = 1;
    uint8_t hpfQMode = 0;
    uint8_t lpfQMode = 0;
    uint16_t speakerDistance = 0;  // hundredths
    CompressorState compressor{};
    Compressor2State compressor2{};

    bool operator==(const ChannelState&) const = default;
};

struct CrossMixState {
    uint8_t viceSource = 10;
    uint8_t viceChannel = 0;
    uint8_t viceGain = 0;

    bool operator==(const CrossMixState&) const = default;
};

struct SourceState {
    std::array<uint32_t, kAmpChannels> mixMask{};                         // per output
    std::array<std::array<uint8_t, kAmpChannels>, kAmpInputs> mixTrim{};  // [input][output]
    std::array<uint8_t, kAmpInputs> inputPhase{};
    std::array<CrossMixState, kAmpInputs> crossMix{};

    bool operator==(const SourceState&) const = default;
};

struct AmplifierState {
    uint8_t sourceCode = kLowLevelSourceCode;
    uint8_t volumeAttenuation = kVolumeTopDb;  // 0 dB
    // Each source keeps the volume it was last played at; switching to a
    // source brings its volume back (0 dB for one not played yet).
    std::array<uint8_t, kAmpSources> sourceVolumeAttenuation{
        kVolumeTopDb, kVolumeTopDb, kVolumeTopDb, kVolumeTopDb, kVolumeTopDb,
        kVolumeTopDb, kVolumeTopDb, kVolumeTopDb, kVolumeTopDb, kVolumeTopDb};
    int8_t subwooferVolume = 0;
    uint8_t mute = 0;
    uint8_t ampMute = 0;
    uint8_t remOut1 = 1;
    uint8_t remOut2 = 1;
    uint8_t spkOhm = 1;
    uint8_t spkOhm13 = 1;
    uint8_t spkOhm21 = 1;
    uint8_t noiseGate = 0;
    uint8_t noiseGateGainIndex = 32;  // 0 dB
    uint8_t noiseGateThresholdIndex = 0;
    int8_t inputThreshold = -60;
    uint8_t link = 0;
    std::array<uint8_t, kAmpPairSlots> linkPairs{};  // from << 4 | to
    uint8_t lock = 0;
    uint8_t autoOn = 0;
    uint8_t ircActiveBypass = 0;
    uint8_t speakerConfig = 0;
    uint8_t mixType = 0;
    std::array<uint8_t, kCsAutoBytes> csAuto{};
    uint8_t bridgeCount = 0;
    std::array<uint8_t, kAmpPairSlots> bridges{};
    std::array<ChannelState, kAmpChannels> channels{};
    std::array<SourceState, kAmpSources> sources{};

    bool operator==(const AmplifierState&) const = default;
};

// The state of a reset profile for a model with `outputChannels` outputs:
// default output types, crossovers by type, flat EQ at the default band
// frequencies, the default input routing.
AmplifierState MakeDefaultAmplifierState(int outputChannels);

// The default EQ band frequencies of a channel with this many bands.
int DefaultBandFrequency(int bandCount, int band);

// The band count of channel c: 21 for 0..3, 11 for 4..15, 31 above.
int DefaultBandCount(int channel);

}  // namespace virtual_device
