// Tuning with no amplifier connected. Every edit still goes into the working
// profile, and profile files can be opened and saved. When an amplifier is
// connected afterwards, its state is read as usual, and then the user
// chooses: send the tune made offline (only what differs from what the
// amplifier holds), or keep the amplifier's. A tune that is not sent is kept
// in a file of the auto-save folder, so that no work is lost either way.
#include <filesystem>
#include <memory>

#include "app/log.h"
#include "controller/controller_messages.h"
#include "controller/equalizer_manager.h"
#include "controller/tuning_parts.h"
#include "jobs/profile_difference.h"

namespace controller {
namespace {

constexpr int kSendMine = 1;

jobs::WorkingState StateOf(const model::Profile& profile) {
    // The amplifier's main volume stays: both sides carry the same.
    return {&profile, 0.0f};
}

}  // namespace

void EqualizerManager::NoteOfflineChange() {
    if (!IsSynchronised() && !mOfflineTune) {
        app::Log("the tune was changed with no amplifier connected\n");
        mOfflineTune = true;
    }
}

// Before a connection replaces the working profile with the amplifier's.
void EqualizerManager::KeepOfflineTune() {
    if (mOfflineTune) {
        mOfflineProfile = std::make_unique<model::Profile>(mProfile);
        mOfflineTune = false;
    }
}

std::string EqualizerManager::OfflineTuneFile() const {
    return mAutoSaveFolder + "offline.spf";
}

void EqualizerManager::OfferOfflineTune() {
    std::unique_ptr<model::Profile> offline = std::move(mOfflineProfile);
    if (!offline || !IsSynchronised() || mUi == nullptr) {
        return;
    }
    model::Profile mine = mProfile;
    CopyTuning(*offline, mine);
    if (!TuningDiffers(mProfile, mine)) {
        app::Log("the tune made offline is the amplifier's\n");
        return;
    }
    const int choice = mUi->AskTwoChoices("${tips}", "${offline_tune_question}",
                                          "${offline_send_mine}", "${offline_keep_amp}");
    if (choice != kSendMine) {
        KeepOfflineTuneInFile(*offline);
        return;
    }
    const int commands = jobs::CountProfileDifference(StateOf(mProfile), StateOf(mine));
    app::Log("sending the tune made offline: %d commands\n", commands);
    auto amplifierHeld = std::make_unique<model::Profile>(mProfile);
    mProfile = mine;
    SetReadProfileToView();
    mHistory->Clear();
    Post(WM_SHOW_LOADING);
    TakeJobInput(false);
    mJobFrom = std::move(amplifierHeld);
    StartJob(&EqualizerManager::SendDifferenceThread);
}

void EqualizerManager::KeepUnsentOfflineTune() {
    // Put aside by a connection that has not offered it yet.
    if (mOfflineProfile) {
        KeepOfflineTuneInFile(*mOfflineProfile);
        mOfflineProfile.reset();
        return;
    }
    if (mOfflineTune && !IsSynchronised()) {
        KeepOfflineTuneInFile(mProfile);
        mOfflineTune = false;
    }
}

void EqualizerManager::KeepOfflineTuneInFile(const model::Profile& offline) {
    std::error_code error;
    std::filesystem::create_directories(mAutoSaveFolder, error);
    const std::string path = OfflineTuneFile();
    const bool kept = ProfileFiles().writeSceneProfile(offline, path, false);
    app::Log("the amplifier's tune is kept; the offline tune %s %s\n",
             kept ? "is in" : "could not be written to", path.c_str());
}

}  // namespace controller
