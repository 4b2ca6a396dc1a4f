#include "virtual_device/amplifier_protocol.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace virtual_device {
namespace {

// Packet types and operations, as the device firmware names them.
constexpr uint8_t kDsp = 1;
constexpr uint8_t kFlash = 2;
constexpr uint8_t kMcu = 3;
constexpr uint8_t kKtv = 7;
constexpr uint8_t kSet = 0xBB;
constexpr uint8_t kGet = 0x66;
constexpr uint8_t kUpdate = 0xDD;
constexpr uint8_t kAck = 0xEE;
constexpr uint8_t kReady = 0x0A;
constexpr uint8_t kNotReady = 0x60;

constexpr uint8_t kHandshake = 0x08;
constexpr uint8_t kFlashVersion = 0x0B;
constexpr uint8_t kBootloaderVersion = 0x0C;
constexpr uint8_t kPcConnect = 0x1F;
constexpr uint8_t kFactoryDefault = 0x90;
constexpr uint8_t kPowerOffDelay = 0x91;
constexpr uint8_t kAcc = 0x92;
constexpr uint8_t kUsbPowerPin = 0x95;
constexpr uint8_t kUpgradeProgram = 0xF0;

constexpr uint8_t kSave = 0x08;
constexpr uint8_t kRead = 0x09;
constexpr uint8_t kDelete = 0x0A;
constexpr uint8_t kName = 0x0B;
constexpr uint8_t kSceneId = 0x0E;
constexpr uint8_t kValid = 0x0F;

constexpr uint8_t kEchoDelay = 0x05;
constexpr uint8_t kBassGain = 0x09;
constexpr uint8_t kTrebleGain = 0x0A;

// The device drops off the bus shortly after acknowledging a factory reset
// and enumerates again once its firmware has restarted.
// Erasing the scenes takes the amplifier a while before it acknowledges a
// factory default; it drops off the bus shortly after.
constexpr auto kFlashEraseTime = std::chrono::milliseconds(800);
constexpr auto kRebootDelay = std::chrono::milliseconds(50);

// The amplifier drops off the bus shortly after its last answer and is back
// once its restart is over (on the restarting thread).
void RestartSoon(const std::weak_ptr<VirtualAmplifier>& weak, std::chrono::milliseconds away) {
    std::this_thread::sleep_for(kRebootDelay);
    if (auto amplifier = weak.lock()) {
        amplifier->LeaveBusForRestart();
    }
    std::this_thread::sleep_for(away);
    if (auto amplifier = weak.lock()) {
        amplifier->ReturnFromRestart();
    }
}

UpgradeSettings UpgradeSettingsOf(const ProtocolOptions& options) {
    UpgradeSettings settings;
    settings.firmware = {static_cast<uint8_t>(options.masterVersion),
                         static_cast<uint8_t>(options.slaveVersion)};
    settings.bootloader = {static_cast<uint8_t>(options.bootloaderMajor),
                           static_cast<uint8_t>(options.bootloaderMinor)};
    settings.chipEraseTime = std::chrono::milliseconds(options.chipEraseMs);
    settings.notReadyEvery = options.notReadyEvery;
    settings.notReadyTime = std::chrono::milliseconds(options.notReadyMs);
    settings.refuseStart = options.refuseUpgradeStart;
    return settings;
}

uint8_t At(const std::vector<uint8_t>& data, size_t index) {
    return index < data.size() ? data[index] : 0;
}

bool IsSlot(int scene) {
    return scene >= 1 && scene <= 10;
}

SceneName ErasedName() {
    SceneName name;
    name.fill(0xFF);
    return name;
}

}  // namespace

