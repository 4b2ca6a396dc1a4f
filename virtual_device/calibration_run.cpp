#include "virtual_device/calibration_run.h"

#include <algorithm>
#include <cmath>

#include "virtual_device/calibration_correction.h"
#include "virtual_device/report_room.h"

namespace virtual_device {
namespace {

constexpr int kStatusStarted = 0;
constexpr int kStatusSpeakers = 1;
constexpr int kStatusLevel = 2;
constexpr int kStatusLocation = 3;
constexpr int kStatusChannelVolume = 4;
constexpr int kStatusEqTest = 5;
constexpr int kStatusSweep = 6;
constexpr int kStatusResponseReady = 7;
constexpr int kStatusCorrectionReady = 8;
constexpr int kStatusPhase = 9;
constexpr int kStatusDone = 10;
constexpr int kStatusFailed = 11;
constexpr int kStatusExit = 12;

constexpr int kReasonLevel = 0;
constexpr int kReasonNoMicrophone = 1;
constexpr int kReasonNoSpeaker = 2;
constexpr int kReasonUnknown = 7;

constexpr uint8_t kEqGainOffset = 18;
constexpr double kSpeedOfSoundCmPerMs = 34.3;

uint8_t At(const std::vector<uint8_t>& data, size_t index) {
    return index < data.size() ? data[index] : 0;
}

void Put16(std::vector<uint8_t>& out, unsigned value) {
    out.push_back(static_cast<uint8_t>(value >> 8));
    out.push_back(static_cast<uint8_t>(value));
}

// Whole units and hundredths, both carrying the value's sign.
void PutSignedHundredths(std::vector<uint8_t>& out, double value) {
    const long hundredths = std::lround(value * 100.0);
    out.push_back(static_cast<uint8_t>(static_cast<int8_t>(hundredths / 100)));
    out.push_back(static_cast<uint8_t>(static_cast<int8_t>(hundredths % 100)));
}

// Gain + 18 in tenths, split in the whole part and the tenths digit: -3.4 dB
// goes out as 14 and 6.
std::pair<uint8_t, uint8_t> GainBytes(float gain) {
    const long tenths = std::clamp(std::lround((gain + kEqGainOffset) * 10.0), 0L, 310L);
    return {static_cast<uint8_t>(tenths / 10), static_cast<uint8_t>(tenths % 10)};
}

void PutCorrectionBand(std::vector<uint8_t>& out, const model::EqBand& band) {
    Put16(out, static_cast<unsigned>(band.freq));
    const long q = std::max(0L, std::lround(band.eqFactor * 100.0));
    out.push_back(static_cast<uint8_t>(q / 100));
    out.push_back(static_cast<uint8_t>(q % 100));
    const auto [whole, tenths] = GainBytes(band.eqGain);
    out.push_back(whole);
    out.push_back(tenths);
}

// A band in the state's own encoding: Q in tenths (thousandths with EQ
// precision), the gain byte with band type 0.
EqBandState StateBand(const model::EqBand& band, bool eqPrecision) {
    EqBandState state;
    state.frequency = static_cast<uint16_t>(band.freq);
    const long base = eqPrecision ? 1000 : 10;
    const long q = std::max(0L, std::lround(band.eqFactor * static_cast<double>(base)));
    state.qInteger = static_cast<uint8_t>(q / base);
    state.qFraction = static_cast<uint16_t>(q % base);
    const auto [whole, tenths] = GainBytes(band.eqGain);
    state.gainByte = whole;
    state.gainTenths = tenths;
    return state;
}

bool Chosen(uint16_t mask, int channel) {
    return channel >= 0 && channel < kCalibrationChannels && (mask >> channel & 1) != 0;
}

}  // namespace

void CalibrationRun::SetFault(CalibrationFault fault, int channel) {
    mFault = fault;
    mFaultChannel = channel;
}

void CalibrationRun::Start(uint16_t mask, uint8_t eqMode,
                           const std::array<CarChannel, kCalibrationChannels>& cars,
                           int64_t nowMs) {
    mMask = mask;
    mEqMode = eqMode;
    mRunModules = mModules;
    mCars = cars;
    std::vector<double> frequencies;
    for (int i = 0; i < kMeasuredPoints; ++i) {
        frequencies.push_back(MeasuredPointFrequency(i));
    }
    for (int c = 0; c < kCalibrationChannels; ++c) {
        mCorrections[c].clear();
        if (Chosen(mask, c) && mCars[c].hasSpeaker) {
            mCorrections[c] = DesignCorrection(
                mCars[c], CalibrationTargetDb(eqMode, DefaultBandCount(c), frequencies));
        }
    }
    BuildSteps();
    mPhase = Phase::kRunning;
    mStep = 0;
    mStepStartMs = nowMs;
    mDoneWeight = 0.0;
    mRead.clear();
    mReadDoneMs = -1;
    mFinalProgress = 0;
    mFailReason = 0;
    mResultApplied = false;
    mResultDropped = false;
}

void CalibrationRun::BuildSteps() {
    const int64_t phase = mOptions.phaseTime.count();
    int chosen = 0;
    for (int c = 0; c < kCalibrationChannels; ++c) {
        chosen += Chosen(mMask, c) ? 1 : 0;
    }
    mSteps.clear();
    auto timed = [&](int status, int64_t units) {
        mSteps.push_back({status, 0, StepKind::kTimed, phase * units, static_cast<double>(units)});
    };
    timed(kStatusStarted, 1);
    timed(kStatusSpeakers, 1);
    timed(kStatusLevel, 1);
    if ((mRunModules & kCalibrateDelay) != 0) {
        timed(kStatusLocation, 1);
    }
    timed(kStatusChannelVolume, 1);
    if ((mRunModules & kCalibrateEq) != 0) {
        timed(kStatusEqTest, 1);
        timed(kStatusSweep, std::max(chosen, 1));  // one sweep per channel
    }
    for (int c = 0; c < kCalibrationChannels; ++c) {
        if (Chosen(mMask, c)) {
            mSteps.push_back({kStatusResponseReady, c, StepKind::kResponseRead, 0, 1.0});
            mSteps.push_back({kStatusCorrectionReady, c, StepKind::kCorrectionRead, 0, 1.0});
        }
    }
    timed(kStatusPhase, 1);
    mTotalWeight = 0.0;
    for (const Step& step : mSteps) {
        mTotalWeight += step.weight;
    }
}

void CalibrationRun::Stop(int64_t nowMs) {
    Advance(nowMs);
    if (mPhase != Phase::kRunning) {
        return;  // a run that has ended keeps its final status
    }
    mFinalProgress = ProgressNow(nowMs);
    mPhase = Phase::kStopped;
    for (auto& correction : mCorrections) {
        correction.clear();
    }
}

bool CalibrationRun::Apply(AmplifierState& working, bool eqPrecision, int64_t nowMs) {
    Advance(nowMs);
    if (mPhase != Phase::kCompleted || mResultApplied || mResultDropped) {
        return false;
    }
    double farthest = 0.0;
    for (int c = 0; c < kCalibrationChannels; ++c) {
        if (Chosen(mMask, c) && mCars[c].hasSpeaker) {
            farthest = std::max(farthest, mCars[c].distanceCm);
        }
    }
    for (int c = 0; c < kCalibrationChannels; ++c) {
        if (!Chosen(mMask, c) || mCorrections[c].empty()) {
            continue;
        }
        ChannelState& channel = working.channels[c];
        if ((mRunModules & kCalibrateEq) != 0) {
            // A correction the listener would not hear is no correction.
            channel.eqBypass = 0;
            for (int b = 0; b < kAmpBands; ++b) {
                if (b < static_cast<int>(mCorrections[c].size())) {
                    channel.eq[b] = StateBand(mCorrections[c][b], eqPrecision);
                } else {
                    channel.eq[b].gainByte = kEqGainOffset;  // 0 dB, peaking
                    channel.eq[b].gainTenths = 0;
                }
            }
        }
        if ((mRunModules & kCalibrateDelay) != 0) {
            const double delayMs = (farthest - mCars[c].distanceCm) / kSpeedOfSoundCmPerMs;
            const long thousandths = std::lround(delayMs * 1000.0);
            channel.delayMs = static_cast<uint8_t>(thousandths / 1000);
            channel.delayThousandths = static_cast<uint16_t>(thousandths % 1000);
        }
        if ((mRunModules & kCalibratePhase) != 0 && mCars[c].reversedPolarity) {
            channel.phase = channel.phase != 0 ? 0 : 1;
        }
    }
    mResultApplied = true;
    return true;
}

void CalibrationRun::Discard(int64_t nowMs) {
    Advance(nowMs);
    if (mPhase == Phase::kCompleted) {
        mResultDropped = true;
    }
}

void CalibrationRun::Forget() {
    mPhase = Phase::kIdle;
    mSteps.clear();
    mStep = 0;
    mFinalProgress = 0;
    mFailReason = 0;
    for (auto& correction : mCorrections) {
        correction.clear();
    }
    mCars = {};
}

int64_t CalibrationRun::StepEnd(const Step& step) const {
    switch (step.kind) {
        case StepKind::kTimed:
            return mStepStartMs + step.durationMs;
        case StepKind::kResponseRead:
        case StepKind::kCorrectionRead:
            return mReadDoneMs >= 0 ? mReadDoneMs
                                    : mStepStartMs + mOptions.channelReadTimeout.count();
    }
    return mStepStartMs;
}

int CalibrationRun::FailureAfter(const Step& step) const {
    switch (step.status) {
        case kStatusStarted:
            return mFault == CalibrationFault::kNoMicrophone ? kReasonNoMicrophone : -1;
        case kStatusSpeakers: {
            if (mFault == CalibrationFault::kMissingSpeaker &&
                (mFaultChannel < 0 ? mMask != 0 : Chosen(mMask, mFaultChannel))) {
                return kReasonNoSpeaker;
            }
            bool any = false;
            for (int c = 0; c < kCalibrationChannels; ++c) {
                if (Chosen(mMask, c) && !mCars[c].hasSpeaker) {
                    return kReasonNoSpeaker;
                }
                any = any || Chosen(mMask, c);
            }
            return any ? -1 : kReasonNoSpeaker;
        }
        case kStatusLevel:
            return mFault == CalibrationFault::kLevelTooLow ? kReasonLevel : -1;
        case kStatusChannelVolume:
            return mFault == CalibrationFault::kUnknownReason ? kReasonUnknown : -1;
        default:
            return -1;
    }
}

void CalibrationRun::Advance(int64_t nowMs) {
    while (mPhase == Phase::kRunning && mStep < mSteps.size()) {
        const Step& step = mSteps[mStep];
        const int64_t end = StepEnd(step);
        if (nowMs < end) {
            return;
        }
        const int reason = FailureAfter(step);
        if (reason >= 0) {
            mFinalProgress = ProgressNow(end);
            mFailReason = reason;
            mPhase = Phase::kFailed;
            return;
        }
        mDoneWeight += step.weight;
        ++mStep;
        mStepStartMs = end;
        mReadDoneMs = -1;
        mRead.clear();
        if (mStep < mSteps.size()) {
            const StepKind next = mSteps[mStep].kind;
            if (next == StepKind::kResponseRead) {
                mRead.assign(kMeasuredPoints, false);
            } else if (next == StepKind::kCorrectionRead) {
                mRead.assign(kCorrectionBands, false);
            }
        }
    }
    if (mPhase == Phase::kRunning) {
        mPhase = Phase::kCompleted;
        mFinalProgress = 100;
    }
}

int CalibrationRun::ProgressNow(int64_t nowMs) const {
    if (mStep >= mSteps.size()) {
        return 100;
    }
    const Step& step = mSteps[mStep];
    double part = 0.0;
    if (step.kind == StepKind::kTimed) {
        part =
            step.durationMs > 0
                ? std::clamp(static_cast<double>(nowMs - mStepStartMs) / step.durationMs, 0.0, 1.0)
                : 1.0;
    } else if (!mRead.empty()) {
        part = static_cast<double>(std::count(mRead.begin(), mRead.end(), true)) /
               static_cast<double>(mRead.size());
    }
    const double done = (mDoneWeight + part * step.weight) / mTotalWeight;
    return std::min(99, static_cast<int>(std::floor(done * 100.0)));
}

CalibrationStatus CalibrationRun::Status(int64_t nowMs) {
    Advance(nowMs);
    switch (mPhase) {
        case Phase::kIdle:
            return {kStatusExit, 0, 0, 0};
        case Phase::kRunning: {
            const Step& step = mSteps[mStep];
            const bool perChannel = step.kind != StepKind::kTimed;
            return {step.status, perChannel ? step.channel : 0, ProgressNow(nowMs), 0};
        }
        case Phase::kCompleted:
            return {mOptions.endWithExit ? kStatusExit : kStatusDone, 0, 100, 0};
        case Phase::kFailed:
            return {kStatusFailed, 0, mFinalProgress, mFailReason};
        case Phase::kStopped:
            return {kStatusExit, 0, mFinalProgress, 0};
    }
    return {};
}

void CalibrationRun::NoteRead(StepKind kind, int channel, int first, int last, int64_t nowMs) {
    if (mPhase != Phase::kRunning || mStep >= mSteps.size()) {
        return;
    }
    const Step& step = mSteps[mStep];
    if (step.kind != kind || step.channel != channel || mReadDoneMs >= 0) {
        return;
    }
    for (int i = std::max(first, 0); i <= last && i < static_cast<int>(mRead.size()); ++i) {
        mRead[static_cast<size_t>(i)] = true;
    }
    if (std::all_of(mRead.begin(), mRead.end(), [](bool read) { return read; })) {
        mReadDoneMs = nowMs;  // the next step starts now
    }
}

bool CalibrationRun::Offered(int channel) const {
    if (!Chosen(mMask, channel) || mCorrections[channel].empty()) {
        return false;
    }
    if (mPhase == Phase::kCompleted) {
        return !mResultDropped;
    }
    if (mPhase != Phase::kRunning) {
        return false;
    }
    for (size_t s = 0; s <= mStep && s < mSteps.size(); ++s) {
        if (mSteps[s].kind == StepKind::kCorrectionRead && mSteps[s].channel == channel) {
            return true;
        }
    }
    return false;
}

const CarChannel* CalibrationRun::Measured(int channel) const {
    if (!Chosen(mMask, channel) || !mCars[channel].hasSpeaker) {
        return nullptr;
    }
    if (mPhase == Phase::kCompleted) {
        return &mCars[channel];
    }
    if (mPhase != Phase::kRunning) {
        return nullptr;
    }
    for (size_t s = 0; s <= mStep && s < mSteps.size(); ++s) {
        if (mSteps[s].kind == StepKind::kResponseRead && mSteps[s].channel == channel) {
            return &mCars[channel];
        }
    }
    return nullptr;
}

std::vector<model::EqBand> CalibrationRun::Result(int channel, int64_t nowMs) {
    Advance(nowMs);
    return Offered(channel) ? mCorrections[channel] : std::vector<model::EqBand>{};
}

std::vector<uint8_t> CalibrationRun::SpectrumReport(const std::vector<uint8_t>& request,
                                                    int64_t nowMs) {
    Advance(nowMs);
    const int channel = At(request, 0);
    const int first = At(request, 1);
    const int last = std::min(FittingLast(first, At(request, 2), 3, 5), kMeasuredPoints - 1);
    std::vector<uint8_t> out = {At(request, 0), At(request, 1),
                                static_cast<uint8_t>(std::max(last, 0))};
    const CarChannel* measured = Measured(channel);
    for (int p = first; p <= last; ++p) {
        // A channel not measured yet reads flat on the analyser's grid.
        const double frequency =
            measured != nullptr ? measured->response[p].first : MeasuredPointFrequency(p);
        const double gain = measured != nullptr ? measured->response[p].second : 0.0;
        const long hundredths = std::lround(frequency * 100.0);
        Put16(out, static_cast<unsigned>(hundredths / 100));
        out.push_back(static_cast<uint8_t>(hundredths % 100));
        PutSignedHundredths(out, gain);
    }
    NoteRead(StepKind::kResponseRead, channel, first, last, nowMs);
    return out;
}

std::vector<uint8_t> CalibrationRun::EqReport(const std::vector<uint8_t>& request, int64_t nowMs) {
    Advance(nowMs);
    const int channel = At(request, 0);
    const int first = At(request, 1);
    const int last = FittingLast(first, At(request, 2), 3, 6);
    std::vector<uint8_t> out = {At(request, 0), At(request, 1),
                                static_cast<uint8_t>(std::max(last, 0))};
    const bool offered = Offered(channel);
    for (int b = first; b <= last; ++b) {
        if (offered && b < static_cast<int>(mCorrections[channel].size())) {
            PutCorrectionBand(out, mCorrections[channel][b]);
        } else {
            // No correction: a flat band at the 31-band frequency.
            Put16(out, static_cast<unsigned>(DefaultBandFrequency(31, b)));
            out.insert(out.end(), {5, 80, kEqGainOffset, 0});
        }
    }
    NoteRead(StepKind::kCorrectionRead, channel, first, last, nowMs);
    return out;
}

}  // namespace virtual_device
