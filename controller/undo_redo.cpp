// Undo and redo of the tuning. The history (edit_history.h) hands back the
// working profile as it was before or after a step; here it becomes the
// working profile and the amplifier's: only the difference is sent, and the
// page shows the profile again.
//
// What a step takes back is the tuning (tuning_parts.h).
#include <memory>

#include "app/log.h"
#include "controller/controller_messages.h"
#include "controller/equalizer_manager.h"
#include "controller/tuning_parts.h"
#include "jobs/profile_difference.h"

namespace controller {
namespace {

// Up to this many commands an undo is sent at once, without the loading
// window: a band, a trim, a crossover side take one or two.
constexpr int kCommandsSentInPlace = 24;

class QuietReport : public jobs::JobReport {
public:
    void Progress(int, int) override {}
    bool WaitRepliesApplied(int) override { return true; }
};

jobs::WorkingState StateOf(const model::Profile& profile) {
    // Both sides carry the same main volume: undo never sends one.
    return {&profile, 0.0f};
}

}  // namespace

bool EqualizerManager::CanUndo() const {
    return mHistory->CanUndo();
}

bool EqualizerManager::CanRedo() const {
    return mHistory->CanRedo();
}

void EqualizerManager::Undo() {
    if (mHistory->CanUndo()) {
        ApplyHistoryProfile(mHistory->TakeUndo(), "undo");
    }
}

void EqualizerManager::Redo() {
    if (mHistory->CanRedo()) {
        ApplyHistoryProfile(mHistory->TakeRedo(), "redo");
    }
}

void EqualizerManager::ForgetHistory() {
    mHistory->Clear();
}

void EqualizerManager::ShowUndoButtons() {
    if (mPage == nullptr) {
        return;
    }
    mControls("btn_undo").SetEnabled(mHistory->CanUndo());
    mControls("btn_redo").SetEnabled(mHistory->CanRedo());
}

void EqualizerManager::ApplyHistoryProfile(const model::Profile& restored, const char* what) {
    auto amplifierHeld = std::make_unique<model::Profile>(mProfile);
    CopyTuning(restored, mProfile);
    const int commands = jobs::CountProfileDifference(StateOf(*amplifierHeld), StateOf(mProfile));
    app::Log("%s: %d commands\n", what, commands);
    SetReadProfileToView();
    mHistory->Rebase();  // what the page shows now is no step of the user's
    if (!IsSynchronised() || commands == 0) {
        if (!IsSynchronised()) {
            NoteOfflineChange();
        }
        return;
    }
    if (commands <= kCommandsSentInPlace) {
        QuietReport report;
        jobs::WriteProfileDifference(*mDeviceLink, StateOf(*amplifierHeld), StateOf(mProfile),
                                     report);
        return;
    }
    Post(WM_SHOW_LOADING);
    TakeJobInput(false);
    mJobFrom = std::move(amplifierHeld);
    StartJob(&EqualizerManager::SendDifferenceThread);
}

}  // namespace controller
