// What the centre/surround upmix window does: eleven switches, nine levels
// (a slider in hundredths and an edit with three decimals each) and four
// selections, all of them one block that the controller keeps and that every
// change sends whole to the amplifier. The restore button puts the defaults
// back after the user confirmed. The window hands its controls and
// notifications to this panel; the panel knows no window system.
#pragma once

#include <string>

#include "controller/control_lookup.h"
#include "model/cs_auto_settings.h"
#include "toolkit/control_access.h"

namespace controller {

class EqualizerManager;
class UiServices;

namespace cs_auto {

// Slider positions are hundredths of a level.
inline constexpr int kSliderScale = 100;
inline constexpr const char* kRestoreButton = "btn_restore_cs_auto";

// "%.3f".
std::string LevelText(double level);
// The index in a control name "<prefix><index>" below count; -1 otherwise.
int IndexAfter(const std::string& name, const std::string& prefix, int count);

}  // namespace cs_auto

class CsAutoPanel {
public:
    CsAutoPanel(EqualizerManager& manager, UiServices& ui, toolkit::ControlAccess& window);

    // Takes the working profile's scene into the block and shows the block.
    // Notifications before it are not acted on.
    void Open();
    bool IsOpen() const { return mOpen; }

    // Switch i followed its option.
    void ApplySwitch(int index);
    // Level i from its slider.
    void ApplySlider(int index);
    // Level i one slider step up or down; nothing at the end of the range.
    void Step(int index, bool up);
    // Level i from its edit, limited to the slider's range.
    void ApplyEdit(int index);
    // A selection from its combo (0 mode, 1 front, 2 surround, 3 subwoofer).
    void ApplyCombo(int which);
    // Asks, then puts every default back and sends them.
    void Restore();

    // Routes one notification of the window; false when it is none of the
    // panel's.
    bool Handle(const toolkit::Notification& notification);

private:
    model::CsAutoSettings& Block();
    void ShowBlock();
    void ShowLevel(int index, float level);
    void Send();

    EqualizerManager& mManager;
    UiServices& mUi;
    ControlLookup mControls;
    bool mOpen = false;
};

}  // namespace controller
