// The jobs that move a tune between the working profile and the device:
// writing a loaded scene profile or whole configuration, and reading the
// stored scenes back for a whole-configuration file. Each runs on a worker
// thread behind the loading window; the device work is a unit of jobs/, and
// everything that touches the profiles or the view is posted back to the UI
// thread.
#include <algorithm>
#include <chrono>

#include "app/log.h"
#include "controller/controller_messages.h"
#include "controller/equalizer_manager.h"
#include "jobs/command_steps.h"
#include "jobs/profile_difference.h"
#include "model/main_volume_map.h"
#include "model/scene_name_codec.h"

namespace controller {
namespace {

constexpr int kPermille = 1000;
constexpr auto kMarkerPollPeriod = std::chrono::milliseconds(20);

}  // namespace

// Reports a job's progress to the loading window and waits for its replies
// through the UI thread's message queue.
class EqualizerManager::PostingReport final : public jobs::JobReport {
public:
    explicit PostingReport(EqualizerManager& manager) : mManager(manager) {}

    // A burst of commands costs at most a thousand redraws: posted when the
    // share done moves by a thousandth, and at the end.
    void Progress(int done, int total) override {
        const int share = total > 0 ? static_cast<int>(int64_t{done} * kPermille / total) : 0;
        if (share == mLastShare && done != total) {
            return;
        }
        mLastShare = share;
        platform::PostMessage(mManager.mHwnd, WM_JOB_PROGRESS, static_cast<uintptr_t>(done), total);
    }
    bool StopRequested() const override { return mManager.mShuttingDown.load(); }
    bool WaitRepliesApplied(int timeoutMs) override {
        return mManager.WaitMarkerHandled(timeoutMs);
    }

private:
    EqualizerManager& mManager;
    int mLastShare = -1;
};

// Messages are handled in order, so once the UI thread has handled a marker
// posted now, every reply posted before it has been applied.
bool EqualizerManager::WaitMarkerHandled(int timeoutMs) {
    uint64_t marker = 0;
    {
        std::lock_guard<std::mutex> hold(mMarkerLock);
        marker = ++mMarkersPosted;
    }
    if (!platform::PostMessage(mHwnd, WM_JOB_MARKER, static_cast<uintptr_t>(marker), 0)) {
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    std::unique_lock<std::mutex> hold(mMarkerLock);
    while (mMarkersHandled < marker) {
        if (mShuttingDown.load() || std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        mMarkerHandled.wait_for(hold, kMarkerPollPeriod);
    }
    return true;
}

void EqualizerManager::OnJobMarker(uintptr_t marker) {
    {
        std::lock_guard<std::mutex> hold(mMarkerLock);
        mMarkersHandled = std::max<uint64_t>(mMarkersHandled, marker);
    }
    mMarkerHandled.notify_all();
}

int EqualizerManager::PC_UI_Status_Init() {
    // The request list is the jobs' own, so the command-line tool reads the
    // same way; the replies reach the profile and the view as posted messages.
    PostingReport report(*this);
    bool answered = false;
    jobs::ReadWorkingState(*mDeviceLink, mJobBands, report, &answered);
    return answered ? 0 : -1;
}

void EqualizerManager::TakeJobInput(bool withScenes) {
    // The job before has posted its last message and is ending: nothing
    // reads the input while it is replaced.
    JoinJobs();
    mJobProfile = mProfile;
    mJobMainVolume = model::MainVolumeAttenuationOf(mProfile.mainVolume);
    mJobBands = jobs::BandCountsOf(mProfile);
    mJobScenes.clear();
    mJobNames.clear();
    if (withScenes) {
        mJobScenes.assign(mSceneProfiles.begin() + 1, mSceneProfiles.end());
        for (const std::u16string& name : mSceneNames) {
            mJobNames.push_back(model::SceneNameToBytes(name));
        }
    }
}

void EqualizerManager::SetCurSceneThread() {
    app::Log("SetCurSceneThread start!\n");
    PostingReport report(*this);
    const jobs::JobOutcome outcome =
        jobs::WriteCurrentProfile(*mDeviceLink, {&mJobProfile, mJobMainVolume}, report);
    app::Log("profile write-out %s\n", jobs::OutcomeName(outcome));
    PostStep(SyncStep::kLoadedProfileToView);
    Post(WM_HIDE_LOADING);
    app::Log("SetCurSceneThread end!\n");
}

void EqualizerManager::SetWholeProfileThread() {
    app::Log("SetWholeProfileThread start!\n");
    PostingReport report(*this);
    const jobs::JobOutcome outcome =
        jobs::WriteWholeConfig(*mDeviceLink, {&mJobScenes, &mJobNames},
                               {&mJobProfile, mJobMainVolume}, report, mJobWaits.afterWholeWriteMs);
    app::Log("whole configuration write-out %s\n", jobs::OutcomeName(outcome));
    PostStep(SyncStep::kLoadedProfileToView);
    if (outcome == jobs::JobOutcome::kDone) {
        jobs::CommandSteps steps(*mDeviceLink, report, 0, false);
        steps.Wait(mJobWaits.afterWholeLoadMs);
    }
    Post(WM_HIDE_LOADING);
    app::Log("SetWholeProfileThread end!\n");
}

void EqualizerManager::SaveWholeSceneThread() {
    app::Log("SaveWholeSceneThread start!\n");
    PostingReport report(*this);
    const jobs::JobOutcome outcome =
        jobs::ReadBackScenes(*mDeviceLink, mJobBands, report, mJobWaits.sceneReadBackMs);
    app::Log("scene read-back %s\n", jobs::OutcomeName(outcome));
    switch (outcome) {
        case jobs::JobOutcome::kDone:
            PostStep(SyncStep::kWriteWholeConfig);
            break;
        case jobs::JobOutcome::kNoAnswer:
            PostStep(SyncStep::kWholeConfigUnread);
            break;
        case jobs::JobOutcome::kDeviceGone:
        case jobs::JobOutcome::kStopped:
            // The unplug notice tells the user.
            Post(WM_HIDE_LOADING);  // a cut read-back makes no file
            break;
    }
    app::Log("SaveWholeSceneThread end!\n");
}

void EqualizerManager::SendDifferenceThread() {
    app::Log("SendDifferenceThread start!\n");
    PostingReport report(*this);
    const jobs::JobOutcome outcome = jobs::WriteProfileDifference(
        *mDeviceLink, {mJobFrom.get(), 0.0f}, {&mJobProfile, 0.0f}, report);
    app::Log("difference write-out %s\n", jobs::OutcomeName(outcome));
    Post(WM_HIDE_LOADING);
    app::Log("SendDifferenceThread end!\n");
}

}  // namespace controller
