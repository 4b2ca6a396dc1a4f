#include "jobs/scene_slot_jobs.h"

#include "app/log.h"

namespace jobs {
namespace {

bool IsSceneSlot(int scene) {
    return scene >= kFirstSceneSlot && scene <= kLastSceneSlot;
}

// A pulled cable fails every read at once; a closed link sends nothing.
bool DeviceGone(const device::DeviceLink& link) {
    return !link.IsConnected() || link.IsDeviceGone();
}

// Runs the steps in order, reporting each one done; stops before a step when
// the runner asks, and after a step when the amplifier has gone.
JobOutcome RunSteps(const device::DeviceLink& link, JobReport& report,
                    std::initializer_list<std::function<void()>> steps) {
    const int total = static_cast<int>(steps.size());
    int done = 0;
    report.Progress(done, total);
    for (const auto& step : steps) {
        if (report.StopRequested()) {
            return JobOutcome::kStopped;
        }
        if (DeviceGone(link)) {
            return JobOutcome::kDeviceGone;
        }
        step();
        if (DeviceGone(link)) {
            return JobOutcome::kDeviceGone;
        }
        report.Progress(++done, total);
    }
    return JobOutcome::kDone;
}

JobOutcome Finish(const char* job, JobOutcome outcome) {
    app::Log("%s: %s\n", job, OutcomeName(outcome));
    return outcome;
}

}  // namespace

JobOutcome SaveSceneSlot(device::DeviceLink& link, int scene, const SceneNameBytes& name,
                         JobReport& report) {
    if (!IsSceneSlot(scene)) {
        return Finish("save scene", JobOutcome::kStopped);
    }
    const auto slot = static_cast<uint8_t>(scene);
    return Finish("save scene",
                  RunSteps(link, report,
                           {[&] { link.SetSceneName(slot, name.data(), kSceneNameBytes); },
                            [&] { link.SaveScene(slot, 0); }}));
}

JobOutcome LoadSceneSlot(device::DeviceLink& link, int scene,
                         const WorkingStateRead& readWorkingState, JobReport& report) {
    if (!IsSceneSlot(scene)) {
        return Finish("load scene", JobOutcome::kStopped);
    }
    const auto slot = static_cast<uint8_t>(scene);
    return Finish("load scene", RunSteps(link, report,
                                         {[&] { link.ReadScene(slot, 0); },
                                          [&] {
                                              if (readWorkingState) {
                                                  readWorkingState();
                                              }
                                          }}));
}

JobOutcome DeleteSceneSlot(device::DeviceLink& link, int scene, JobReport& report) {
    if (!IsSceneSlot(scene)) {
        return Finish("delete scene", JobOutcome::kStopped);
    }
    const auto slot = static_cast<uint8_t>(scene);
    return Finish("delete scene", RunSteps(link, report, {[&] { link.DeleteScene(slot); }}));
}

}  // namespace jobs
