// The amplifier's automatic calibration run, on the amplifier's clock. After
// the start it detects the speakers, tests the level, locates the speakers
// (with the delay module), sets the channel volumes, tests the EQ and sweeps
// every chosen channel (with the EQ module), each step taking its time. Then
// it offers each chosen channel in rising order: first its measured response
// (status 7) until the host has read all 121 points, then its correction
// (status 8) until the host has read all 11 bands, each for at most the read
// time-out; one last step for the phase, and the run is done (status 10, or
// 12 when the firmware ends its runs with an exit).
//
// Statuses as the amplifier reports them: 0 started, 1 detecting speakers,
// 2 level test, 3 location test, 4 channel volume, 5 EQ test, 6 frequency
// response test, 7 response ready, 8 correction ready, 9 phase, 10 done,
// 11 failed (with a reason), 12 exit (before any run, after a stop).
//
// The result changes nothing until the host applies it to the working state:
// the correction into EQ bands 0..10 (the channel's other bands go flat),
// delays that make every calibrated channel arrive with the farthest one,
// and an inverted phase for a speaker wired the wrong way round. The trims
// stay as they are: the level step only checks that every speaker is heard.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <vector>

#include "model/profile_records.h"
#include "virtual_device/amplifier_state.h"
#include "virtual_device/simulated_car.h"

namespace virtual_device {

inline constexpr int kCalibrationChannels = 16;  // the start command's channel mask

// Bits of the test module mask.
inline constexpr uint8_t kCalibrateEq = 1;
inline constexpr uint8_t kCalibrateDelay = 2;
inline constexpr uint8_t kCalibratePhase = 4;

// A real amplifier's pace: eight channels take it about 45 s, the host's
// reads included.
inline constexpr std::chrono::milliseconds kRealCalibrationPhaseTime{2000};

struct CalibrationOptions {
    // How long each timed step of the run takes; the sweep of the frequency
    // response takes this long per chosen channel.
    std::chrono::milliseconds phaseTime = kRealCalibrationPhaseTime;
    // How long the amplifier offers one channel's response or correction
    // when the host does not read it.
    std::chrono::milliseconds channelReadTimeout{10000};
    // Firmware that ends a completed run with status 12 (exit) instead of 10.
    bool endWithExit = false;
    // Which car the amplifier sits in.
    uint32_t carSeed = 1;
};

enum class CalibrationFault { kNone, kNoMicrophone, kMissingSpeaker, kLevelTooLow, kUnknownReason };

struct CalibrationStatus {
    int status = 12;
    int extra = 0;  // the channel, with statuses 7 and 8
    int progress = 0;
    int reason = 0;  // with status 11
};

class CalibrationRun {
public:
    explicit CalibrationRun(CalibrationOptions options) : mOptions(options) {}

    void SelectModules(uint8_t modules) { mModules = modules; }
    uint8_t Modules() const { return mModules; }
    uint16_t ChannelMask() const { return mMask; }
    uint8_t EqMode() const { return mEqMode; }
    // Faults planted for the runs from now on (channel -1: any channel).
    void SetFault(CalibrationFault fault, int channel);

    // A new run over the channels of `mask`; `cars` holds what the
    // microphone will hear of each channel through the amplifier as it is
    // set (a reversed polarity counts the channel's phase setting in).
    void Start(uint16_t mask, uint8_t eqMode,
               const std::array<CarChannel, kCalibrationChannels>& cars, int64_t nowMs);
    void Stop(int64_t nowMs);
    // Applies a completed run's result to `working` once; false (and
    // nothing changed) without one.
    bool Apply(AmplifierState& working, bool eqPrecision, int64_t nowMs);
    void Discard(int64_t nowMs);
    // The amplifier lost its power: no run, no result.
    void Forget();

    CalibrationStatus Status(int64_t nowMs);
    // The answers to the host's requests for a channel's measured response
    // and its correction (request bytes: channel, first, last).
    std::vector<uint8_t> SpectrumReport(const std::vector<uint8_t>& request, int64_t nowMs);
    std::vector<uint8_t> EqReport(const std::vector<uint8_t>& request, int64_t nowMs);

    // The correction of a channel once the run has offered it, or nothing.
    std::vector<model::EqBand> Result(int channel, int64_t nowMs);
    // What the run measured of a channel, or nothing when it did not.
    const CarChannel* Measured(int channel) const;

private:
    enum class Phase { kIdle, kRunning, kCompleted, kFailed, kStopped };
    enum class StepKind { kTimed, kResponseRead, kCorrectionRead };
    struct Step {
        int status = 0;
        int channel = 0;
        StepKind kind = StepKind::kTimed;
        int64_t durationMs = 0;
        double weight = 1.0;
    };

    void Advance(int64_t nowMs);
    int64_t StepEnd(const Step& step) const;
    int FailureAfter(const Step& step) const;  // the reason, or -1
    int ProgressNow(int64_t nowMs) const;
    void BuildSteps();
    void NoteRead(StepKind kind, int channel, int first, int last, int64_t nowMs);
    bool Offered(int channel) const;  // the run reached the channel's correction

    const CalibrationOptions mOptions;
    uint8_t mModules = kCalibrateEq | kCalibrateDelay | kCalibratePhase;
    uint8_t mRunModules = 0;  // the modules of the current or last run
    uint16_t mMask = 0;
    uint8_t mEqMode = 0;
    CalibrationFault mFault = CalibrationFault::kNone;
    int mFaultChannel = -1;

    Phase mPhase = Phase::kIdle;
    std::vector<Step> mSteps;
    size_t mStep = 0;
    int64_t mStepStartMs = 0;
    double mDoneWeight = 0.0;
    double mTotalWeight = 1.0;
    std::vector<bool> mRead;  // points or bands of the offered channel the host has read
    int64_t mReadDoneMs = -1;
    int mFinalProgress = 0;
    int mFailReason = 0;
    bool mResultApplied = false;
    bool mResultDropped = false;

    std::array<CarChannel, kCalibrationChannels> mCars{};
    std::array<std::vector<model::EqBand>, kCalibrationChannels> mCorrections{};
};

}  // namespace virtual_device
