#include "virtual_device/simulated_car.h"

#include <algorithm>
#include <cmath>

namespace virtual_device {
namespace {

constexpr double kLowestPoint = 20.0;
constexpr double kGridSpan = 1000.0;  // 20 Hz to 20 kHz
constexpr double kPi = 3.14159265358979323846;

// The analyser cannot see below its noise floor, nor above its headroom.
constexpr double kNoiseFloorDb = -21.0;
constexpr double kLowestReportedDb = -20.0;
constexpr double kHighestReportedDb = 15.0;

// A small counter-based generator: the same seed gives the same car.
class Dice {
public:
    explicit Dice(uint64_t seed) : mState(seed) {}
    double Uniform(double low, double high) {
        return low + (high - low) * static_cast<double>(Next() >> 11) * 0x1.0p-53;
    }

private:
    uint64_t Next() {
        uint64_t z = (mState += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    uint64_t mState;
};

enum class Role { kNone, kTweeter, kMid, kWoofer, kMidHigh, kMidLow, kFullRange, kSubwoofer };

Role RoleOfType(int type) {
    switch (type) {
        case 1:
        case 7:
        case 13:
        case 16:
        case 19:
            return Role::kTweeter;
        case 2:
        case 8:
        case 27:
        case 28:
            return Role::kMid;
        case 3:
        case 9:
        case 14:
        case 17:
        case 20:
            return Role::kWoofer;
        case 4:
        case 10:
            return Role::kMidHigh;
        case 5:
        case 11:
            return Role::kMidLow;
        case 6:
        case 12:
        case 15:
        case 18:
        case 21:
        case 25:
        case 26:
        case 29:
        case 30:
            return Role::kFullRange;
        case 22:
        case 23:
        case 24:
            return Role::kSubwoofer;
        default:
            return Role::kNone;
    }
}

bool IsRear(int type) {
    return (type >= 13 && type <= 18) || type == 27 || type == 28 || type == 30;
}

bool IsCentre(int type) {
    return type >= 19 && type <= 21;
}

// How the driver itself plays: its band edges with their slopes (6 dB per
// octave per order), its resonance and the cone's break-up.
struct Driver {
    SpeakerBand band;
    int lowOrder = 2;
    int highOrder = 2;
    double resonanceHz = 0.0;
    double resonanceDb = 0.0;
    double breakupHz = 0.0;
    double breakupDb = 0.0;
};

Driver DriverOf(Role role) {
    switch (role) {
        case Role::kTweeter:
            return {{2200.0, 22000.0}, 3, 2, 1900.0, 3.0, 9000.0, 1.5};
        case Role::kMid:
            return {{250.0, 7000.0}, 2, 3, 300.0, 2.0, 5200.0, 3.0};
        case Role::kWoofer:
            return {{55.0, 2500.0}, 2, 3, 70.0, 3.0, 1800.0, 4.0};
        case Role::kMidHigh:
            return {{350.0, 20000.0}, 2, 2, 420.0, 2.0, 6000.0, 2.0};
        case Role::kMidLow:
            return {{60.0, 5000.0}, 2, 3, 75.0, 2.5, 3200.0, 3.0};
        case Role::kFullRange:
            return {{65.0, 18000.0}, 2, 2, 80.0, 2.0, 2900.0, -3.0};
        case Role::kSubwoofer:
            return {{28.0, 85.0}, 2, 4, 38.0, 2.5, 0.0, 0.0};
        case Role::kNone:
            break;
    }
    return {};
}

// A bump (or a dip, with negative gain) of `width` octaves around f0.
double Bump(double f, double f0, double gainDb, double widthOctaves) {
    if (f0 <= 0.0 || gainDb == 0.0) {
        return 0.0;
    }
    const double octaves = std::log2(f / f0) / widthOctaves;
    return gainDb * std::exp(-0.5 * octaves * octaves);
}

double HighPassDb(double f, double corner, int order) {
    return -10.0 * std::log10(1.0 + std::pow(corner / f, 2.0 * order));
}

double LowPassDb(double f, double corner, int order) {
    return -10.0 * std::log10(1.0 + std::pow(f / corner, 2.0 * order));
}

// What the cabin does to every speaker in it, with the seat-dependent part
// drawn per channel.
struct Cabin {
    double gainDb = 0.0;
    double gainCornerHz = 70.0;
    double modePeakHz = 0.0, modePeakDb = 0.0;
    double modeDipHz = 0.0, modeDipDb = 0.0;
    double reflectionHz = 0.0, reflectionDb = 0.0;
    double secondReflectionHz = 0.0, secondReflectionDb = 0.0;
    double offAxisHz = 5000.0, offAxisDbPerOctave = 2.0;
    double ripplePhase = 0.0, secondRipplePhase = 0.0;
};

Cabin CabinFor(uint32_t seed, int channel, Role role) {
    Dice car(0xC0FFEEull * (seed + 1u));
    Cabin cabin;
    cabin.gainDb = car.Uniform(6.0, 9.0);
    cabin.gainCornerHz = car.Uniform(60.0, 78.0);
    const double peakHz = car.Uniform(95.0, 150.0);
    const double dipHz = car.Uniform(190.0, 340.0);
    const double reflectionHz = car.Uniform(800.0, 1600.0);
    const double secondReflectionHz = car.Uniform(2200.0, 3800.0);
    // Each seat hears the same cabin modes a little shifted and stronger or weaker.
    Dice seat(0x5EA7ull * (seed + 1u) + static_cast<uint64_t>(channel) * 7919u);
    cabin.modePeakHz = peakHz * seat.Uniform(0.95, 1.05);
    cabin.modePeakDb = seat.Uniform(4.0, 7.0);
    cabin.modeDipHz = dipHz * seat.Uniform(0.95, 1.05);
    cabin.modeDipDb = -seat.Uniform(5.0, 8.0);
    cabin.reflectionHz = reflectionHz * seat.Uniform(0.9, 1.1);
    cabin.reflectionDb = -seat.Uniform(4.0, 7.0);
    cabin.secondReflectionHz = secondReflectionHz * seat.Uniform(0.9, 1.1);
    cabin.secondReflectionDb = -seat.Uniform(2.0, 4.5);
    // Tweeters are aimed at the listener; the others play off axis.
    cabin.offAxisHz = seat.Uniform(4500.0, 7000.0);
    cabin.offAxisDbPerOctave =
        role == Role::kTweeter ? seat.Uniform(1.0, 2.0) : seat.Uniform(2.0, 3.5);
    cabin.ripplePhase = seat.Uniform(0.0, 2.0 * kPi);
    cabin.secondRipplePhase = seat.Uniform(0.0, 2.0 * kPi);
    return cabin;
}

double DriverDb(const Driver& driver, double f) {
    return HighPassDb(f, driver.band.low, driver.lowOrder) +
           LowPassDb(f, driver.band.high, driver.highOrder) +
           Bump(f, driver.resonanceHz, driver.resonanceDb, 0.35) +
           Bump(f, driver.breakupHz, driver.breakupDb, 0.3);
}

double CabinDb(const Cabin& cabin, double f) {
    const double ratio = f / cabin.gainCornerHz;
    double db = cabin.gainDb / (1.0 + ratio * ratio);
    db += Bump(f, cabin.modePeakHz, cabin.modePeakDb, 0.12);
    db += Bump(f, cabin.modeDipHz, cabin.modeDipDb, 0.13);
    db += Bump(f, cabin.reflectionHz, cabin.reflectionDb, 0.11);
    db += Bump(f, cabin.secondReflectionHz, cabin.secondReflectionDb, 0.1);
    if (f > cabin.offAxisHz) {
        db -= cabin.offAxisDbPerOctave * std::log2(f / cabin.offAxisHz);
    }
    // A little fine structure, as any real measurement has.
    const double octave = std::log2(f / kLowestPoint);
    db += 0.35 * std::sin(2.0 * kPi * 2.7 * octave + cabin.ripplePhase) +
          0.2 * std::sin(2.0 * kPi * 6.1 * octave + cabin.secondRipplePhase);
    return db;
}

// The level the speaker plays its band at: the mean over the band's middle.
double PassbandLevel(const std::vector<double>& db, const SpeakerBand& band) {
    double sum = 0.0;
    int count = 0;
    for (int i = 0; i < kMeasuredPoints; ++i) {
        const double f = MeasuredPointFrequency(i);
        if (f >= band.low * 1.5 && f <= band.high / 1.5) {
            sum += db[static_cast<size_t>(i)];
            ++count;
        }
    }
    return count > 0 ? sum / count : 0.0;
}

double DistanceOf(int type, Role role, Dice& dice) {
    if (role == Role::kSubwoofer) {
        return dice.Uniform(145.0, 180.0);
    }
    if (IsRear(type)) {
        return dice.Uniform(120.0, 170.0);
    }
    if (IsCentre(type)) {
        return dice.Uniform(75.0, 95.0);
    }
    return dice.Uniform(65.0, 115.0);
}

}  // namespace

double MeasuredPointFrequency(int point) {
    return kLowestPoint * std::pow(kGridSpan, point / static_cast<double>(kMeasuredPoints - 1));
}

bool SimulatedCar::BandOfType(int outputType, SpeakerBand* band) {
    const Role role = RoleOfType(outputType);
    if (role == Role::kNone) {
        return false;
    }
    *band = DriverOf(role).band;
    return true;
}

CarChannel SimulatedCar::Channel(int channel, int outputType) const {
    CarChannel result;
    const Role role = RoleOfType(outputType);
    if (role == Role::kNone) {
        return result;
    }
    Dice dice(0xA11CEull * (mSeed + 1u) + static_cast<uint64_t>(channel) * 104729u +
              static_cast<uint64_t>(outputType));
    Driver driver = DriverOf(role);
    // No two drivers are quite alike, left and right included.
    driver.resonanceHz *= dice.Uniform(0.9, 1.1);
    driver.breakupHz *= dice.Uniform(0.9, 1.1);
    driver.resonanceDb *= dice.Uniform(0.8, 1.2);
    const Cabin cabin = CabinFor(mSeed, channel, role);

    std::vector<double> db(kMeasuredPoints);
    for (int i = 0; i < kMeasuredPoints; ++i) {
        const double f = MeasuredPointFrequency(i);
        db[static_cast<size_t>(i)] = DriverDb(driver, f) + CabinDb(cabin, f);
    }
    const double level = PassbandLevel(db, driver.band);
    result.response.reserve(kMeasuredPoints);
    for (int i = 0; i < kMeasuredPoints; ++i) {
        const double relative = db[static_cast<size_t>(i)] - level;
        // What falls under the noise floor reads as the floor.
        const double heard = 10.0 * std::log10(std::pow(10.0, relative / 10.0) +
                                               std::pow(10.0, kNoiseFloorDb / 10.0));
        result.response.emplace_back(
            static_cast<float>(MeasuredPointFrequency(i)),
            static_cast<float>(std::clamp(heard, kLowestReportedDb, kHighestReportedDb)));
    }
    result.hasSpeaker = true;
    result.band = driver.band;
    result.distanceCm = DistanceOf(outputType, role, dice);
    result.reversedPolarity = dice.Uniform(0.0, 1.0) < 0.25;
    return result;
}

}  // namespace virtual_device
