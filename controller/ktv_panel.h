// What the karaoke window does: the microphone's howling suppression switch
// and nine effect values (microphone and music volume, voice changer, treble,
// bass, echo level and delay, reverb level and time), each on a slider and an
// edit. Every change is queued for the amplifier at once and kept in the
// working profile; the window's buttons only close it. The window hands its
// controls and notifications to this panel; the panel knows no window system.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "controller/control_lookup.h"
#include "model/profile.h"
#include "toolkit/control_access.h"

namespace controller {

class EqualizerManager;

namespace ktv {

// One karaoke value: where the profile keeps it, its two controls, how its
// edit shows it, the amplifier's sub-command for it and the values that
// sub-command's value type carries.
struct ValueSpec {
    int32_t model::Profile::*field;
    const char* slider;
    const char* edit;
    const char* format;
    uint8_t subCommand;
    int lowest;
    int highest;
};

inline constexpr int kValues = 9;
inline constexpr const char* kHowlingOption = "option_howling_control";

// In the order of the edits' focus ring: "valuechangedright" moves to the
// next one, from the last back to the first.
const std::array<ValueSpec, kValues>& Values();

// The value in its edit's format ("60dB", "300ms", "-3").
std::string ValueText(const ValueSpec& spec, int value);
// An edit's text read as a whole number: the leading number without its
// fraction; nothing when the text does not start with one.
std::optional<int> TypedInteger(const std::string& text);

}  // namespace ktv

class KtvPanel {
public:
    KtvPanel(EqualizerManager& manager, toolkit::ControlAccess& window);

    // Shows the working profile's values; raises no notification and sends
    // nothing.
    void Show();

    // The howling option changed: its state goes to the amplifier.
    void ApplyHowling();
    // The value's edit committed: the typed number limited to the slider's
    // range.
    void ApplyEdit(int index);
    // The value's slider moved.
    void ApplySlider(int index);
    // Up or down on the value's edit: one more or one less, within range.
    void Step(int index, bool up);
    // Left or right at an edit's end: the previous or next edit of the ring.
    void FocusNeighbour(int index, bool forward);

    // Routes one notification of the window; false when it is none of the
    // panel's.
    bool Handle(const toolkit::Notification& notification);

private:
    struct Range {
        int lowest;
        int highest;
    };
    Range RangeOf(const ktv::ValueSpec& spec);
    // Shows v in the edit (and the slider when asked), stores and sends it.
    void Commit(int index, int value, bool moveSlider);
    void SelectEdit(int index);
    bool EditChanged(int index);

    EqualizerManager& mManager;
    ControlLookup mControls;
};

}  // namespace controller
