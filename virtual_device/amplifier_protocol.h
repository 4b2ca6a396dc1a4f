// The amplifier's side of the protocol: installed on a VirtualAmplifier, it
// answers every command the program sends as the real amplifier does. Every
// OP_SET gets exactly one OP_ACK (status 0x0A) and every OP_GET exactly one
// OP_UPDATE, one frame per report, because the program reads exactly one
// report after each command and does not match replies to requests. PC
// control (MCU 0x1F) is never answered: an answer would be read by the
// handshake in place of its own.
//
// It keeps eleven states: 0 the working state, 1..10 the scene slots, with
// the slots' names and the mask of stored scenes, plus the microcontroller's
// values and the karaoke effects. A save copies the working state into its
// slot, marks it stored and makes it current; a load (ReadScene k, 0) copies
// the slot into the working state and makes it current; a delete erases the
// slot, its name and its bit. The amplifier takes any name for any slot, the
// same name for two slots too: its name acknowledgement has no refusal, and
// the program checks for a name in use before it sends one.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "virtual_device/amplifier_state.h"
#include "virtual_device/amplifier_upgrade.h"
#include "virtual_device/calibration_run.h"
#include "virtual_device/dsp_memory.h"
#include "virtual_device/input_noise.h"
#include "virtual_device/simulated_car.h"
#include "virtual_device/virtual_amplifier.h"

namespace virtual_device {

struct ProtocolOptions {
    int modelId = 94;
    // The firmware the amplifier runs until an upgrade installs another.
    int masterVersion = 1;
    int slaveVersion = 32;
    int bootloaderMajor = 2;
    int bootloaderMinor = 0;
    int outputChannels = 10;
    int mixerInputs = 10;      // sets the width of the mixer's input masks
    bool floatTrim = false;    // trims carry hundredths
    bool eqPrecision = false;  // Q carries thousandths
    // After a factory default the amplifier drops off the bus and comes back
    // after this long, as a real one does after a few seconds.
    bool rebootOnFactoryDefault = true;
    int rebootMs = 3000;
    // The firmware upgrade. Entering the upgrade program and installing a
    // microcontroller image reboot the amplifier: off the bus ~50 ms after the
    // acknowledgement, back after upgradeRebootMs (the host waits 8 s before
    // it looks). A chip erase of the DSP flash keeps it busy chipEraseMs.
    int upgradeRebootMs = 3000;
    int chipEraseMs = 400;
    // Faults: every notReadyEvery-th data block (0: none) is answered not
    // ready first and ready notReadyMs later; refuseUpgradeStart refuses
    // every start.
    int notReadyEvery = 0;
    int notReadyMs = 20;
    bool refuseUpgradeStart = false;
    // How long the amplifier is busy with its flash before it acknowledges a
    // scene save, a scene load (ReadScene k, 0) and a scene delete. A real
    // one takes a noticeable time; the host waits up to 20 s.
    std::chrono::milliseconds sceneSaveTime{0};
    std::chrono::milliseconds sceneLoadTime{0};
    std::chrono::milliseconds sceneDeleteTime{0};
    // The inputs each source has (optical, coaxial, Bluetooth, AUX, low
    // level, high level, DMP, UDP, SCP, A2B); the noise of an input the
    // current source lacks reads as silence.
    std::array<int, kAmpSources> sourceInputs{2, 0, 2, 0, 8, 8, 2, 0, 0, 0};
    // Which car the inputs' noise comes from.
    uint32_t noiseSeed = 1;
    // The automatic calibration run: its pace, and the car it measures.
    CalibrationOptions calibration;
};

// The flash times of a real amplifier, for the demonstration and the
// program's tests.
inline constexpr std::chrono::milliseconds kRealSceneSaveTime{250};
inline constexpr std::chrono::milliseconds kRealSceneLoadTime{60};
inline constexpr std::chrono::milliseconds kRealSceneDeleteTime{120};

// The microcontroller's kept values.
struct McuValues {
    uint8_t accDelay = 0;
    uint8_t usbPowerOption = 0;
    uint16_t powerOffDelayMs = 0;
    std::array<uint8_t, 4> flashVersion{1, 0, 3, 2};
};

inline constexpr int kStateCount = 11;
inline constexpr int kNameBytes = 16;
using SceneName = std::array<uint8_t, kNameBytes>;

class AmplifierProtocol {
public:
    explicit AmplifierProtocol(ProtocolOptions options = {});

