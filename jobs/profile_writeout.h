// Writing profiles to the amplifier: one profile into its working state, or
// a whole configuration (ten stored scenes with their names, then the working
// state). Every command is sent at once and its reply read, except the two
// cross-source commands of each source, which go through the link's queue.
#pragma once

#include <vector>

#include "device/device_link.h"
#include "jobs/command_steps.h"
#include "jobs/job_report.h"
#include "model/profile.h"
#include "model/profile_json.h"

namespace jobs {

// The device takes a moment after a whole configuration before it plays the
// new working state.
inline constexpr int kWholeWriteSettleMs = 200;

// The working state to write: the profile and the main volume as the device
// takes it (an attenuation below its top level; the controller's slider map
// gives it from the profile's slider position).
struct WorkingState {
    const model::Profile* profile = nullptr;
    float mainVolumeAttenuation = 0;
};

// Ten stored scenes (index 0 is scene 1) with their names as 16 bytes each.
struct StoredScenes {
    const std::vector<model::Profile>* profiles = nullptr;  // ten
    const std::vector<model::SceneName>* names = nullptr;   // ten
};

// The working state of the device becomes `state`: volume and mute, every
// output's crossover, bands and switches, the routing of the profile's source
// and the mixer of every source with inputs. Progress: commands sent.
JobOutcome WriteCurrentProfile(device::DeviceLink& link, const WorkingState& state,
                               JobReport& report);

// The whole configuration: every stored scene k (commands addressed to k,
// its name, then a save of slot k from those values), the working state with
// the routing of every source, and the settle wait. Progress: commands sent.
JobOutcome WriteWholeConfig(device::DeviceLink& link, const StoredScenes& scenes,
                            const WorkingState& state, JobReport& report,
                            int settleMs = kWholeWriteSettleMs);

// The mixer of source s with n inputs into the working state: the volumes of
// its inputs and of the split cross-source channels after them (rows n + k),
// then the two cross-source commands, queued. Nothing for a source without
// inputs.
void WriteMixer(CommandSteps& steps, const model::Profile& profile, int inputs, int source);

// The commands of the two write-outs, counted without sending.
int CountCurrentProfile(const WorkingState& state);
int CountWholeConfig(const StoredScenes& scenes, const WorkingState& state);

}  // namespace jobs
