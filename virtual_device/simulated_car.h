// The car the virtual amplifier plays into during its calibration run: one
// speaker per output channel, chosen by the channel's output type (tweeter,
// mid, woofer, full range, subwoofer; type 0 has none), in a cabin that
// lifts the low bass, rings between 80 and 400 Hz, reflects in the mids and
// loses treble off axis. Each channel also sits at its own distance from the
// microphone and may be wired with reversed polarity. Everything follows from
// the seed, the channel and its type, so the same car measures the same
// every time.
#pragma once

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

namespace virtual_device {

// The analyser's grid: 121 points, twelve per octave, 20 Hz to 20 kHz.
inline constexpr int kMeasuredPoints = 121;
double MeasuredPointFrequency(int point);

// The band a speaker plays, in hertz, and the level it plays it at.
struct SpeakerBand {
    double low = 20.0;
    double high = 20000.0;
};

struct CarChannel {
    bool hasSpeaker = false;
    SpeakerBand band;
    double distanceCm = 0.0;
    bool reversedPolarity = false;
    // (frequency, gain dB relative to the passband level) on the analyser's grid.
    std::vector<std::pair<float, float>> response;
};

class SimulatedCar {
public:
    explicit SimulatedCar(uint32_t seed = 1) : mSeed(seed) {}

    // The speaker an output of this type drives, as the microphone hears it.
    CarChannel Channel(int channel, int outputType) const;

    // The speaker's band by output type; nothing for type 0 or an unknown type.
    static bool BandOfType(int outputType, SpeakerBand* band);

private:
    uint32_t mSeed;
};

}  // namespace virtual_device