AmplifierProtocol::AmplifierProtocol(ProtocolOptions options)
    : mOptions(options),
      mDefaults(DefaultState()),
      mUpgrade(UpgradeSettingsOf(options)),
      mNoise(options.noiseSeed),
      mCar(options.calibration.carSeed),
      mCalibration(options.calibration) {
    const auto start = std::chrono::steady_clock::now();
    mNoiseClock = [start] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now() - start)
            .count();
    };
    mCalibrationClock = mNoiseClock;
    std::lock_guard<std::mutex> hold(mLock);
    ResetLocked();
}

void AmplifierProtocol::SetNoiseClock(std::function<int64_t()> nowMs) {
    std::lock_guard<std::mutex> hold(mLock);
    mNoiseClock = std::move(nowMs);
}

float AmplifierProtocol::InputNoiseDb(int input) const {
    std::lock_guard<std::mutex> hold(mLock);
    return InputNoiseLocked(input);
}

float AmplifierProtocol::InputNoiseLocked(int input) const {
    const int source = mStates[0].sourceCode - kSourceCodeBase;
    const int inputs = source >= 0 && source < kAmpSources
                           ? mOptions.sourceInputs[static_cast<size_t>(source)]
                           : 0;
    if (input < 0 || input >= inputs) {
        return kSilentInputDb;
    }
    return mNoise.LevelDb(input, mNoiseClock());
}

std::shared_ptr<AmplifierProtocol> AmplifierProtocol::InstallOn(
    const std::shared_ptr<VirtualAmplifier>& amplifier, ProtocolOptions options) {
    auto protocol = std::make_shared<AmplifierProtocol>(options);
    protocol->mAmplifier = amplifier;
    amplifier->SetDefaultHandler(
        [protocol](const HostFrame& frame, Replies& replies) { protocol->Handle(frame, replies); });
    return protocol;
}

AmplifierState AmplifierProtocol::DefaultState() const {
    AmplifierState state = MakeDefaultAmplifierState(mOptions.outputChannels);
    if (mOptions.eqPrecision) {
        for (ChannelState& channel : state.channels) {
            for (EqBandState& band : channel.eq) {
                band.qFraction = static_cast<uint16_t>(band.qFraction * 100);
            }
        }
    }
    return state;
}

void AmplifierProtocol::ResetLocked() {
    mStates.fill(mDefaults);
    mNames.fill(ErasedName());
    mNames[0].fill(0);
    mValidMask = 0;
    mCurrentScene = 0;
    // A factory default keeps the firmware the amplifier runs.
    const std::array<uint8_t, 4> flashVersion = mMcu.flashVersion;
    mMcu = McuValues{};
    mMcu.flashVersion = flashVersion;
    mKtv = {0, 60, 60, 0, 0, 0, 0, 0, 0, 0, 0};
    mMemory.Clear();
    mCalibration.Forget();
}

void AmplifierProtocol::FactoryReset() {
    std::lock_guard<std::mutex> hold(mLock);
    ResetLocked();
}

AmplifierState* AmplifierProtocol::StateOf(uint8_t scene) {
    return scene < kStateCount ? &mStates[scene] : nullptr;
}

const AmplifierState* AmplifierProtocol::StateOf(uint8_t scene) const {
    return scene < kStateCount ? &mStates[scene] : &mDefaults;
}

AmplifierState AmplifierProtocol::State(int index) const {
    std::lock_guard<std::mutex> hold(mLock);
    return index >= 0 && index < kStateCount ? mStates[index] : mDefaults;
}

void AmplifierProtocol::SetState(int index, const AmplifierState& state) {
    std::lock_guard<std::mutex> hold(mLock);
    if (index >= 0 && index < kStateCount) {
        mStates[index] = state;
    }
}

SceneName AmplifierProtocol::Name(int scene) const {
    std::lock_guard<std::mutex> hold(mLock);
    return scene >= 0 && scene < kStateCount ? mNames[scene] : ErasedName();
}

void AmplifierProtocol::SetName(int scene, const std::string& name) {
    std::lock_guard<std::mutex> hold(mLock);
    if (scene < 0 || scene >= kStateCount) {
        return;
    }
    mNames[scene].fill(0);
    std::copy_n(name.begin(), std::min<size_t>(name.size(), kNameBytes), mNames[scene].begin());
}

