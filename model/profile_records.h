// The records a Profile is made of: one EQ band, one crossover side, a
// crossover and an output channel. Plain values, copied field by field.
#pragma once

#include <cstdint>

namespace model {

struct EqBand {
    float eqGain = 0.0f;    // dB
    float eqFactor = 5.8f;  // Q
    int32_t freq = 20;      // Hz
    bool enable = true;
    // The band's filter type as the device reports it: 0 peaking, 1 all-pass.
    // A band of another type than 0 carries gain 0.
    uint8_t type = 0;

    bool operator==(const EqBand&) const = default;
};

struct FilterSection {
    int32_t fs = 20;     // corner frequency, Hz
    int32_t type = 1;    // family: 1 Butterworth, 2 Linkwitz-Riley, 3 Bessel
    int32_t slope = 0;   // slope index; 0 switches the section off
    int32_t bypass = 1;  // always (slope == 0)

    bool operator==(const FilterSection&) const = default;
};

struct Crossover {
    // 0 all-pass, 1 high-pass only, 2 low-pass only, 3 band-pass. Set when a
    // crossover is built from defaults; the individual setters leave it alone.
    int32_t bpType = 0;
    FilterSection hp{20, 1, 0, 1};
    FilterSection lp{20000, 1, 0, 1};

    bool operator==(const Crossover&) const = default;
};

// One output channel. Its bands live in the owning Profile's band storage
// (Profile::eqArray), so a copied profile never shares bands with its source.
struct Channel {
    int32_t eqSize = 0;  // bands in use
    float gain = 0.0f;   // trim, dB, steps of 0.1 dB
    int32_t mute = 0;
    float delay = 0.0f;  // ms
    int32_t phase = 0;
    int32_t solo = 0;
    bool bypass = true;  // EQ bypassed: every band acts as flat
    bool compressorOn = true;
    Crossover crossover;

    bool operator==(const Channel&) const = default;
};

}  // namespace model
