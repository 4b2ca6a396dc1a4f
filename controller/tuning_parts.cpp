#include "controller/tuning_parts.h"

#include "jobs/profile_difference.h"

namespace controller {
namespace {

// The listening state of `from` in `to`.
void HoldListening(const model::Profile& from, model::Profile& to) {
    to.source = from.source;
    to.mainVolume = from.mainVolume;
    to.mainVolumeMute = from.mainVolumeMute;
}

jobs::WorkingState StateOf(const model::Profile& profile) {
    // Both sides carry the same main volume: undo never sends one.
    return {&profile, 0.0f};
}

}  // namespace

bool TuningDiffers(const model::Profile& a, const model::Profile& b) {
    if (a.linkGroup != b.linkGroup || a.delayLinkGroup != b.delayLinkGroup) {
        return true;
    }
    if (a.source == b.source && a.mainVolumeMute == b.mainVolumeMute) {
        return jobs::CountProfileDifference(StateOf(a), StateOf(b)) > 0;
    }
    // A source switch or a main mute: compared as if they had not happened.
    model::Profile held = b;
    HoldListening(a, held);
    return jobs::CountProfileDifference(StateOf(a), StateOf(held)) > 0;
}

void CopyTuning(const model::Profile& from, model::Profile& to) {
    to.channels = from.channels;
    to.eqBands = from.eqBands;
    to.outputs = from.outputs;
    to.outputs_bk = from.outputs_bk;
    to.showOutChEqualizer = from.showOutChEqualizer;
    to.soloChannel = from.soloChannel;
    to.inputs = from.inputs;
    to.inputMixVolume = from.inputMixVolume;
    to.inMixPhase = from.inMixPhase;
    to.csmViceSource = from.csmViceSource;
    to.csmViceCh = from.csmViceCh;
    to.csmViceGain = from.csmViceGain;
    to.linkGroup = from.linkGroup;
    to.delayLinkGroup = from.delayLinkGroup;
    to.compressorBypass = from.compressorBypass;
    to.compressorNoise = from.compressorNoise;
    to.compressorRatio = from.compressorRatio;
    to.compressorAttack = from.compressorAttack;
    to.compressorRelease = from.compressorRelease;
    to.compressorSoftKnee = from.compressorSoftKnee;
    to.currOutChannel = from.currOutChannel;
}

}  // namespace controller
