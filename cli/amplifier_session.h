// One run's amplifier: the HID backend (real devices, or the virtual
// amplifier with its state file), the choice of the device, the link to it
// with the handshake and the read of its working state, and at the end the
// virtual amplifier's state written back to its file.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/arguments.h"
#include "cli/exit_codes.h"
#include "cli/reply_pump.h"
#include "device/device_link.h"
#include "device/hid_seam.h"
#include "jobs/job_report.h"
#include "platform/single_instance.h"
#include "virtual_device/demo_amplifier.h"

namespace cli {

// An attached amplifier as the list shows it.
struct FoundAmplifier {
    std::string path;
    std::string serial;  // the name the program knows it by
    std::string nickname;
    std::string manufacturer;
    std::string product;
};

class AmplifierSession {
public:
    explicit AmplifierSession(const Arguments& arguments);
    // Lets go of the amplifier and keeps the virtual one's state.
    ~AmplifierSession();
    AmplifierSession(const AmplifierSession&) = delete;
    AmplifierSession& operator=(const AmplifierSession&) = delete;

    // Sets up the backend; fails on a virtual state file that cannot be used,
    // and for real amplifiers while the program (or another tq-dsp) runs.
    std::optional<Failure> Start();

    // Every attached amplifier.
    std::vector<FoundAmplifier> List();

    // Opens the chosen amplifier (--device, else the first), shakes hands
    // and reads its working state into the pump's profiles.
    std::optional<Failure> Connect();

    // Opens the chosen amplifier and shakes hands only: for the firmware
    // update, which also takes an amplifier in its upgrade program.
    std::optional<Failure> Open();

    // Waits until the commands a write-out handed to the link's queue have
    // reached the amplifier; a failure when they do not within a while.
    std::optional<Failure> FlushQueued();

    // Reads the working state again (after a scene load).
    std::optional<Failure> ReadWorkingState();

    device::DeviceLink& Link() { return *mLink; }
    ReplyPump& Pump() { return mPump; }
    const FoundAmplifier& Chosen() const { return mChosen; }
    bool Quiet() const { return mQuiet; }

    // The failure a job's outcome stands for, or nothing when it is done.
    std::optional<Failure> OutcomeFailure(jobs::JobOutcome outcome, const std::string& what) const;

private:
    std::optional<Failure> Choose(const std::vector<FoundAmplifier>& found);
    std::optional<Failure> OpenLink();
    void SaveVirtualState();

    const bool mVirtual;
    const std::string mStateFile;
    const std::optional<std::string> mWanted;
    const bool mQuiet;
    bool mStateUsable = false;

    // Held while real amplifiers are used: the program's own lock.
    std::unique_ptr<platform::SingleInstanceLock> mInstance;
    ReplyPump mPump;
    std::shared_ptr<device::HidBackend> mBackend;
    virtual_device::DemoAmplifier mDemo;
    std::unique_ptr<device::DeviceLink> mLink;
    FoundAmplifier mChosen;
};

}  // namespace cli
