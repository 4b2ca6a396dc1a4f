// The complete sound-processing state of one scene: a plain value type with
// fixed-size arrays sized for the largest model. The current model (the
// model record) uses the first entries. Copying copies everything, the
// response caches included.
#pragma once

#include <array>
#include <cstdint>

#include "model/profile_records.h"

namespace model {

inline constexpr int kChannelRecords = 34;
inline constexpr int kOutputSlots = 32;
inline constexpr int kSourceCount = 10;
inline constexpr int kSourceColumns = 34;
inline constexpr int kBandsPerChannel = 31;
inline constexpr int kBandRows = 32;
inline constexpr int kCurvePoints = 512;
inline constexpr int kMix2MonitorEntries = 640;
inline constexpr int kBridgePairs = 16;

template <typename T, int Rows, int Cols>
using Grid2 = std::array<std::array<T, Cols>, Rows>;
template <typename T, int A, int B, int C>
using Grid3 = std::array<std::array<std::array<T, C>, B>, A>;

class Profile {
public:
    Profile();

    bool operator==(const Profile&) const = default;

    // Restores the defaults of a fresh profile (channelCount is kept).
    void reset();

    // The bands of channel c, or nullptr when c is not a channel of this model.
    EqBand* eqArray(int c);
    const EqBand* eqArray(int c) const;
    // The channel's band count (its eqSize); 0 outside the channel records.
    int bandCount(int c) const;
    // Input channels of source s per the model record; 0 outside 0..9.
    static int inputChannelCount(int s);
    // Band i (< n) = (0 dB, Q 5.8, default frequency i for n bands, enabled, peaking).
    static void fillDefaultBands(EqBand* bands, int n);

    static int mirrorOutputType(int t);
    static bool sameLinkStage(int a, int b);
    bool containsOutputType(int t) const;
    bool mirroredPairInOneHalf() const;
    bool outputTypeSelectable(int t, int exceptChannel) const;

    void clearMixConfig(int k);
    void copyMixConfig(int from, int to);
    void copyOutConfig(int from, int to, bool withDelay);

    // Crossover setters; they clamp what they store.
    void setHpFreq(int c, int f);
    void setLpFreq(int c, int f);
    void setHpType(int c, int t);
    void setLpType(int c, int t);
    void setHpSlope(int c, int n);
    void setLpSlope(int c, int n);

    // Kept for models whose inputs run partly on a second processor; in this
    // model they only trace.
    void mix2monitorChIdx(int index);
    void mix2monitorChIdxs(int index);

    int32_t deviceModel = -1;
    int32_t fwMainVersion = -1;
    int32_t fwSlaveVersion = -1;
    std::array<int32_t, 4> flashVersion{};
    int32_t source = 0;
    int32_t mainVolume = -5;
    int32_t acc = 0;
    int32_t subVolume = 0;
    int32_t scene = 0;
    int32_t mainVolumeMute = 0;
    int32_t ampOn = 1;
    int32_t remOut1On = 1;
    int32_t remOut2On = 1;
    int32_t spkOhm = 1;
    int32_t spkOhm13 = 1;
    int32_t spkOhm21 = 1;
    int32_t noiseGate = 0;
    float noiseGateThreshold = -30.0f;
    float noiseGateDrcGain = 0.0f;
    int32_t autoOn = 0;
    int32_t channelCount = 0;
    std::array<int32_t, kBridgePairs> bridgeOutputs{};
    std::array<Channel, kChannelRecords> channels{};
    int32_t soloChannel = -1;
    Grid2<int32_t, kSourceCount, kSourceColumns> inputs{};
    Grid3<int32_t, kSourceCount, kSourceColumns, kSourceColumns> inputMixVolume{};
    Grid2<int32_t, kSourceCount, kSourceColumns> inMixPhase{};
    Grid2<int32_t, kSourceCount, kSourceColumns> inDistort{};
    Grid2<int32_t, kSourceCount, kOutputSlots> outDistort{};
    Grid2<int32_t, kSourceCount, kSourceColumns> csmViceSource{};
    Grid2<int32_t, kSourceCount, kSourceColumns> csmViceCh{};
    Grid2<int32_t, kSourceCount, kSourceColumns> csmViceGain{};
    std::array<int32_t, kChannelRecords> outputs{};
    std::array<int32_t, kOutputSlots> outputs_bk{};
    std::array<int32_t, kOutputSlots> linkOutputs{};
    std::array<int32_t, kOutputSlots> showOutChEqualizer{};
    int32_t currOutChannel = 0;
    bool peqMode = false;
    int32_t linkMode = 0;
    int32_t lockMode = 0;
    std::array<int32_t, kOutputSlots> linkGroup{};
    std::array<int32_t, kOutputSlots> delayLinkGroup{};
    std::array<int32_t, kMix2MonitorEntries> mix2monitor{};
    int32_t inputThreshold = -60;
    uint32_t powerOffDelay = 0;
    int32_t howlingControl = 0;
    int32_t micVolume = 60;
    int32_t bgmusicVolume = 60;
    int32_t voiceChanger = 0;
    int32_t echoLevel = 0;
    int32_t echoDelay = 0;
    int32_t reverbLevel = 0;
    int32_t reverbTime = 0;
    int32_t bass = 0;
    int32_t treble = 0;
    std::array<int32_t, kOutputSlots> compressorBypass{};
    std::array<float, kOutputSlots> compressorNoise{};
    std::array<float, kOutputSlots> compressorRatio{};
    std::array<int32_t, kOutputSlots> compressorAttack{};
    std::array<int32_t, kOutputSlots> compressorRelease{};
    std::array<float, kOutputSlots> compressorSoftKnee{};
    // Response caches, computed for drawing and never stored in files.
    std::array<double, kCurvePoints> hpMagnitude{};
    std::array<double, kCurvePoints> lpMagnitude{};
    std::array<double, kCurvePoints> hpPhase{};
    std::array<double, kCurvePoints> lpPhase{};
    Grid2<double, kOutputSlots, kCurvePoints> curveFreq{};
    Grid2<double, kOutputSlots, kCurvePoints> curveMagnitude{};
    Grid2<double, kOutputSlots, kCurvePoints> curvePhase{};
    Grid2<EqBand, kBandRows, kBandsPerChannel> eqBands{};

private:
    Crossover* crossoverOf(int c);
    void resetMixer();
    void resetChannels();
};

}  // namespace model
