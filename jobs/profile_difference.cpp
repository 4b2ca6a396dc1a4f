#include "jobs/profile_difference.h"

#include <optional>

#include "app/model_cfg.h"
#include "jobs/output_range.h"
#include "jobs/writeout_parts.h"

namespace jobs {
namespace {

using model::Profile;

// The outputs of `within` from the first to the last for which `differs`
// holds; none when it holds for none.
template <typename Differs>
std::optional<OutputSpan> ChangedSpan(OutputSpan within, Differs differs) {
    std::optional<OutputSpan> span;
    for (int c = within.first; c <= within.last; ++c) {
        if (differs(c)) {
            span = OutputSpan{span ? span->first : c, c};
        }
    }
    return span;
}

bool ValidSource(int source) {
    return source >= 0 && source < model::kSourceCount;
}

// Switching the source brings back the volume the device keeps for it, so
// the main volume goes again after a switch.
void SendVolumeDifference(CommandSteps& steps, const WorkingState& from, const WorkingState& to) {
    const Profile& a = *from.profile;
    const Profile& b = *to.profile;
    const bool sourceSwitched = a.source != b.source && ValidSource(b.source);
    if (sourceSwitched) {
        SendSourceSwitch(steps, b);
    }
    if (sourceSwitched || from.mainVolumeAttenuation != to.mainVolumeAttenuation) {
        SendMainVolume(steps, to.mainVolumeAttenuation);
    }
    if (a.mainVolumeMute != b.mainVolumeMute) {
        SendMainMute(steps, b);
    }
}

void SendOutputDifference(CommandSteps& steps, const Profile& a, const Profile& b, int c) {
    for (CrossoverSide side : {CrossoverSide::kLowPass, CrossoverSide::kHighPass}) {
        if (CrossoverSideDiffers(a, b, c, side)) {
            SendCrossoverSide(steps, b, 0, c, side);
        }
    }
    if (b.eqArray(c) == nullptr) {
        return;
    }
    for (int band = 0; band < b.bandCount(c); ++band) {
        if (band >= a.bandCount(c) || BandDiffers(a, b, c, band)) {
            SendBand(steps, b, 0, c, band);
        }
    }
}

void SendCompressorDifference(CommandSteps& steps, const Profile& a, const Profile& b) {
    const app::ModelCfg& cfg = app::CurrentModelCfg();
    for (int c = 0; cfg.mENABLE_COMPRESSOR && c < ModelOutputs(); ++c) {
        if (CompressorDiffers(a, b, c)) {
            SendCompressor(steps, b, 0, c);
        }
    }
    if (cfg.mENABLE_COMPRESSOR_ON) {
        const auto ons = ChangedSpan(EveryOutput(), [&](int c) {
            return a.channels[c].compressorOn != b.channels[c].compressorOn;
        });
        if (ons) {
            SendCompressorOns(steps, b, 0, *ons);
        }
    }
    for (int c = 0; cfg.mENABLE_COMPRESSOR2 && c < ModelOutputs(); ++c) {
        if (Compressor2Differs(a, b, c)) {
            SendCompressor2(steps, b, 0, c);
        }
    }
}

void SendSwitchDifference(CommandSteps& steps, const Profile& a, const Profile& b) {
    for (int w = 0; w < kOutputSwitchCount; ++w) {
        const auto which = static_cast<OutputSwitch>(w);
        const auto span = ChangedSpan(EveryOutput(), [&](int c) {
            return SwitchValue(a, which, c) != SwitchValue(b, which, c);
        });
        if (span) {
            SendOutputSwitch(steps, b, 0, which, *span);
        }
    }
    SendCompressorDifference(steps, a, b);
}

// Only the routing of the profile's source is sent; after a switch what the
// device holds for the new source is not known, so all of it goes.
void SendRoutingDifference(CommandSteps& steps, const Profile& a, const Profile& b) {
    if (!ValidSource(b.source)) {
        return;
    }
    const int s = b.source;
    for (const OutputSpan& block : RoutingBlocks()) {
        const auto span = ChangedSpan(
            block, [&](int c) { return a.source != s || a.inputs[s][c] != b.inputs[s][c]; });
        if (span) {
            SendRoutingSpan(steps, b, 0, s, *span);
        }
    }
}

void SendMixerDifference(CommandSteps& steps, const Profile& a, const Profile& b, int s) {
    const int inputs = Profile::inputChannelCount(s);
    if (inputs < 1) {
        return;
    }
    for (int row = 0; row < MixerRows(inputs); ++row) {
        const auto span = ChangedSpan(EveryOutput(), [&](int c) {
            return (a.inputMixVolume[s][row][c] & 0xFF) != (b.inputMixVolume[s][row][c] & 0xFF);
        });
        if (span) {
            SendInputVolumes(steps, b, 0, s, row, *span);
        }
    }
    const auto phases = ChangedSpan(
        {0, inputs - 1}, [&](int i) { return a.inMixPhase[s][i] != b.inMixPhase[s][i]; });
    if (phases) {
        SendInputPhases(steps, b, s, *phases);
    }
    for (int j = 0; j < 2; ++j) {
        const int row = CrossSourceRow(inputs, j);
        if (CrossSourceRowDiffers(a, b, s, row)) {
            QueueCrossSourceRow(steps, b, s, row);
        }
    }
}

void DescribeDifference(CommandSteps& steps, const WorkingState& from, const WorkingState& to) {
    const Profile& a = *from.profile;
    const Profile& b = *to.profile;
    SendVolumeDifference(steps, from, to);
    for (int c = 0; c < ModelOutputs(); ++c) {
        SendOutputDifference(steps, a, b, c);
    }
    SendSwitchDifference(steps, a, b);
    SendRoutingDifference(steps, a, b);
    if (app::CurrentModelCfg().mENABLE_INPUT_MIXER) {
        for (int s = 0; s < model::kSourceCount; ++s) {
            if (HasMixer(s)) {
                SendMixerDifference(steps, a, b, s);
            }
        }
    }
}

}  // namespace

int CountProfileDifference(const WorkingState& from, const WorkingState& to) {
    if (to.profile == nullptr) {
        return 0;
    }
    if (from.profile == nullptr) {
        return CountCurrentProfile(to);
    }
    CommandSteps counting;
    DescribeDifference(counting, from, to);
    return counting.Count();
}

JobOutcome WriteProfileDifference(device::DeviceLink& link, const WorkingState& from,
                                  const WorkingState& to, JobReport& report) {
    if (to.profile == nullptr) {
        return JobOutcome::kDone;
    }
    if (from.profile == nullptr) {
        return WriteCurrentProfile(link, to, report);
    }
    CommandSteps steps(link, report, CountProfileDifference(from, to), true);
    DescribeDifference(steps, from, to);
    return steps.Outcome();
}

}  // namespace jobs
