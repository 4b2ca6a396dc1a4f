#include "jobs/profile_writeout.h"

#include <cstdint>
#include <vector>

#include "app/log.h"
#include "app/model_cfg.h"
#include "jobs/output_range.h"
#include "jobs/writeout_parts.h"

namespace jobs {
namespace {

using device::DeviceLink;

constexpr uint8_t kSaveFromSentValues = 1;

void SendWorkingState(CommandSteps& steps, const WorkingState& state, bool everySourceRouting) {
    const model::Profile& p = *state.profile;
    // The device keeps a volume per source: it goes onto the profile's source
    // first, so the volume below is the one that source plays at.
    SendSourceSwitch(steps, p);
    SendMainVolume(steps, state.mainVolumeAttenuation);
    SendMainMute(steps, p);
    for (int c = 0; c < ModelOutputs(); ++c) {
        SendCrossoverAndBands(steps, p, 0, c);
    }
    SendOutputSwitches(steps, p, 0);
    if (everySourceRouting) {
        for (int s = 0; s < model::kSourceCount; ++s) {
            SendRouting(steps, p, 0, s);
        }
    } else if (p.source >= 0 && p.source < model::kSourceCount) {
        SendRouting(steps, p, 0, p.source);
    }
    if (app::CurrentModelCfg().mENABLE_INPUT_MIXER) {
        for (int s = 0; s < model::kSourceCount; ++s) {
            if (HasMixer(s)) {
                WriteMixer(steps, p, model::Profile::inputChannelCount(s), s);
            }
        }
    }
}

// One stored scene: everything addressed to it, its name, then the save of
// the slot from the values just sent. A scene carries no split cross-source
// channels and no cross-source commands.
void SendStoredScene(CommandSteps& steps, const model::Profile& q, const model::SceneName& name,
                     int scene) {
    if (!steps.Counting()) {
        app::Log("set scene(%d)\n", scene);
    }
    for (int c = 0; c < ModelOutputs(); ++c) {
        SendCrossoverAndBands(steps, q, scene, c);
    }
    SendOutputSwitches(steps, q, scene);
    if (q.source >= 0 && q.source < model::kSourceCount) {
        SendRouting(steps, q, scene, q.source);
    }
    if (app::CurrentModelCfg().mENABLE_INPUT_MIXER) {
        for (int s = 0; s < model::kSourceCount; ++s) {
            for (int r = 0; r < model::Profile::inputChannelCount(s); ++r) {
                SendInputVolumes(steps, q, scene, s, r, EveryOutput());
            }
        }
    }
    steps.Send([&, scene](DeviceLink& l) {
        return l.SetSceneName(Byte(scene), name.data(), static_cast<uint8_t>(name.size()));
    });
    steps.Send([scene](DeviceLink& l) { return l.SaveScene(Byte(scene), kSaveFromSentValues); });
}

void DescribeCurrentProfile(CommandSteps& steps, const WorkingState& state) {
    SendWorkingState(steps, state, false);
}

void DescribeWholeConfig(CommandSteps& steps, const StoredScenes& scenes,
                         const WorkingState& state) {
    for (int k = 1; k <= model::kStoredScenes; ++k) {
        SendStoredScene(steps, (*scenes.profiles)[static_cast<size_t>(k - 1)],
                        (*scenes.names)[static_cast<size_t>(k - 1)], k);
    }
    SendWorkingState(steps, state, true);
}

}  // namespace

void WriteMixer(CommandSteps& steps, const model::Profile& p, int inputs, int source) {
    if (!steps.Counting()) {
        app::Log("%s\n", "EqualizerManager::SetMixerToMCU");
    }
    if (inputs < 1) {
        return;
    }
    for (int i = 0; i < MixerRows(inputs); ++i) {
        SendInputVolumes(steps, p, 0, source, i, EveryOutput());
    }
    SendInputPhases(steps, p, source, {0, inputs - 1});
    for (int j = 0; j < 2; ++j) {
        QueueCrossSourceRow(steps, p, source, CrossSourceRow(inputs, j));
    }
}

int CountCurrentProfile(const WorkingState& state) {
    CommandSteps counting;
    DescribeCurrentProfile(counting, state);
    return counting.Count();
}

int CountWholeConfig(const StoredScenes& scenes, const WorkingState& state) {
    CommandSteps counting;
    DescribeWholeConfig(counting, scenes, state);
    return counting.Count();
}

JobOutcome WriteCurrentProfile(DeviceLink& link, const WorkingState& state, JobReport& report) {
    app::Log(">%s\n", "EqualizerManager::SetReadCurProfileToMCU");
    CommandSteps steps(link, report, CountCurrentProfile(state), true);
    DescribeCurrentProfile(steps, state);
    app::Log("<%s\n", "EqualizerManager::SetReadCurProfileToMCU");
    return steps.Outcome();
}

JobOutcome WriteWholeConfig(DeviceLink& link, const StoredScenes& scenes, const WorkingState& state,
                            JobReport& report, int settleMs) {
    app::Log("%s\n", "EqualizerManager::SetReadWholeProfileToMCU");
    CommandSteps steps(link, report, CountWholeConfig(scenes, state), true);
    DescribeWholeConfig(steps, scenes, state);
    steps.Wait(settleMs);
    return steps.Outcome();
}

}  // namespace jobs
