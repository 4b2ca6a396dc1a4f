// The three jobs on one of the amplifier's ten scene slots: save the working
// state into a slot under a name, make a slot the working state and read it
// back, delete a slot. Each runs on the caller's thread, sends with its reply
// read at once, and stops as soon as the amplifier is gone.
#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "device/device_link.h"
#include "jobs/job_report.h"

namespace jobs {

inline constexpr int kFirstSceneSlot = 1;
inline constexpr int kLastSceneSlot = 10;
inline constexpr int kSceneNameBytes = 16;
// A scene name as the amplifier keeps it: bytes of the narrow code page,
// padded with zero bytes.
using SceneNameBytes = std::array<uint8_t, kSceneNameBytes>;

// Reads the amplifier's whole working state (the replies reach the profile
// through the link's posted messages); false when the amplifier did not
// answer the handshake.
using WorkingStateRead = std::function<bool()>;

// Names slot `scene` (1..10) and saves the working state into it. The
// amplifier acknowledges the save once its flash is written (up to 20 s);
// that acknowledgement goes to the link's scene window.
JobOutcome SaveSceneSlot(device::DeviceLink& link, int scene, const SceneNameBytes& name,
                         JobReport& report);

// Makes slot `scene` the amplifier's working state, then reads the working
// state back with readWorkingState.
JobOutcome LoadSceneSlot(device::DeviceLink& link, int scene,
                         const WorkingStateRead& readWorkingState, JobReport& report);

// Deletes slot `scene`; the acknowledgement goes to the link's scene window.
JobOutcome DeleteSceneSlot(device::DeviceLink& link, int scene, JobReport& report);

}  // namespace jobs