uint16_t AmplifierProtocol::ValidMask() const {
    std::lock_guard<std::mutex> hold(mLock);
    return mValidMask;
}

void AmplifierProtocol::SetValidMask(uint16_t mask) {
    std::lock_guard<std::mutex> hold(mLock);
    mValidMask = mask;
}

int AmplifierProtocol::CurrentSceneId() const {
    std::lock_guard<std::mutex> hold(mLock);
    return mCurrentScene;
}

McuValues AmplifierProtocol::Mcu() const {
    std::lock_guard<std::mutex> hold(mLock);
    return mMcu;
}

int AmplifierProtocol::KtvValue(uint8_t subCommand) const {
    std::lock_guard<std::mutex> hold(mLock);
    return subCommand < mKtv.size() ? mKtv[subCommand] : 0;
}

void AmplifierProtocol::SetKtvValue(uint8_t subCommand, int value) {
    std::lock_guard<std::mutex> hold(mLock);
    if (subCommand >= 1 && subCommand < mKtv.size()) {
        mKtv[subCommand] = value;
    }
}

void AmplifierProtocol::SetMcu(const McuValues& values) {
    std::lock_guard<std::mutex> hold(mLock);
    mMcu = values;
}

uint32_t AmplifierProtocol::Memory(uint32_t address) const {
    std::lock_guard<std::mutex> hold(mLock);
    return mMemory.Read(address, mStates[0]);
}

void AmplifierProtocol::SetNormalMode(bool normal) {
    std::lock_guard<std::mutex> hold(mLock);
    mUpgrade.SetInUpgradeProgram(!normal);
}

bool AmplifierProtocol::InUpgradeProgram() const {
    std::lock_guard<std::mutex> hold(mLock);
    return mUpgrade.InUpgradeProgram();
}

VersionNumber AmplifierProtocol::FirmwareVersion() const {
    std::lock_guard<std::mutex> hold(mLock);
    return mUpgrade.Firmware();
}

VersionNumber AmplifierProtocol::BootloaderVersion() const {
    std::lock_guard<std::mutex> hold(mLock);
    return mUpgrade.Bootloader();
}

void AmplifierProtocol::SetInstalledVersions(VersionNumber firmware, VersionNumber bootloader) {
    std::lock_guard<std::mutex> hold(mLock);
    mUpgrade.SetInstalled(firmware, bootloader);
}

std::vector<uint8_t> AmplifierProtocol::ReceivedImage() const {
    std::lock_guard<std::mutex> hold(mLock);
    return mUpgrade.ReceivedImage();
}

int AmplifierProtocol::UpgradeCount() const {
    std::lock_guard<std::mutex> hold(mLock);
    return mUpgrade.UpgradeCount();
}

bool AmplifierProtocol::HandleUpgrade(const HostFrame& frame, Replies& replies) {
    std::unique_lock<std::mutex> hold(mLock);
    const UpgradeOutcome outcome = mUpgrade.Handle(frame, replies);
    if (outcome.flashVersion) {
        mMcu.flashVersion = *outcome.flashVersion;
    }
    hold.unlock();
    if (outcome.reboot != UpgradeReboot::kNone) {
        ScheduleUpgradeReboot();
    }
    return outcome.handled;
}

void AmplifierProtocol::ScheduleUpgradeReboot() {
    std::weak_ptr<VirtualAmplifier> weak = mAmplifier;
    const auto rebootTime = std::chrono::milliseconds(mOptions.upgradeRebootMs);
    std::thread([weak, rebootTime] { RestartSoon(weak, rebootTime); }).detach();
}

