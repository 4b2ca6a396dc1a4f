// The protocol's side of the automatic calibration: the host's commands go
// to the run, the run answers the status, spectrum and EQ requests, and the
// car decides what the microphone hears.
#include <algorithm>

#include "virtual_device/amplifier_protocol.h"

namespace virtual_device {
namespace {

constexpr uint8_t kStop = 0;
constexpr uint8_t kStart = 1;
constexpr uint8_t kApply = 2;
constexpr uint8_t kDiscard = 3;

}  // namespace

void AmplifierProtocol::SetCalibrationClock(std::function<int64_t()> nowMs) {
    std::lock_guard<std::mutex> hold(mLock);
    mCalibrationClock = std::move(nowMs);
}

int64_t AmplifierProtocol::CalibrationNowLocked() const {
    return mCalibrationClock();
}

uint64_t AmplifierProtocol::BusGeneration() const {
    const std::shared_ptr<VirtualAmplifier> amplifier = mAmplifier.lock();
    return amplifier ? amplifier->Generation() : 0;
}

void AmplifierProtocol::NotePowerLocked(uint64_t generation) const {
    if (generation != mCalibrationGeneration) {
        mCalibration.Forget();  // off the bus and back: the run is gone
        mCalibrationGeneration = generation;
    }
}

void AmplifierProtocol::SetCalibrationFault(CalibrationFault fault, int channel) {
    std::lock_guard<std::mutex> hold(mLock);
    mCalibration.SetFault(fault, channel);
}

CalibrationStatus AmplifierProtocol::CalibrationStatusNow() const {
    const uint64_t generation = BusGeneration();
    std::lock_guard<std::mutex> hold(mLock);
    NotePowerLocked(generation);
    return mCalibration.Status(CalibrationNowLocked());
}

std::vector<model::EqBand> AmplifierProtocol::CalibrationResult(int channel) const {
    const uint64_t generation = BusGeneration();
    std::lock_guard<std::mutex> hold(mLock);
    NotePowerLocked(generation);
    return mCalibration.Result(channel, CalibrationNowLocked());
}

std::vector<std::pair<float, float>> AmplifierProtocol::MeasuredResponse(int channel) const {
    const uint64_t generation = BusGeneration();
    std::lock_guard<std::mutex> hold(mLock);
    NotePowerLocked(generation);
    mCalibration.Status(CalibrationNowLocked());  // brings the run up to now
    if (const CarChannel* measured = mCalibration.Measured(channel)) {
        return measured->response;
    }
    return CarSpeakerLocked(channel).response;
}

CarChannel AmplifierProtocol::CarSpeaker(int channel) const {
    std::lock_guard<std::mutex> hold(mLock);
    return CarSpeakerLocked(channel);
}

CarChannel AmplifierProtocol::CarSpeakerLocked(int channel) const {
    if (channel < 0 || channel >= mOptions.outputChannels || channel >= kAmpChannels) {
        return {};  // nothing is connected to an output the amplifier lacks
    }
    return mCar.Channel(channel, mStates[0].channels[channel].type);
}

int AmplifierProtocol::CalibrationModule() const {
    std::lock_guard<std::mutex> hold(mLock);
    return mCalibration.Modules();
}

int AmplifierProtocol::CalibrationMask() const {
    std::lock_guard<std::mutex> hold(mLock);
    return mCalibration.ChannelMask();
}

int AmplifierProtocol::CalibrationEqMode() const {
    std::lock_guard<std::mutex> hold(mLock);
    return mCalibration.EqMode();
}

void AmplifierProtocol::ControlCalibration(uint8_t on, uint16_t mask, uint8_t eqMode) {
    const int64_t now = CalibrationNowLocked();
    switch (on) {
        case kStart: {
            std::array<CarChannel, kCalibrationChannels> cars{};
            for (int c = 0; c < kCalibrationChannels; ++c) {
                cars[c] = CarSpeakerLocked(c);
                // The microphone hears the wiring and the phase setting together.
                if (cars[c].hasSpeaker && mStates[0].channels[c].phase != 0) {
                    cars[c].reversedPolarity = !cars[c].reversedPolarity;
                }
            }
            mCalibration.Start(mask, eqMode, cars, now);
            return;
        }
        case kStop:
            mCalibration.Stop(now);
            return;
        case kApply:
            mCalibration.Apply(mStates[0], mOptions.eqPrecision, now);
            return;
        case kDiscard:
            mCalibration.Discard(now);
            return;
        default:
            return;  // an unknown request changes nothing
    }
}

std::vector<uint8_t> AmplifierProtocol::CalibrationStatusReport(const CalibrationStatus& status) {
    return {static_cast<uint8_t>(status.status), static_cast<uint8_t>(status.extra), 0,
            static_cast<uint8_t>(status.progress), static_cast<uint8_t>(status.reason)};
}

}  // namespace virtual_device
