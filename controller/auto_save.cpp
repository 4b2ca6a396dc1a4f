// Auto save: while "enableAutoSave" is on, the working profile is saved once
// a minute as "HHMM.spf" of the local time, and the ten "autoSave%d" buttons
// show the times in turn; a click on one loads its file again.
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>

#include "app/log.h"
#include "controller/controller_messages.h"
#include "controller/equalizer_manager.h"

namespace controller {
namespace {

constexpr int kAutoSaveSlots = 10;
constexpr int kAutoSavePeriodMs = 60000;
constexpr const char* kUnusedSlotLabel = "--:--";

EqualizerManager::LocalTime SystemLocalTime() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_hour, local.tm_min};
}

}  // namespace

// A slot that holds no save offers nothing to load.
void EqualizerManager::ShowAutoSaveSlots() {
    for (int slot = 0; slot < kAutoSaveSlots; ++slot) {
        char button[32];
        std::snprintf(button, sizeof button, "autoSave%d", slot);
        mControls(button).SetEnabled(mControls(button).Text() != kUnusedSlotLabel);
    }
}

void EqualizerManager::SetAutoSave(bool on) {
    mAutoSaveEnabled = on;
    if (mPage != nullptr) {
        if (on) {
            mPage->SetTimer(STATUS_ATUO_SAVE_TIMER, kAutoSavePeriodMs);
        } else {
            mPage->KillTimer(STATUS_ATUO_SAVE_TIMER);
        }
    }
    if (on) {
        AutoSaveScene();
    }
}

void EqualizerManager::OnAutoSaveTimer() {
    app::Log("STATUS_ATUO_SAVE_TIMER\n");
    AutoSaveScene();
}

void EqualizerManager::AutoSaveScene() {
    if (!mAutoSaveEnabled) {
        return;
    }
    if (mAutoSaveIndex >= kAutoSaveSlots) {
        mAutoSaveIndex = 0;
    }
    const int slot = mAutoSaveIndex;
    char button[32];
    std::snprintf(button, sizeof button, "autoSave%d", slot);
    if (mControls.Exists(button)) {
        const LocalTime time = mLocalTime ? mLocalTime() : SystemLocalTime();
        std::error_code ignored;  // an existing folder is no error
        std::filesystem::create_directories(mAutoSaveFolder, ignored);
        char stamp[16];
        std::snprintf(stamp, sizeof stamp, "%02d%02d", time.hour % 100, time.minute % 100);
        const std::string path = mAutoSaveFolder + stamp + ".spf";
        // The writer writes beside the file and renames over it: a save cut
        // short never leaves half a file in place of the last good one.
        if (ProfileFiles().writeSceneProfile(mProfile, path, false)) {
            app::Log("auto save scene to %s", path.c_str());
            char label[16];
            std::snprintf(label, sizeof label, "%02d:%02d", time.hour % 100, time.minute % 100);
            mControls(button).SetText(label);
            mControls(button).SetEnabled(true);
        } else {
            app::Log("auto save scene to %s failed", path.c_str());
        }
    }
    ++mAutoSaveIndex;
}

void EqualizerManager::LoadAutoSavedScene(const std::string& label) {
    if (label.empty() || label == kUnusedSlotLabel) {
        return;
    }
    std::string stamp = label;
    std::erase(stamp, ':');
    const std::string path = mAutoSaveFolder + stamp + ".spf";
    if (!ReadSceneFileInto(path, true)) {
        app::Log("load scene from %s failed", path.c_str());
        return;
    }
    app::Log("load scene from %s", path.c_str());
    if (!mDeviceLink->IsConnected()) {
        // Nothing to send: the view shows the scene now in the working profile.
        SetReadProfileToView();
        return;
    }
    Post(WM_SHOW_LOADING);
    TakeJobInput(false);
    StartJob(&EqualizerManager::SetCurSceneThread);
}

}  // namespace controller