    // Installs the protocol as the amplifier's default handler; handlers that
    // tests set for single commands still take precedence.
    static std::shared_ptr<AmplifierProtocol> InstallOn(
        const std::shared_ptr<VirtualAmplifier>& amplifier, ProtocolOptions options = {});

    const ProtocolOptions& Options() const { return mOptions; }

    // ---- inspection and set-up (any thread) ----
    AmplifierState State(int index) const;
    void SetState(int index, const AmplifierState& state);
    SceneName Name(int scene) const;
    void SetName(int scene, const std::string& name);
    uint16_t ValidMask() const;
    void SetValidMask(uint16_t mask);
    int CurrentSceneId() const;
    McuValues Mcu() const;
    void SetMcu(const McuValues& values);
    // A karaoke value as the amplifier keeps it: the tone gains signed, the
    // echo delay in 16 bits, the others unsigned bytes.
    int KtvValue(uint8_t subCommand) const;
    // What the amplifier answers for a karaoke value, as if set on it.
    void SetKtvValue(uint8_t subCommand, int value);
    // The DSP memory word at this address, as a read answers it.
    uint32_t Memory(uint32_t address) const;
    // False: the amplifier runs its upgrade program; the handshake reports
    // 0xF0 and only the microcontroller's commands are answered.
    void SetNormalMode(bool normal);
    bool InUpgradeProgram() const;
    // The firmware the handshake reports: from the options, then from the
    // last microcontroller image installed.
    VersionNumber FirmwareVersion() const;
    VersionNumber BootloaderVersion() const;
    void SetInstalledVersions(VersionNumber firmware, VersionNumber bootloader);
    // The image bytes of the last completed or the current upgrade transfer.
    std::vector<uint8_t> ReceivedImage() const;
    // Images installed since the start.
    int UpgradeCount() const;
    // Resets every state, name, mask and value to the factory's.
    void FactoryReset();
    // The clock of the inputs' noise in milliseconds; the steady clock from
    // the protocol's start unless a test sets its own.
    void SetNoiseClock(std::function<int64_t()> nowMs);
    // The level the amplifier reports for this input now: its noise when
    // the current source has the input, else silence.
    float InputNoiseDb(int input) const;
    const InputNoiseModel& NoiseModel() const { return mNoise; }

    // ---- the automatic calibration run ----
    // The run's clock in milliseconds; the steady clock from the protocol's
    // start unless a test sets its own.
    void SetCalibrationClock(std::function<int64_t()> nowMs);
    // A fault for the runs from now on: no microphone, a missing speaker
    // (on `channel` when it is chosen, or on any channel with -1), a level
    // too low, or a failure the host has no name for. kNone clears it.
    void SetCalibrationFault(CalibrationFault fault, int channel = -1);
    // What the amplifier would answer to a status request now.
    CalibrationStatus CalibrationStatusNow() const;
    // The correction of a channel once the run has offered it (11 bands),
    // or nothing.
    std::vector<model::EqBand> CalibrationResult(int channel) const;
    // The channel's measured response (121 points of frequency and gain):
    // what the run measured, or what the car plays now for a channel it did
    // not measure; nothing for a channel without a speaker.
    std::vector<std::pair<float, float>> MeasuredResponse(int channel) const;
    // The speaker, distance and polarity of a channel as the car has them.
    CarChannel CarSpeaker(int channel) const;
    // The module mask, the channel mask and the EQ mode of the host's
    // commands.
    int CalibrationModule() const;
    int CalibrationMask() const;
    int CalibrationEqMode() const;

