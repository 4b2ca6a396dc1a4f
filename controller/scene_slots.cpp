// The amplifier's ten scene slots: the scene menu's three operations, which
// open the scene window, and the jobs the scene window starts to save the
// working state into a slot, load a slot and delete one. The jobs run on
// worker threads and report back only by posted messages: to the scene
// window that started them, and to the main window for the redraw after a
// load.
#include <atomic>
#include <cstdio>

#include "app/log.h"
#include "app/model_cfg.h"
#include "controller/controller_messages.h"
#include "controller/equalizer_manager.h"
#include "jobs/scene_slot_jobs.h"

namespace controller {
namespace {

constexpr int kSceneSlots = 10;

int OutputCount() {
    return app::CurrentModelCfg().mOUT_CHANNEL_NUMBER;
}

// Scene jobs report their steps to the log and stop when the program closes.
class SceneJobReport final : public jobs::JobReport {
public:
    SceneJobReport(const char* job, const std::atomic<bool>& stop) : mJob(job), mStop(stop) {}
    void Progress(int done, int total) override { app::Log("%s %d/%d\n", mJob, done, total); }
    bool StopRequested() const override { return mStop.load(); }
    // The scene jobs never wait for replies to be applied, so no runner of
    // theirs can tell; refused rather than pretended.
    bool WaitRepliesApplied(int) override { return false; }

private:
    const char* mJob;
    const std::atomic<bool>& mStop;
};

}  // namespace

void EqualizerManager::LoadSenceConfigFromDSP() {
    app::Log("%s\n", "EqualizerManager::LoadSenceConfigFromDSP");
    if (mUi != nullptr) {
        mUi->OpenSceneWindow(SceneWindowMode::kLoad);
    }
}

void EqualizerManager::SaveSenceConfigToDSP() {
    app::Log("%s\n", "EqualizerManager::SaveSenceConfigToDSP");
    if (mUi != nullptr) {
        mUi->OpenSceneWindow(SceneWindowMode::kSaveAs);
    }
}

void EqualizerManager::DeleteDSPSenceConfig() {
    app::Log("%s\n", "EqualizerManager::DeleteDSPSenceConfig");
    if (mUi != nullptr) {
        mUi->OpenSceneWindow(SceneWindowMode::kDelete);
    }
}

void EqualizerManager::SetSceneName(int slot, const std::u16string& name) {
    if (slot >= 0 && slot < kSceneSlots) {
        mSceneNames[static_cast<size_t>(slot)] = name;
    }
}

// Each job takes the scene, the name and the window it reports to as they
// are now: the user-interface thread may change mSceneId (a scene report)
// while the job runs.
void EqualizerManager::StartSaveSenceThread() {
    const int scene = mSceneId;
    const std::array<uint8_t, 16> name = mSceneNameToSave;
    const platform::WindowHandle sceneWnd = mDeviceLink->SceneWnd();
    StartJob([this, scene, name, sceneWnd] { SaveSenceThread(scene, name, sceneWnd); });
}

void EqualizerManager::StartLoadSenceThread() {
    const int scene = mSceneId;
    const platform::WindowHandle sceneWnd = mDeviceLink->SceneWnd();
    StartJob([this, scene, sceneWnd] { LoadSenceThread(scene, sceneWnd); });
}

void EqualizerManager::StartDeleteSenceThread() {
    const int scene = mSceneId;
    const platform::WindowHandle sceneWnd = mDeviceLink->SceneWnd();
    StartJob([this, scene, sceneWnd] { DeleteSenceThread(scene, sceneWnd); });
}

void EqualizerManager::SaveSenceThread(int scene, std::array<uint8_t, 16> name,
                                       platform::WindowHandle sceneWnd) {
    app::Log("SaveSenceThread start!\n");
    SceneJobReport report("SaveSenceThread", mShuttingDown);
    jobs::SaveSceneSlot(*mDeviceLink, scene, name, report);
    // The amplifier's acknowledgement, read by the save, went to the scene
    // window first; it shows the outcome.
    platform::PostMessage(sceneWnd, WM_HIDE_LOADING, 0, 0);
    app::Log("SaveSenceThread end!\n");
}

void EqualizerManager::LoadSenceThread(int scene, platform::WindowHandle sceneWnd) {
    app::Log("LoadSenceThread start!\n");
    // The reports of the read below update the view; nothing they change
    // may go back to the amplifier.
    mDeviceLink->DisableCmdCtrl();
    SceneJobReport report("LoadSenceThread", mShuttingDown);
    const jobs::JobOutcome outcome = jobs::LoadSceneSlot(
        *mDeviceLink, scene, [this] { return PC_UI_Status_Init() == 0; }, report);
    if (outcome == jobs::JobOutcome::kDone) {
        // Posted after the read's reports, so it sees them applied.
        PostStep(SyncStep::kSceneLoaded);
    }
    platform::PostMessage(sceneWnd, WM_HIDE_LOADING, 0, 0);
    app::Log("LoadSenceThread end!\n");
}

void EqualizerManager::DeleteSenceThread(int scene, platform::WindowHandle sceneWnd) {
    app::Log("DeleteSenceThread start!\n");
    SceneJobReport report("DeleteSenceThread", mShuttingDown);
    jobs::DeleteSceneSlot(*mDeviceLink, scene, report);
    // The acknowledgement, when there was one, closed the loading window
    // already; without one the loading window, which has no buttons, would
    // stay up for good.
    platform::PostMessage(sceneWnd, WM_HIDE_LOADING, 0, 0);
    app::Log("DeleteSenceThread end!\n");
}

// On the user-interface thread, once the loaded scene's reports are in the
// profile: the speaker positions, the output buttons and the curves follow
// them, and the queue opens again for the user's changes.
void EqualizerManager::OnSceneLoaded() {
    for (int c = 0; c < OutputCount(); ++c) {
        ShowOutputType(c);
    }
    ShowSpeakerPositions();
    for (int c = 0; c < OutputCount(); ++c) {
        ComputeCurve(c);
    }
    UpdateEqualizer(-1);
    ForgetHistory();
    if (mDeviceLink->IsConnected() && !mDeviceLink->IsDeviceGone()) {
        mDeviceLink->EnableCmdCtrl();
    }
}

}  // namespace controller