void AmplifierProtocol::Handle(const HostFrame& frame, Replies& replies) {
    if (HandleUpgrade(frame, replies)) {
        return;
    }
    if (frame.type != kMcu && InUpgradeProgram()) {
        return;  // the upgrade program knows only the microcontroller's commands
    }
    switch (frame.type) {
        case kMcu:
            HandleMcu(frame, replies);
            return;
        case kFlash:
            HandleFlash(frame, replies);
            return;
        case kKtv:
            HandleKtv(frame, replies);
            return;
        case kDsp:
            HandleDsp(frame, replies);
            return;
        default:
            if (frame.operation == kSet) {
                replies.Frame(frame.type, frame.subCommand, kAck, {kReady});
            }
            return;
    }
}

void AmplifierProtocol::HandleMcu(const HostFrame& frame, Replies& replies) {
    const uint8_t sub = frame.subCommand;
    if (sub == kPcConnect) {
        return;  // never answered
    }
    std::unique_lock<std::mutex> hold(mLock);
    if (sub == kHandshake) {
        if (!mUpgrade.InUpgradeProgram()) {
            const VersionNumber version = mUpgrade.Firmware();
            replies.Frame(
                kMcu, sub, kUpdate,
                {0x00, static_cast<uint8_t>(mOptions.modelId), version.major, version.minor});
        } else {
            replies.Frame(kMcu, sub, kUpdate, {kUpgradeProgram, 0, 0, 0});
        }
        return;
    }
    if (frame.operation == kGet) {
        std::vector<uint8_t> data;
        switch (sub) {
            case kPowerOffDelay:
                data = {static_cast<uint8_t>(mMcu.powerOffDelayMs >> 8),
                        static_cast<uint8_t>(mMcu.powerOffDelayMs)};
                break;
            case kAcc:
                data = {mMcu.accDelay};
                break;
            case kUsbPowerPin:
                data = {mMcu.usbPowerOption};
                break;
            case kFlashVersion:
                data.assign(mMcu.flashVersion.begin(), mMcu.flashVersion.end());
                break;
            case kBootloaderVersion:
                data = {mUpgrade.BootloaderReport()};
                break;
            default:
                break;
        }
        replies.Frame(kMcu, sub, kUpdate, data);
        return;
    }
    switch (sub) {
        case kPowerOffDelay:
            mMcu.powerOffDelayMs =
                static_cast<uint16_t>(At(frame.data, 0) << 8 | At(frame.data, 1));
            break;
        case kAcc:
            mMcu.accDelay = At(frame.data, 0);
            break;
        case kUsbPowerPin:
            mMcu.usbPowerOption = At(frame.data, 0);
            break;
        case kFactoryDefault:
            ResetLocked();
            hold.unlock();
            if (mOptions.rebootOnFactoryDefault) {
                ScheduleReboot();  // acknowledges once its flash is erased
            } else {
                replies.Frame(kMcu, sub, kAck, {kReady});
            }
            return;
        default:
            break;
    }
    replies.Frame(kMcu, sub, kAck, {kReady});
}

void AmplifierProtocol::ScheduleReboot() {
    std::weak_ptr<VirtualAmplifier> weak = mAmplifier;
    const auto rebootTime = std::chrono::milliseconds(mOptions.rebootMs);
    std::thread([weak, rebootTime] {
        std::this_thread::sleep_for(kFlashEraseTime);
        if (auto amplifier = weak.lock()) {
            amplifier->SendFrame(kMcu, kFactoryDefault, kAck, {kReady});
        }
        RestartSoon(weak, rebootTime);
    }).detach();
}

