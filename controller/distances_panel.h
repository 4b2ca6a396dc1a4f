// What the distances window does: one row per output with its name as the
// main page gives it, the distance the installer measured, and the delay
// that distance gives; Apply sets every delay at once. The distances are
// read again on Enter and when an edit loses the focus; a text that is not a
// distance is named with its output, and Apply then changes nothing. The
// window hands its controls and notifications to this panel; the panel
// knows no window system.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "controller/control_lookup.h"
#include "controller/distance_alignment.h"
#include "controller/distance_entry.h"
#include "toolkit/control_access.h"

namespace controller {

class EqualizerManager;
class UiServices;

namespace distances {

inline constexpr const char* kEditPrefix = "dist_edit_";
inline constexpr const char* kApplyButton = "apply_btn";
inline constexpr const char* kStatusLabel = "dist_status";
// Rows of delays the alignment leaves as they are, and rows cut to the
// largest delay.
inline constexpr uint32_t kKeptDelayColor = 0xFF8A93A0;
inline constexpr uint32_t kLimitedDelayColor = 0xFFFF9F1C;

}  // namespace distances

class DistancesPanel {
public:
    DistancesPanel(EqualizerManager& manager, UiServices& ui, toolkit::ControlAccess& window);

    // Names the rows, shows the distances kept for this amplifier and the
    // delays they give. Notifications before it are not acted on.
    void Open();
    bool IsOpen() const { return mOpen; }

    // Reads the distances again and shows the delays, or what is wrong.
    void ShowResults();
    // Sets the delays and keeps the distances; true when done. A distance
    // that cannot be read, or none at all, is told in a message box and
    // nothing changes.
    bool Apply();

    // Routes one notification of the window; false when it is none of the
    // panel's.
    bool Handle(const toolkit::Notification& notification);

private:
    // Every row's distance, or the first row that has a fault.
    struct Reading {
        std::vector<std::optional<double>> distances;
        int faultyOutput = -1;
        DistanceFault fault = DistanceFault::kNone;
    };
    Reading ReadAll();
    // The upper half of a bridged pair takes the lower one's delay.
    bool FollowsPartner(int output) const;
    std::string OutputName(int output);
    std::string FaultText(const Reading& reading);
    std::string LimitedText(const DistanceAlignment& alignment);
    void ShowDelays(const std::optional<DistanceAlignment>& alignment, bool unreadable);
    void ShowStatus(const std::string& text);
    // The texts to keep: what each row holds, with its unit.
    std::vector<std::string> KeptTexts(const Reading& reading);

    EqualizerManager& mManager;
    UiServices& mUi;
    ControlLookup mControls;
    int mDistanceUnit = 0;
    int mOutputs = 0;
    bool mOpen = false;
};

}  // namespace controller
