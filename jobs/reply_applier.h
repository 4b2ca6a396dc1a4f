// Applying the amplifier's decoded replies to profiles without any control:
// the working profile (scene 0), the ten stored scenes' profiles, their names
// and the mask of stored scenes. The command-line tool runs every read
// through it; the program's controller does the same work and also shows
// each value.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>

#include "device/device_records.h"
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

// Where a reply lands: the working profile (scene 0) and the ten stored
// scenes' profiles (index 0 is scene 1).
struct ReplyTargets {
    model::Profile* working = nullptr;
    std::span<model::Profile, model::kStoredScenes> scenes;

    // The profile a scene byte names, or nullptr for a scene beyond the slots.
    model::Profile* Of(int scene) const;
};

ReplyTargets TargetsOf(DeviceProfiles& profiles);

// One report each. They return the profile they changed, or nullptr when
// the report names no scene or output of this model (and changed nothing).
model::Profile* ApplyFilterReport(const ReplyTargets& to, const device::FilterRecord& r);
model::Profile* ApplyEqBandReport(const ReplyTargets& to, const device::EqBandRecord& r);
model::Profile* ApplyDelayReport(const ReplyTargets& to, const device::ChannelFloatRecord& r);
// A trim as a stored scene keeps it (clamped to -60..0 dB). The working
// state's trim goes through the owner's own path, which also rounds it.
model::Profile* ApplyStoredTrimReport(const ReplyTargets& to, const device::ChannelFloatRecord& r);
// Mute, phase, solo, EQ bypass, output type and compressor switch of one
// output (the DSP sub-command tells which).
model::Profile* ApplyChannelValueReport(const ReplyTargets& to, uint8_t sub,
                                        const device::ChannelValueRecord& r);
model::Profile* ApplyMixMaskReport(const ReplyTargets& to, const device::MixMaskRecord& r);
model::Profile* ApplyInputMixTrimReport(const ReplyTargets& to,
                                        const device::InputMixTrimRecord& r);
model::Profile* ApplyCompressorReport(const ReplyTargets& to, const device::CompressorRecord& r,
                                      bool secondType);
model::Profile* ApplyCrossMixReport(const ReplyTargets& to, const device::CrossMixRecord& r,
                                    bool cs47048);
// The link of a stored scene (its switch only) or of the working state
// (switch, lock and the pairs).
model::Profile* ApplyLinkReport(const ReplyTargets& to, const device::LinkRecord& r);
model::Profile* ApplyBridgeReport(const ReplyTargets& to, const device::BridgeRecord& r);
void ApplyHandshakeReport(model::Profile& working, const device::HandshakeRecord& r);
void ApplyFlashVersionReport(model::Profile& working, const device::FlashVersionRecord& r);
// Karaoke value sub (1..10); others change nothing.
void ApplyKtvReport(model::Profile& working, uint8_t sub, int value);

// Applies one posted message of the device link (WM_READ_DSP_VALUE,
// WM_READ_MCU_VALUE, WM_READ_FLASH_VALUE, WM_READ_KTV_VALUE); others, and
// records that do not fit the message, change nothing.
void ApplyPostedReply(DeviceProfiles& profiles, uint32_t message, uintptr_t wParam, intptr_t lParam,
                      const std::unique_ptr<platform::PostedRecord>& record);

}  // namespace jobs