void AmplifierProtocol::HandleFlash(const HostFrame& frame, Replies& replies) {
    const uint8_t sub = frame.subCommand;
    const uint8_t scene = At(frame.data, 0);
    std::lock_guard<std::mutex> hold(mLock);
    if (frame.operation == kGet) {
        std::vector<uint8_t> data;
        if (sub == kName) {
            data.push_back(scene);
            const SceneName name = scene < kStateCount ? mNames[scene] : ErasedName();
            data.insert(data.end(), name.begin(), name.end());
        } else if (sub == kSceneId) {
            data = {static_cast<uint8_t>(mCurrentScene)};
        } else if (sub == kValid) {
            data = {static_cast<uint8_t>(mValidMask >> 8), static_cast<uint8_t>(mValidMask)};
        }
        replies.Frame(kFlash, sub, kUpdate, data);
        return;
    }
    uint8_t status = kReady;
    switch (sub) {
        case kSave:
            // (k, 0) stores the working state in slot k; (k, 1) stores at once
            // what the host has just sent addressed to scene k, as a whole
            // configuration does before it saves each slot.
            if (IsSlot(scene)) {
                if (At(frame.data, 1) == 0) {
                    mStates[scene] = mStates[0];
                    mCurrentScene = scene;
                }
                mValidMask = static_cast<uint16_t>(mValidMask | 1u << (scene - 1));
                replies.After(mOptions.sceneSaveTime);
            } else {
                status = kNotReady;
            }
            break;
        case kRead:
            // (k, 0) loads slot k; (k, 255) and (0, 0) frame a read-back.
            if (IsSlot(scene) && At(frame.data, 1) == 0) {
                mStates[0] = mStates[scene];
                mCurrentScene = scene;
                replies.After(mOptions.sceneLoadTime);
            }
            break;
        case kDelete:
            if (IsSlot(scene)) {
                mStates[scene] = mDefaults;
                mNames[scene] = ErasedName();
                mValidMask = static_cast<uint16_t>(mValidMask & ~(1u << (scene - 1)));
                replies.After(mOptions.sceneDeleteTime);
            } else {
                status = kNotReady;
            }
            break;
        case kName:
            if (scene < kStateCount) {
                const size_t length = std::min<size_t>(At(frame.data, 1), kNameBytes);
                mNames[scene].fill(0);
                for (size_t i = 0; i < length && 2 + i < frame.data.size(); ++i) {
                    mNames[scene][i] = frame.data[2 + i];
                }
            }
            break;
        default:
            break;
    }
    replies.Frame(kFlash, sub, kAck, {status, scene});
}

void AmplifierProtocol::HandleKtv(const HostFrame& frame, Replies& replies) {
    const uint8_t sub = frame.subCommand;
    std::lock_guard<std::mutex> hold(mLock);
    const bool known = sub >= 1 && sub < mKtv.size();
    if (frame.operation == kGet) {
        std::vector<uint8_t> data;
        if (known) {
            const int value = mKtv[sub];
            data = sub == kEchoDelay ? std::vector<uint8_t>{static_cast<uint8_t>(value >> 8),
                                                            static_cast<uint8_t>(value)}
                                     : std::vector<uint8_t>{static_cast<uint8_t>(value)};
        }
        replies.Frame(kKtv, sub, kUpdate, data);
        return;
    }
    if (known) {
        // The echo delay comes as a 16-bit word; the tone gains are signed.
        const uint8_t first = At(frame.data, 0);
        if (sub == kEchoDelay) {
            mKtv[sub] = first << 8 | At(frame.data, 1);
        } else if (sub == kBassGain || sub == kTrebleGain) {
            mKtv[sub] = static_cast<int8_t>(first);
        } else {
            mKtv[sub] = first;
        }
    }
    replies.Frame(kKtv, sub, kAck, {kReady});
}

void AmplifierProtocol::HandleDsp(const HostFrame& frame, Replies& replies) {
    const uint64_t generation = BusGeneration();
    std::lock_guard<std::mutex> hold(mLock);
    NotePowerLocked(generation);
    if (frame.operation == kGet) {
        replies.Frame(kDsp, frame.subCommand, kUpdate, GetDsp(frame));
        return;
    }
    SetDsp(frame);
    replies.Frame(kDsp, frame.subCommand, kAck, {kReady});
}

}  // namespace virtual_device
