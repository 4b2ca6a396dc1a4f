// Feeds arbitrary bytes to both profile readers. A refused input must leave
// the profiles exactly as they were; an accepted one must print again and
// read back to the same profile.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>
#include <vector>

#include "model/profile_file.h"
#include "model/profile_json.h"

namespace {

// Everything a reader may write. The response caches are left out: they are
// large, never read from files, and comparing them would dominate each run.
bool sameStoredState(const model::Profile& a, const model::Profile& b) {
    return a.source == b.source && a.mainVolume == b.mainVolume && a.acc == b.acc &&
           a.subVolume == b.subVolume && a.mainVolumeMute == b.mainVolumeMute &&
           a.channels == b.channels && a.eqBands == b.eqBands && a.inputs == b.inputs &&
           a.inputMixVolume == b.inputMixVolume && a.csmViceSource == b.csmViceSource &&
           a.csmViceCh == b.csmViceCh && a.csmViceGain == b.csmViceGain && a.outputs == b.outputs &&
           a.outputs_bk == b.outputs_bk && a.linkOutputs == b.linkOutputs &&
           a.bridgeOutputs == b.bridgeOutputs && a.showOutChEqualizer == b.showOutChEqualizer &&
           a.currOutChannel == b.currOutChannel && a.linkMode == b.linkMode &&
           a.lockMode == b.lockMode && a.inMixPhase == b.inMixPhase &&
           a.inputThreshold == b.inputThreshold && a.powerOffDelay == b.powerOffDelay;
}

struct Targets {
    model::Profile live;
    std::vector<model::Profile> scenes = std::vector<model::Profile>(model::kStoredScenes);
    std::array<model::SceneName, model::kStoredScenes> names{};

    std::span<model::Profile, model::kStoredScenes> sceneSpan() {
        return std::span<model::Profile, model::kStoredScenes>(scenes.data(), model::kStoredScenes);
    }
    bool sameAs(const Targets& other) const {
        for (int i = 0; i < model::kStoredScenes; ++i) {
            if (!sameStoredState(scenes[i], other.scenes[i])) {
                return false;
            }
        }
        return sameStoredState(live, other.live) && names == other.names;
    }
};

void check(bool ok) {
    if (!ok) {
        std::abort();
    }
}

// The targets live for the whole run: allocating fresh profiles for every
// input would cost more than the parsing under test.
void fuzzSceneProfile(model::ProfileFile& file, std::string_view text) {
    static const model::Profile fresh;
    static model::Profile profile;
    static model::Profile again;
    if (!file.readSceneProfileText(text, profile, true)) {
        check(sameStoredState(profile, fresh));
        return;
    }
    check(file.readSceneProfileText(model::sceneProfileText(profile), again, true));
    check(sameStoredState(again, profile));
    profile = fresh;
}

void fuzzWholeConfig(model::ProfileFile& file, std::string_view text) {
    static const Targets fresh;
    static Targets targets;
    if (!file.readWholeConfigText(text, targets.live, targets.sceneSpan(), targets.names)) {
        check(targets.sameAs(fresh));
        return;
    }
    targets = fresh;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    model::ProfileFile file;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    fuzzSceneProfile(file, text);
    fuzzWholeConfig(file, text);
    return 0;
}