    // ---- the signal the amplifier plays, for its clip detectors ----
    // The peak of the test signal on one input of one source, in percent of
    // full scale (0, silence, unless set). An input clips when its peak
    // times the mix level of an output it is routed to exceeds full scale;
    // an output clips when the sum of what its routed inputs bring does.
    void SetInputPeak(int source, int input, int percentOfFullScale);
    int InputPeak(int source, int input) const;

    // Answers one host frame (what the installed handler calls).
    void Handle(const HostFrame& frame, Replies& replies);

private:
    void HandleMcu(const HostFrame& frame, Replies& replies);
    void HandleFlash(const HostFrame& frame, Replies& replies);
    void HandleKtv(const HostFrame& frame, Replies& replies);
    void HandleDsp(const HostFrame& frame, Replies& replies);
    void SetDsp(const HostFrame& frame);
    std::vector<uint8_t> GetDsp(const HostFrame& frame);
    // The calibration's start, stop, apply and discard (mLock held).
    void ControlCalibration(uint8_t on, uint16_t mask, uint8_t eqMode);
    int64_t CalibrationNowLocked() const;
    CarChannel CarSpeakerLocked(int channel) const;
    static std::vector<uint8_t> CalibrationStatusReport(const CalibrationStatus& status);
    // A power cycle since the run began (the amplifier's bus generation
    // moved on) loses the run; read the generation before taking mLock.
    uint64_t BusGeneration() const;
    void NotePowerLocked(uint64_t generation) const;
    // Answers to the clip requests of the working state (mLock held).
    std::vector<uint8_t> ClipReport(const std::vector<uint8_t>& request, bool outputs) const;
    bool InputClips(int source, int input) const;
    bool OutputClips(int source, int output) const;
    void ResetLocked();
    AmplifierState DefaultState() const;
    void ScheduleReboot();
    // Answers an upgrade command; false for the others (mLock not held).
    bool HandleUpgrade(const HostFrame& frame, Replies& replies);
    // Off the bus shortly after the answer, back after the upgrade's reboot time.
    void ScheduleUpgradeReboot();
    float InputNoiseLocked(int input) const;  // mLock held

    // The state a scene byte names, or nullptr for a scene beyond the slots.
    AmplifierState* StateOf(uint8_t scene);
    const AmplifierState* StateOf(uint8_t scene) const;

    const ProtocolOptions mOptions;
    const AmplifierState mDefaults;  // what a scene beyond the slots reports
    std::weak_ptr<VirtualAmplifier> mAmplifier;

    mutable std::mutex mLock;
    std::array<AmplifierState, kStateCount> mStates;  // guarded by mLock
    std::array<SceneName, kStateCount> mNames{};      // guarded by mLock
    uint16_t mValidMask = 0;                          // guarded by mLock
    int mCurrentScene = 0;                            // guarded by mLock
    McuValues mMcu;                                   // guarded by mLock
    std::array<int, 11> mKtv{};                       // guarded by mLock
    DspMemory mMemory;                                // guarded by mLock
    AmplifierUpgrade mUpgrade;                        // guarded by mLock
    const InputNoiseModel mNoise;
    std::function<int64_t()> mNoiseClock;                                // guarded by mLock
    std::array<std::array<int, kAmpInputs>, kAmpSources> mInputPeaks{};  // guarded by mLock
    const SimulatedCar mCar;
    // The run changes as time passes, also while it is only looked at.
    mutable CalibrationRun mCalibration;          // guarded by mLock
    mutable uint64_t mCalibrationGeneration = 0;  // guarded by mLock
    std::function<int64_t()> mCalibrationClock;   // guarded by mLock
};

}  // namespace virtual_device
