#include "jobs/state_readback.h"

#include <algorithm>
#include <cstdint>

#include "app/log.h"
#include "app/model_cfg.h"
#include "jobs/output_range.h"

namespace jobs {
namespace {

using device::ChannelRange;
using device::DeviceLink;

constexpr int kFilterBlock = 4;
constexpr int kBandBlock = 7;
constexpr int kMixBlock = 8;
constexpr int kWideInputs = 17;
constexpr uint8_t kReadBackSecondByte = 255;
constexpr uint8_t kKtvValues = 10;

const app::ModelCfg& Cfg() {
    return app::CurrentModelCfg();
}

// The filter requests cover four outputs each; the last block may run past
// the last output, as the device expects.
void RequestFilters(CommandSteps& steps, int scene) {
    for (int first = 0; first < ModelOutputs(); first += kFilterBlock) {
        steps.Send([scene, first](DeviceLink& l) {
            return l.Get_Filter({Byte(scene), 0, Byte(first), Byte(first + kFilterBlock - 1)});
        });
    }
}

void RequestBands(CommandSteps& steps, int scene, const BandCounts& bands) {
    for (int c = 0; c < ModelOutputs(); ++c) {
        const int count = bands[static_cast<size_t>(c)];
        for (int first = 0; first < count; first += kBandBlock) {
            const int last = std::min(first + kBandBlock - 1, count - 1);
            steps.Send([=](DeviceLink& l) {
                return l.Get_EQ(Byte(scene), 0, Byte(c), Byte(first), Byte(last));
            });
        }
    }
}

void RequestRouting(CommandSteps& steps, int scene) {
    for (int s = 0; s < model::kSourceCount; ++s) {
        if (Cfg().mMAX_INPUT_CHANNEL_NUMBER < kWideInputs) {
            steps.Send([=](DeviceLink& l) { return l.Get_Mix_Ch(AllOutputs(scene, s)); });
            continue;
        }
        for (int first = 0; first < ModelOutputs(); first += kMixBlock) {
            const int last = std::min(first + kMixBlock, ModelOutputs()) - 1;
            steps.Send([=](DeviceLink& l) {
                return l.Get_Mix_Ch({Byte(scene), Byte(s), Byte(first), Byte(last)});
            });
        }
    }
}

// The mixer volumes of every input of every source, with the split
// cross-source channels after each source's own inputs.
void RequestInputVolumes(CommandSteps& steps, int scene) {
    if (!Cfg().mENABLE_INPUT_MIXER) {
        return;
    }
    for (int s = 0; s < model::kSourceCount; ++s) {
        int inputs = model::Profile::inputChannelCount(s);
        if (Cfg().mENABLE_SPLIT_CROSS_SOURCE_MIX) {
            inputs += Cfg().mSPLIT_CROSS_SOURCE_MIX_CH;
        }
        for (int r = 0; r < inputs; ++r) {
            steps.Send([=](DeviceLink& l) {
                return l.Get_Input_Mix_CH_Trim(Byte(scene), Byte(s), Byte(r), 0,
                                               Byte(ModelOutputs() - 1));
            });
        }
    }
}

// The cross-source channels. Split ones are rows I + k of a source with I
// inputs (k = 0, 1), as the write-outs and the mixer keep them; without the
// split every input of a source has its own.
void RequestCrossSource(CommandSteps& steps, int scene) {
    const app::ModelCfg& cfg = Cfg();
    if (!cfg.mENABLE_CROSS_SOURCE_MIX && cfg.mSPLIT_CROSS_SOURCE_MIX_CH <= 0) {
        return;
    }
    for (int s = 0; s < model::kSourceCount; ++s) {
        const int own = model::Profile::inputChannelCount(s);
        const bool split = cfg.mENABLE_SPLIT_CROSS_SOURCE_MIX;
        const int first = split ? own : 0;
        const int count = split ? cfg.mSPLIT_CROSS_SOURCE_MIX_CH : own;
        for (int r = first; r < first + count; ++r) {
            steps.Send([=, &cfg](DeviceLink& l) {
                return cfg.mMXIER_CMD_FORMAT_CS47048
                           ? l.Get_Mix_Source2_CS47048(Byte(scene), Byte(s), Byte(r))
                           : l.Get_Mix_Source2(Byte(scene), Byte(s), Byte(r));
            });
        }
    }
}

// The compressors of the types the model has: the first type in blocks of
// four outputs, the on/off switches, the second type one output at a time.
void RequestCompressors(CommandSteps& steps, int scene) {
    const app::ModelCfg& cfg = Cfg();
    if (cfg.mENABLE_COMPRESSOR) {
        for (int first = 0; first < ModelOutputs(); first += kFilterBlock) {
            steps.Send([scene, first](DeviceLink& l) {
                return l.Get_Compressor(
                    {Byte(scene), 0, Byte(first), Byte(first + kFilterBlock - 1)});
            });
        }
    }
    if (cfg.mENABLE_COMPRESSOR_ON) {
        steps.Send([scene](DeviceLink& l) { return l.Get_Compressor_Ch_On(AllOutputs(scene)); });
    }
    if (cfg.mENABLE_COMPRESSOR2) {
        for (int c = 0; c < ModelOutputs(); ++c) {
            steps.Send([scene, c](DeviceLink& l) {
                return l.Get_Compressor2({Byte(scene), 0, Byte(c), Byte(c)});
            });
        }
    }
}

void RequestSceneNames(CommandSteps& steps) {
    for (int k = 1; k <= model::kStoredScenes; ++k) {
        steps.Send([k](DeviceLink& l) { return l.Get_Scene_Name(Byte(k)); });
    }
}

}  // namespace

BandCounts BandCountsOf(const model::Profile& profile) {
    BandCounts counts{};
    for (int c = 0; c < model::kChannelRecords; ++c) {
        counts[static_cast<size_t>(c)] = profile.bandCount(c);
    }
    return counts;
}

void RequestWorkingState(CommandSteps& steps, const BandCounts& bands) {
    const app::ModelCfg& cfg = Cfg();
    const ChannelRange all = AllOutputs(0);
    for (bool (DeviceLink::*request)() :
         {&DeviceLink::Get_Source, &DeviceLink::Get_Main_Volume, &DeviceLink::Get_Acc,
          &DeviceLink::Get_Usb_Power_Pin, &DeviceLink::Get_Subwoofer_Volume, &DeviceLink::Get_Mute,
          &DeviceLink::Get_Amp_Mute, &DeviceLink::Get_Rem_Out, &DeviceLink::Get_Spk_Ohm,
          &DeviceLink::Get_Spk_Ohm13_21, &DeviceLink::Get_Noise_Gate,
          &DeviceLink::Get_Noise_Gate_Gain, &DeviceLink::Get_Noise_Gate_Threshold,
          &DeviceLink::Get_Speaker_Config, &DeviceLink::Get_Scene_Valid}) {
        steps.Send([request](DeviceLink& l) { return (l.*request)(); });
    }
    steps.Send([&](DeviceLink& l) { return l.Get_Delay(all); });
    steps.Send([&](DeviceLink& l) { return l.Get_CH_Type(all); });
    steps.Send([&](DeviceLink& l) { return l.Get_Ch_Solo(all); });
    steps.Send([](DeviceLink& l) { return l.Get_CH_Link(0); });
    steps.Send([](DeviceLink& l) { return l.Get_CH_Lock(0); });
    RequestFilters(steps, 0);
    RequestCompressors(steps, 0);
    if (cfg.mENABLE_AUTO_ON) {
        steps.Send([](DeviceLink& l) { return l.Get_AUTO_ON(); });
    }
    steps.Send([&](DeviceLink& l) { return l.Get_PEQ_Bypass(all); });
    RequestBands(steps, 0, bands);
    steps.Send([&](DeviceLink& l) { return l.Get_Trim(all); });
    steps.Send([&](DeviceLink& l) { return l.Get_Mute_Ch(all); });
    steps.Send([&](DeviceLink& l) { return l.Get_Phase(all); });
    steps.Send([&](DeviceLink& l) { return l.Get_Ch_Solo(all); });
    RequestRouting(steps, 0);
    RequestInputVolumes(steps, 0);
    RequestCrossSource(steps, 0);
    if (cfg.mENABLE_NOISE_THRESHOLD || cfg.mENABLE_NOISE_SWITCH) {
        steps.Send([](DeviceLink& l) { return l.Get_Input_Threshold(0, 0, true); });
    }
    if (cfg.mENABLE_POWEROFF_DELAY) {
        steps.Send([](DeviceLink& l) { return l.Get_Delay_Power_Off_Time(); });
    }
    // All ten karaoke values: the tone gains too, or the karaoke window
    // would show defaults the amplifier does not play.
    if (cfg.mENABLE_KTV) {
        for (uint8_t sub = 1; sub <= kKtvValues; ++sub) {
            steps.Send([sub](DeviceLink& l) { return l.KTV_Get(sub); });
        }
    }
    RequestSceneNames(steps);
    steps.Send([](DeviceLink& l) { return l.Get_Ouput_Bridge(0, 0, Byte(ModelOutputs() / 2)); });
}

JobOutcome ReadWorkingState(DeviceLink& link, const BandCounts& bands, JobReport& report,
                            bool* handshakeAnswered) {
    app::Log("PC_UI_Status_Init\n");
    if (handshakeAnswered != nullptr) {
        *handshakeAnswered = false;
    }
    if (LinkGone(link)) {
        return JobOutcome::kDeviceGone;
    }
    link.PC_Connect(1);
    if (!link.Hand_Connect()) {
        return LinkGone(link) ? JobOutcome::kDeviceGone : JobOutcome::kNoAnswer;
    }
    if (handshakeAnswered != nullptr) {
        *handshakeAnswered = true;
    }
    if (!link.IsMcuNormalMode()) {
        // A device in its upgrade program answers no parameter request; the
        // link has told the windows and the update takes over.
        return JobOutcome::kDone;
    }
    if (link.ModelId() != Cfg().mFw_Model_ID && !Cfg().mNO_CHECK_ID) {
        return JobOutcome::kDone;  // the handshake's handler tells the user
    }
    CommandSteps counting;
    RequestWorkingState(counting, bands);
    CommandSteps steps(link, report, counting.Count(), false);
    RequestWorkingState(steps, bands);
    if (steps.Outcome() == JobOutcome::kDone) {
        app::Log("PC_UI_Status_Init done\n");
    }
    if (steps.Outcome() == JobOutcome::kDone && steps.Unanswered() > 0) {
        app::Log("%d requests of the read went unanswered\n", steps.Unanswered());
        return JobOutcome::kNoAnswer;
    }
    return steps.Outcome();
}

void ReadStoredScene(CommandSteps& steps, int scene, const BandCounts& bands, int settleMs) {
    if (!steps.Counting()) {
        app::Log("read scene sceneId(%d)\n", scene);
    }
    const ChannelRange all = AllOutputs(scene);
    steps.Send([scene](DeviceLink& l) { return l.ReadScene(Byte(scene), kReadBackSecondByte); });
    steps.Wait(settleMs);
    steps.Send([&](DeviceLink& l) { return l.Get_CH_Type(all); });
    steps.Send([scene](DeviceLink& l) { return l.Get_CH_Link(Byte(scene)); });
    steps.Send([scene](DeviceLink& l) { return l.Get_CH_Lock(Byte(scene)); });
    steps.Send([&](DeviceLink& l) { return l.Get_Ch_Solo(all); });
    RequestFilters(steps, scene);
    RequestCompressors(steps, scene);
    steps.Send([&](DeviceLink& l) { return l.Get_PEQ_Bypass(all); });
    RequestBands(steps, scene, bands);
    steps.Send([&](DeviceLink& l) { return l.Get_Delay(all); });
    steps.Send([&](DeviceLink& l) { return l.Get_Trim(all); });
    steps.Send([&](DeviceLink& l) { return l.Get_Mute_Ch(all); });
    steps.Send([&](DeviceLink& l) { return l.Get_Ch_Solo(all); });
    steps.Send([&](DeviceLink& l) { return l.Get_Phase(all); });
    RequestRouting(steps, scene);
    RequestInputVolumes(steps, scene);
    // The cross-source values of the scene being read, not of the working state.
    RequestCrossSource(steps, scene);
    RequestSceneNames(steps);
}

JobOutcome ReadBackScenes(DeviceLink& link, const BandCounts& bands, JobReport& report,
                          int settleMs) {
    CommandSteps steps(link, report, model::kStoredScenes, false);
    report.Progress(0, model::kStoredScenes);
    for (int k = 1; k <= model::kStoredScenes && steps.Going(); ++k) {
        ReadStoredScene(steps, k, bands, settleMs);
        if (steps.Going()) {
            report.Progress(k, model::kStoredScenes);
        }
    }
    if (steps.Outcome() == JobOutcome::kStopped) {
        // Stopped half-way, the read-back still ends as one: the amplifier
        // goes back to answering for its working state.
        if (link.IsConnected() && !link.IsDeviceGone()) {
            link.ReadScene(0, 0);
        }
        return JobOutcome::kStopped;
    }
    steps.Send([](DeviceLink& l) { return l.ReadScene(0, 0); });
    if (!steps.Going()) {
        return steps.Outcome();
    }
    if (steps.Unanswered() > 0) {
        app::Log("%d requests of the scene read-back went unanswered\n", steps.Unanswered());
        return JobOutcome::kNoAnswer;
    }
    const JobOutcome working = ReadWorkingState(link, bands, report);
    if (working != JobOutcome::kDone) {
        return working;
    }
    if (LinkGone(link)) {
        return JobOutcome::kDeviceGone;
    }
    // The replies are applied elsewhere; what was read is whole only once
    // the last of them has been.
    if (!report.WaitRepliesApplied(kRepliesAppliedTimeoutMs)) {
        return report.StopRequested() ? JobOutcome::kStopped : JobOutcome::kNoAnswer;
    }
    return JobOutcome::kDone;
}

}  // namespace jobs
