#include "cli/amplifier_session.h"

#include <chrono>
#include <thread>

#include "app/log.h"
#include "app/model_cfg.h"
#include "app/settings.h"
#include "app/startup.h"
#include "cli/progress_report.h"
#include "device/hidapi_backend.h"
#include "jobs/state_readback.h"
#include "model/device_names.h"
#include "model/main_volume_map.h"
#include "platform/text_util.h"
#include "virtual_device/state_file.h"
#include "virtual_device/virtual_hid_backend.h"

namespace cli {
namespace {

// Queued commands are answered within the reply time-out each; a write-out
// queues a few dozen at most.
constexpr auto kQueueFlushTime = std::chrono::seconds(30);
constexpr auto kQueuePollPeriod = std::chrono::milliseconds(5);

// The program's own virtual amplifier goes by this serial number too.
constexpr const wchar_t* kVirtualSerial = L"VTA3300-DEMO";

const app::ModelCfg& Cfg() {
    return app::CurrentModelCfg();
}

Failure DeviceError(const std::string& message) {
    return {kExitDeviceError, message};
}

}  // namespace

AmplifierSession::AmplifierSession(const Arguments& arguments)
    : mVirtual(arguments.virtualDevice),
      mStateFile(arguments.virtualStateFile),
      mWanted(arguments.device),
      mQuiet(arguments.quiet) {}

AmplifierSession::~AmplifierSession() {
    if (mLink) {
        FlushQueued();
        mLink->DisableCmdCtrl();
        mLink->CloseHIDDevice(true);
        mLink.reset();
    }
    SaveVirtualState();
}

std::optional<Failure> AmplifierSession::Start() {
    if (!mVirtual) {
        // The program holds this lock while it runs. Two processes on one
        // amplifier would each take the other's replies, and the program's
        // upkeep would break into a firmware update.
        mInstance = std::make_unique<platform::SingleInstanceLock>(app::InstanceMutexName());
        if (!mInstance->IsFirstInstance()) {
            return DeviceError(
                "TQ DSP Audio or another tq-dsp is using the amplifiers; close it, then run "
                "tq-dsp again");
        }
        mBackend = std::make_shared<device::HidapiBackend>();
        return std::nullopt;
    }
    mDemo = virtual_device::MakeDemoAmplifier(kVirtualSerial);
    auto backend = std::make_shared<virtual_device::VirtualHidBackend>();
    backend->Add(mDemo.amplifier);
    mBackend = backend;
    if (mStateFile.empty()) {
        return std::nullopt;
    }
    bool found = false;
    virtual_device::ScriptedFaults faults;
    std::string error;
    if (!virtual_device::LoadAmplifierState(mStateFile, *mDemo.protocol, found, faults, error)) {
        return Failure{kExitBadFile, error + " '" + mStateFile + "'; remove it to start afresh"};
    }
    mStateUsable = true;
    if (faults.unplugAtReport > 0) {
        mDemo.amplifier->UnplugAtReport(faults.unplugAtReport);
    }
    return std::nullopt;
}

void AmplifierSession::SaveVirtualState() {
    if (!mStateUsable || !mDemo.protocol) {
        return;
    }
    if (!virtual_device::SaveAmplifierState(mStateFile, *mDemo.protocol)) {
        app::Log("tq-dsp: cannot write the virtual amplifier state %s\n", mStateFile.c_str());
    }
}

std::vector<FoundAmplifier> AmplifierSession::List() {
    std::vector<FoundAmplifier> found;
    if (mBackend == nullptr || mBackend->Init() != 0) {
        return found;
    }
    for (const device::HidDeviceInfo& info :
         mBackend->Enumerate(device::kAmplifierVendorId, device::kAmplifierProductId)) {
        if (info.vendorId != device::kAmplifierVendorId ||
            info.productId != device::kAmplifierProductId) {
            continue;
        }
        FoundAmplifier amplifier;
        amplifier.path = info.path;
        amplifier.serial = model::DeviceNameOf(platform::WideToUtf8(info.serialNumber), info.path);
        amplifier.nickname = app::ReadSettingString(
            "DeviceNickNames", model::DeviceKeyOf(amplifier.serial), amplifier.serial, 256);
        amplifier.manufacturer = platform::WideToUtf8(info.manufacturer);
        amplifier.product = platform::WideToUtf8(info.product);
        found.push_back(std::move(amplifier));
    }
    return found;
}

std::optional<Failure> AmplifierSession::Choose(const std::vector<FoundAmplifier>& found) {
    if (found.empty()) {
        return Failure{kExitNoDevice, "no amplifier found; connect one or use --virtual-device"};
    }
    if (!mWanted) {
        mChosen = found.front();
        return std::nullopt;
    }
    for (const FoundAmplifier& amplifier : found) {
        if (amplifier.path == *mWanted || amplifier.serial == *mWanted) {
            mChosen = amplifier;
            return std::nullopt;
        }
    }
    return Failure{kExitNoDevice, "no amplifier '" + *mWanted +
                                      "' found; see 'tq-dsp list' for the attached ones"};
}

std::optional<Failure> AmplifierSession::OpenLink() {
    if (auto failure = Choose(List())) {
        return failure;
    }
    mLink = std::make_unique<device::DeviceLink>(mBackend);
    mLink->SetModelParams(Cfg());
    mLink->SetMainWnd(ReplyPump::kHandle);
    mLink->OpenHIDDevice(mChosen.path);
    if (!mLink->IsConnected()) {
        return DeviceError("cannot open the amplifier " + mChosen.path +
                           "; check the cable and your access to the device");
    }
    return std::nullopt;
}

std::optional<Failure> AmplifierSession::Open() {
    if (auto failure = OpenLink()) {
        return failure;
    }
    mLink->PC_Connect(1);
    if (!mLink->Hand_Connect()) {
        return DeviceError("the amplifier did not answer; check the cable and try again");
    }
    return std::nullopt;
}

std::optional<Failure> AmplifierSession::Connect() {
    if (auto failure = OpenLink()) {
        return failure;
    }
    if (auto failure = ReadWorkingState()) {
        return failure;
    }
    if (!mLink->IsMcuNormalMode()) {
        return DeviceError(
            "the amplifier is in its upgrade program; finish it with 'tq-dsp firmware update'");
    }
    if (!Cfg().mNO_CHECK_ID && mLink->ModelId() != Cfg().mFw_Model_ID) {
        return DeviceError("the amplifier is model " + std::to_string(mLink->ModelId()) +
                           ", not the model this tool tunes (" +
                           std::to_string(Cfg().mFw_Model_ID) + ")");
    }
    // The write-outs hand the cross-source commands to the link's queue,
    // which the program also runs only once the first read is done.
    mLink->EnableCmdCtrl();
    return std::nullopt;
}

std::optional<Failure> AmplifierSession::FlushQueued() {
    const auto end = std::chrono::steady_clock::now() + kQueueFlushTime;
    while (mLink->IsConnected() && !mLink->IsDeviceGone() && !mLink->IsCmdQueueIdle() &&
           std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(kQueuePollPeriod);
    }
    if (!mLink->IsCmdQueueIdle()) {
        return DeviceError(
            "the amplifier did not take every change; check it and run the "
            "command again");
    }
    return std::nullopt;
}

std::optional<Failure> AmplifierSession::ReadWorkingState() {
    mPump.Reset();
    ProgressReport report(mPump, "reading", mQuiet);
    bool answered = false;
    const jobs::JobOutcome outcome =
        jobs::ReadWorkingState(*mLink, jobs::BandCountsOf(model::Profile()), report, &answered);
    if (outcome == jobs::JobOutcome::kDone &&
        !report.WaitRepliesApplied(jobs::kRepliesAppliedTimeoutMs)) {
        return DeviceError("the amplifier's answers could not be taken in; try again");
    }
    return OutcomeFailure(outcome, "reading the amplifier");
}

std::optional<Failure> AmplifierSession::OutcomeFailure(jobs::JobOutcome outcome,
                                                        const std::string& what) const {
    switch (outcome) {
        case jobs::JobOutcome::kDone:
            return std::nullopt;
        case jobs::JobOutcome::kDeviceGone:
            return DeviceError("the amplifier went away while " + what +
                               "; reconnect it and run the command again");
        case jobs::JobOutcome::kStopped:
            return DeviceError(what + " was stopped; run the command again");
        case jobs::JobOutcome::kNoAnswer:
            return DeviceError("the amplifier did not answer while " + what +
                               "; check the cable and run the command again");
    }
    return DeviceError(what + " failed");
}

}  // namespace cli
