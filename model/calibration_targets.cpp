#include "model/calibration_targets.h"

#include <cmath>

#include "model/profile_defaults.h"

namespace model {
namespace {

struct PresetRow {
    int freq;
    float gain;
    float q;
};

// The first preset: a gentle bass lift, a dip at 800 Hz and a lowered
// presence region, with its own Q per band.
constexpr std::array<PresetRow, kTargetPresetBands> kPreset0 = {{
    {20, 6.5f, 5.8f},    {25, 6.5f, 5.8f},    {31, 6.5f, 5.8f},    {40, 5.5f, 5.8f},
    {50, 5.0f, 5.8f},    {63, 4.5f, 3.0f},    {80, 4.0f, 1.7f},    {100, 3.0f, 5.8f},
    {125, 2.0f, 5.8f},   {160, 1.0f, 5.8f},   {194, 1.5f, 1.3f},   {250, 0.0f, 5.8f},
    {300, 0.3f, 1.0f},   {400, 0.0f, 5.8f},   {500, 0.0f, 5.8f},   {630, 0.0f, 5.8f},
    {800, -3.0f, 3.0f},  {1000, 0.0f, 5.8f},  {1250, -1.0f, 3.0f}, {1600, -2.0f, 5.8f},
    {2000, -2.0f, 5.8f}, {2500, -2.0f, 5.8f}, {3150, -2.0f, 5.8f}, {4000, -2.0f, 3.0f},
    {5000, 0.0f, 5.8f},  {6300, 0.0f, 5.8f},  {8000, 0.0f, 5.8f},  {10000, 0.0f, 3.0f},
    {12500, 0.0f, 5.8f}, {16000, 3.0f, 1.2f}, {20000, 0.0f, 5.8f},
}};

// The second preset: the same bass lift and a treble falling steadily
// from 2 kHz, every band with Q 4.
constexpr float kPreset1Q = 4.0f;
constexpr std::array<PresetRow, kTargetPresetBands> kPreset1 = {{
    {20, 6.5f, kPreset1Q},     {25, 6.5f, kPreset1Q},     {31, 6.5f, kPreset1Q},
    {40, 5.5f, kPreset1Q},     {50, 5.0f, kPreset1Q},     {63, 4.5f, kPreset1Q},
    {80, 4.0f, kPreset1Q},     {100, 3.0f, kPreset1Q},    {125, 2.0f, kPreset1Q},
    {160, 1.0f, kPreset1Q},    {200, 0.0f, kPreset1Q},    {250, 0.0f, kPreset1Q},
    {315, 0.0f, kPreset1Q},    {400, 0.0f, kPreset1Q},    {500, 0.0f, kPreset1Q},
    {630, 0.0f, kPreset1Q},    {800, 0.0f, kPreset1Q},    {1000, 0.0f, kPreset1Q},
    {1250, 0.0f, kPreset1Q},   {1600, 0.0f, kPreset1Q},   {2000, -0.5f, kPreset1Q},
    {2500, -1.0f, kPreset1Q},  {3150, -1.5f, kPreset1Q},  {4000, -2.1f, kPreset1Q},
    {5000, -2.3f, kPreset1Q},  {6300, -2.5f, kPreset1Q},  {8000, -2.7f, kPreset1Q},
    {10000, -2.9f, kPreset1Q}, {12500, -3.1f, kPreset1Q}, {16000, -3.3f, kPreset1Q},
    {20000, -5.0f, kPreset1Q},
}};

TargetPreset Build(const std::array<PresetRow, kTargetPresetBands>& rows) {
    TargetPreset preset{};
    for (int i = 0; i < kTargetPresetBands; ++i) {
        preset[i] = EqBand{rows[i].gain, rows[i].q, rows[i].freq, true, 0};
    }
    return preset;
}

// The listening modes: how much each lifts (or lowers) the bass below
// about 120 Hz, the mids around 1 kHz, the presence around 3 kHz and the
// treble above about 6 kHz, in dB.
struct ModeShape {
    float bass, mids, presence, treble;
};
constexpr ModeShape kModeShapes[] = {
    {3.0f, 0.0f, 1.5f, 1.0f},   // pop
    {4.0f, -1.5f, 1.0f, 3.0f},  // rock
    {2.0f, 0.0f, 0.5f, 1.5f},   // jazz
    {1.5f, 0.0f, -0.5f, 1.0f},  // classical
    {-1.0f, 0.5f, 3.0f, 0.0f},  // vocal
    {6.0f, 0.0f, 0.0f, 0.0f},   // bass
    {0.0f, 0.0f, 1.0f, 5.0f},   // treble
    {0.0f, 0.0f, 0.0f, 0.0f},   // flat
};
constexpr int kFirstModePreset = 2;

double Bump(double f, double centre) {
    const double octaves = std::log2(f / centre);
    return std::exp(-octaves * octaves / (2.0 * 0.6 * 0.6));
}

// Each band takes the shape's level at its frequency; Q 4 keeps the bands
// about a third of an octave wide, as the warm preset's.
TargetPreset BuildMode(const ModeShape& shape) {
    TargetPreset preset{};
    for (int i = 0; i < kTargetPresetBands; ++i) {
        const int freq = defaultBandFrequency(kTargetPresetBands, i);
        const double f = freq;
        const double low = 1.0 / (1.0 + (f / 120.0) * (f / 120.0));
        const double high = 1.0 / (1.0 + (6000.0 / f) * (6000.0 / f));
        const double gain = shape.bass * low + shape.mids * Bump(f, 1000.0) +
                            shape.presence * Bump(f, 3000.0) + shape.treble * high;
        const float rounded = static_cast<float>(std::round(gain * 10.0) / 10.0);
        preset[i] = EqBand{rounded, kPreset1Q, freq, true, 0};
    }
    return preset;
}

std::array<TargetPreset, kTargetPresetCount> BuildAll() {
    std::array<TargetPreset, kTargetPresetCount> presets{};
    presets[0] = Build(kPreset0);
    presets[1] = Build(kPreset1);
    for (int m = kFirstModePreset; m < kTargetPresetCount; ++m) {
        presets[m] = BuildMode(kModeShapes[m - kFirstModePreset]);
    }
    return presets;
}

}  // namespace

const TargetPreset& calibrationTargetPreset(int p) {
    static const std::array<TargetPreset, kTargetPresetCount> presets = BuildAll();
    return presets[p >= 0 && p < kTargetPresetCount ? p : 0];
}

}  // namespace model
