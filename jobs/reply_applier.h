// Applying the amplifier's decoded replies to profiles without any control:
// the working profile (scene 0), the ten stored scenes' profiles, their names
// and the mask of stored scenes. The command-line tool runs every read
// through it; the program's controller does the same work and also shows
// each value.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "model/profile.h"
#include "model/profile_json.h"
#include "platform/message_post.h"

namespace jobs {

// What a full read of the amplifier fills.
struct DeviceProfiles {
    model::Profile working;
    std::array<model::Profile, model::kStoredScenes> scenes{};  // index 0 is scene 1
    std::array<model::SceneName, model::kStoredScenes> names{};
    uint32_t storedMask = 0;  // bit k - 1: scene k is stored
    // The level the amplifier last reported for its main volume (dB), or
    // none yet; the slider position it stands for is the caller's business.
    bool mainVolumeReported = false;
    int mainVolumeDb = 0;
};

// The profile a scene byte names, or nullptr for a scene beyond the slots.
model::Profile* ProfileOfScene(DeviceProfiles& profiles, int scene);

// Applies one posted message of the device link (WM_READ_DSP_VALUE,
// WM_READ_MCU_VALUE, WM_READ_FLASH_VALUE, WM_READ_KTV_VALUE); others, and
// records that do not fit the message, change nothing.
void ApplyPostedReply(DeviceProfiles& profiles, uint32_t message, uintptr_t wParam, intptr_t lParam,
                      const std::unique_ptr<platform::PostedRecord>& record);

}  // namespace jobs
