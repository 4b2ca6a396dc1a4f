#include "model/profile_defaults.h"

#include <array>
#include <span>

namespace model {

namespace {

constexpr std::array<int, 11> kFreq11 = {20, 40, 80, 160, 315, 630, 1250, 2500, 5000, 10000, 20000};
constexpr std::array<int, 21> kFreq21 = {20,   28,   40,   56,   80,    112,   160,
                                         220,  315,  450,  630,  890,   1250,  1800,
                                         2500, 3600, 5000, 7100, 10000, 14000, 20000};
constexpr std::array<int, 31> kFreq31 = {
    20,  25,   31,   40,   50,   63,   80,   100,  125,  160,  200,  250,   315,   400,   500,  630,
    800, 1000, 1250, 1600, 2000, 2500, 3150, 4000, 5000, 6300, 8000, 10000, 12500, 16000, 20000};

constexpr std::array<int, 6> kTypes6 = {6, 12, 15, 18, 22, 23};
constexpr std::array<int, 8> kTypes8 = {6, 12, 15, 18, 19, 20, 22, 23};
constexpr std::array<int, 10> kTypes10 = {6, 12, 15, 18, 19, 20, 14, 17, 22, 23};
constexpr std::array<int, 12> kTypes12 = {1, 7, 2, 8, 3, 9, 13, 16, 14, 17, 22, 23};
constexpr std::array<int, 16> kTypes16 = {1, 7, 2, 8, 13, 16, 27, 28, 19, 20, 3, 9, 14, 17, 22, 23};
constexpr std::array<int, 32> kTypes32 = {1,  7,  2,  8,  13, 16, 27, 28, 19, 20, 3,
                                          9,  14, 17, 22, 23, 4,  5,  10, 11, 6,  12,
                                          15, 18, 29, 29, 30, 30, 21, 21, 24, 24};

std::span<const int> typesForCount(int channelCount) {
    switch (channelCount) {
        case 6:
            return kTypes6;
        case 8:
            return kTypes8;
        case 10:
            return kTypes10;
        case 12:
            return kTypes12;
        case 16:
            return kTypes16;
        case 32:
            return kTypes32;
        default:
            return {};
    }
}

struct CrossoverDefault {
    int hpFreq;
    int hpSlope;
    int lpFreq;
    int lpSlope;
    int family;
};

CrossoverDefault crossoverDefaultOf(int t) {
    switch (t) {
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

FilterSection section(int freq, int slope, int family) {
    return FilterSection{freq, family, slope, slope == 0 ? 1 : 0};
}

int bpTypeOf(int hpSlope, int lpSlope) {
    return (hpSlope != 0 ? 1 : 0) | (lpSlope != 0 ? 2 : 0);
}

}  // namespace

int defaultBandCount(int c) {
    if (c < 0 || c >= 32) {
        return 0;
    }
    if (c < 4) {
        return 21;
    }
    return c < 16 ? 11 : 31;
}

int defaultBandFrequency(int n, int i) {
    std::span<const int> table = n <= 11   ? std::span<const int>(kFreq11)
                                 : n <= 21 ? std::span<const int>(kFreq21)
                                           : std::span<const int>(kFreq31);
    if (i < 0) {
        return table.front();
    }
    // Bands stored beyond a channel's count have no meaning; they get the top
    // frequency rather than a value read past the table.
    return i < static_cast<int>(table.size()) ? table[i] : table.back();
}

int defaultOutputType(int channelCount, int i) {
    std::span<const int> types = typesForCount(channelCount);
    if (i < 0 || i >= static_cast<int>(types.size())) {
        return 0;
    }
    return types[i];
}

Crossover defaultCrossover(int t) {
    CrossoverDefault d = crossoverDefaultOf(t);
    Crossover x;
    x.bpType = bpTypeOf(d.hpSlope, d.lpSlope);
    x.hp = section(d.hpFreq, d.hpSlope, d.family);
    x.lp = section(d.lpFreq, d.lpSlope, d.family);
    return x;
}

}  // namespace model
