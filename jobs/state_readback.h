// Reading the amplifier's state back: the requests of a full read of its
// working state, the read-back of one stored scene, and the read-back of all
// ten scenes followed by the working state. Every request is sent at once and
// its reply read on the calling thread; the link posts each decoded reply,
// and whoever runs the job applies them to the profiles (the controller on
// its UI thread).
#pragma once

#include <array>

#include "device/device_link.h"
#include "jobs/command_steps.h"
#include "jobs/job_report.h"
#include "model/profile.h"
#include "model/profile_json.h"

namespace jobs {

// After a scene is opened for reading back, the device needs this long
// before it answers from it.
inline constexpr int kSceneReadBackSettleMs = 1000;
// How long a read-back waits for its replies to be applied.
inline constexpr int kRepliesAppliedTimeoutMs = 10000;

// The band count of every output, which sets how many band requests a read
// makes; taken from the working profile before the job starts.
using BandCounts = std::array<int, model::kChannelRecords>;
BandCounts BandCountsOf(const model::Profile& profile);

// The requests that read the whole working state (scene 0), in the order
// the device expects after the handshake.
void RequestWorkingState(CommandSteps& steps, const BandCounts& bands);

// Takes control of the device, shakes hands and, for a device of this model
// in normal operation, requests its whole working state. kNoAnswer when the
// handshake went unanswered.
// handshakeAnswered, when given, tells whether the handshake was answered.
JobOutcome ReadWorkingState(device::DeviceLink& link, const BandCounts& bands, JobReport& report,
                            bool* handshakeAnswered = nullptr);

// The read-back of stored scene k (1..10): the device opens the slot, then
// answers every request addressed to k from it.
void ReadStoredScene(CommandSteps& steps, int scene, const BandCounts& bands,
                     int settleMs = kSceneReadBackSettleMs);

// Scenes 1..10, the device back on its working state, then the working
// state itself; returns kDone only when every request was answered and every
// reply applied. Progress: scenes read of ten.
JobOutcome ReadBackScenes(device::DeviceLink& link, const BandCounts& bands, JobReport& report,
                          int settleMs = kSceneReadBackSettleMs);

}  // namespace jobs
