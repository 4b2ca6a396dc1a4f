#include "virtual_device/amplifier_state.h"

#include <vector>

namespace virtual_device {
namespace {

constexpr int kEleven[] = {20, 40, 80, 160, 315, 630, 1250, 2500, 5000, 10000, 20000};
constexpr int kTwentyOne[] = {20,  28,   40,   56,   80,   112,  160,  220,   315,   450,  630,
                              890, 1250, 1800, 2500, 3600, 5000, 7100, 10000, 14000, 20000};
constexpr int kThirtyOne[] = {20,   25,   31,   40,   50,   63,    80,    100,   125,  160,  200,
                              250,  315,  400,  500,  630,  800,   1000,  1250,  1600, 2000, 2500,
                              3150, 4000, 5000, 6300, 8000, 10000, 12500, 16000, 20000};

// Default output types of a ten-output model: front, rear, centre, subwoofers.
constexpr uint8_t kTenOutputTypes[] = {6, 12, 15, 18, 19, 20, 14, 17, 22, 23};

struct CrossoverDefault {
    uint16_t hpFrequency;
    uint8_t hpSlope;
    uint16_t lpFrequency;
    uint8_t lpSlope;
    uint8_t type;
};

CrossoverDefault CrossoverOfType(int type) {
    switch (type) {
        case 1:
        case 7:
        case 13:
        case 16:
        case 19:
            return {4000, 4, 20000, 0, 3};
        case 2:
        case 8:
            return {500, 4, 4000, 4, 3};
        case 3:
        case 9:
        case 14:
        case 17:
        case 20:
            return {80, 4, 500, 4, 3};
        case 4:
        case 10:
            return {500, 4, 20000, 0, 3};
        case 5:
        case 11:
            return {80, 4, 4000, 4, 3};
        case 6:
        case 12:
        case 15:
        case 18:
        case 21:
            return {20, 4, 20000, 0, 3};
        case 22:
        case 23:
        case 24:
            return {20, 4, 70, 4, 1};
        default:
            return {20, 0, 20000, 0, 3};
    }
}

// Default routing: output 0 the left input, output 1 the right, 4 and 5 both.
uint32_t DefaultMask(int source, int output) {
    static const std::vector<uint32_t> lowLevel = {1, 2, 4, 8, 3, 3};
    static const std::vector<uint32_t> other = {1, 2, 1, 2, 3, 3};
    if (source == 9) {
        return output < 32 ? static_cast<uint32_t>(output + 1) : static_cast<uint32_t>(output - 31);
    }
    const auto& head = (source == 4 || source == 5) ? lowLevel : other;
    if (output < static_cast<int>(head.size())) {
        return head[output];
    }
    return output % 2 == 0 ? 1u : 2u;
}

}  // namespace

int DefaultBandCount(int channel) {
    if (channel < 4) {
        return 21;
    }
    return channel < 16 ? 11 : 31;
}

int DefaultBandFrequency(int bandCount, int band) {
    if (band < 0) {
        return 1000;
    }
    if (bandCount <= 11) {
        return band < 11 ? kEleven[band] : 20000;
    }
    if (bandCount <= 21) {
        return band < 21 ? kTwentyOne[band] : 20000;
    }
    return band < 31 ? kThirtyOne[band] : 20000;
}

AmplifierState MakeDefaultAmplifierState(int outputChannels) {
    AmplifierState state;
    for (int c = 0; c < kAmpChannels; ++c) {
        ChannelState& channel = state.channels[c];
        const int bands = DefaultBandCount(c);
        for (int b = 0; b < kAmpBands; ++b) {
            channel.eq[b] = EqBandState{};
            channel.eq[b].frequency = static_cast<uint16_t>(DefaultBandFrequency(bands, b));
        }
        channel.type = (outputChannels == 10 && c < 10) ? kTenOutputTypes[c] : 0;
        const CrossoverDefault crossover = CrossoverOfType(channel.type);
        channel.highPass = {crossover.type, crossover.hpFrequency, crossover.hpSlope};
        channel.lowPass = {crossover.type, crossover.lpFrequency, crossover.lpSlope};
        channel.eqBypass = 1;
    }
    for (int s = 0; s < kAmpSources; ++s) {
        SourceState& source = state.sources[s];
        for (int o = 0; o < kAmpChannels; ++o) {
            source.mixMask[o] = o < outputChannels ? DefaultMask(s, o) : 0;
            for (int r = 0; r < kAmpInputs; ++r) {
                source.mixTrim[r][o] = (r < 10 && (source.mixMask[o] >> r & 1) != 0) ? 100 : 0;
            }
        }
    }
    return state;
}

}  // namespace virtual_device
