#include "bench/soak/soak.h"

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdio>

#include "app/model_cfg.h"
#include "bench/soak/readings.h"
#include "bench/soak/soak_plan.h"
#include "bench/soak/soak_report.h"

namespace soak {

namespace {

// What a burst shows of the link keeping up.
struct BurstFigures {
    int changes = 0;
    bool usbPaced = false;
    double madeMs = 0;
    double lastWriteMs = 0;
    uint64_t frames = 0;
    bool drained = false;
    size_t queueMax = 0;
    size_t queuedAtEnd = 0;
    long rssBefore = 0;
    long rssAtEnd = 0;
};

void PrintBurst(const BurstFigures& b) {
    std::printf(
        "burst, amplifier %s: %d changes made in %.1f ms (%.0f/s); the amplifier had all %llu "
        "frames %.1f ms after the first change (%.0f/s)%s\n",
        b.usbPaced ? "paced as USB full speed" : "unpaced", b.changes, b.madeMs,
        b.changes / b.madeMs * 1000.0, static_cast<unsigned long long>(b.frames), b.lastWriteMs,
        static_cast<double>(b.frames) / b.lastWriteMs * 1000.0,
        b.drained ? "" : ", queue not drained after 60 s");
    std::printf(
        "  queue depth peaked at %zu, %zu at the last change; RSS %ld KiB before, %ld KiB at "
        "the last change\n",
        b.queueMax, b.queuedAtEnd, b.rssBefore, b.rssAtEnd);
    // Keeping up: what is queued at the end is a few commands, not a
    // share of every change made.
    if (b.queuedAtEnd > 64) {
        std::printf(
            "  finding: the user-interface thread outruns the link; the queue grows by "
            "about %.0f %% of the changes made, without bound while the changes go on\n",
            100.0 * static_cast<double>(b.queuedAtEnd) / b.changes);
    }
}

}  // namespace

bool Soak::Prepare() {
    const model::Profile& p = mRig.Manager().WorkingProfile();
    if (!PickOutputs(p, app::CurrentModelCfg().mOUT_CHANNEL_NUMBER, mTargets)) {
        return false;
    }
    PrepareEq();
    return PrepareMixer() && mRig.Settle();
}

void Soak::PrepareEq() {
    controller::EqualizerManager& manager = mRig.Manager();
    // Dragging on the chart moves frequency and gain in PEQ mode only.
    if (!manager.IsPeqMode()) {
        mRig.Deliver([&] { manager.TogglePeqMode(); });
    }
    mRig.Deliver([&] { manager.SetCurChannelChange(mTargets.eqChannels.front()); });
    // The chart drags keep each band near where the tune has it.
    mChartDrags.KeepNear(mTargets.eqChannels.front());
}

// The mixer window of the current source, its sliders 0..100 as its layout
// gives them. Its one-second clip-lamp poll is not run: those requests are
// no changes and would come between the timed frames.
bool Soak::PrepareMixer() {
    const model::Profile& p = mRig.Manager().WorkingProfile();
    const int outputs = app::CurrentModelCfg().mOUT_CHANNEL_NUMBER;
    mRig.OpenMixer(p.source);
    controller::Mixer& mixer = mRig.Mixer();
    const int rows = std::min(mixer.InputCount(), 4);
    for (int output = 0; output < mixer.ColumnCount() && output < outputs; ++output) {
        for (int row = 0; row < controller::kMixerRows; ++row) {
            mRig.MixerSlider(output, row).SetRange(0, 100);
        }
        if (p.bridgeOutputs[static_cast<size_t>(output / 2)] != 0) {
            continue;
        }
        for (int row = 0; row < rows; ++row) {
            mTargets.mixerPoints.push_back({row, output});
        }
    }
    mixer.Fill();
    if (mTargets.mixerPoints.empty()) {
        std::fprintf(stderr, "the mixer has no point to move\n");
        return false;
    }
    // A point switched on sends its mask too: switch every point the soak
    // moves on first.
    mMixerDrags.SwitchOn();
    return true;
}

void Soak::Burst(int changes, bool usbPaced) {
    virtual_device::VirtualAmplifier& amplifier = mRig.Amplifier();
    WriteProbe& probe = mRig.Probe();
    device::DeviceLink& link = mRig.Manager().Link();
    amplifier.SetPacing(usbPaced);
    BurstFigures b;
    b.changes = changes;
    b.usbPaced = usbPaced;
    b.rssBefore = ResidentKiB();
    mRecorder.StartBurst(changes);
    const uint64_t reportsBefore = probe.reports.load();
    const int64_t start = NowNs();
    while (!mRecorder.Finished()) {
        Cycle();
    }
    const int64_t made = NowNs();
    b.queuedAtEnd = link.CmdQueueDepth();
    b.rssAtEnd = ResidentKiB();
    b.drained = link.WaitCmdQueueIdle(std::chrono::seconds(60));
    mRig.Pump();
    b.madeMs = static_cast<double>(made - start) / 1e6;
    b.lastWriteMs = static_cast<double>(probe.last.load() - start) / 1e6;
    b.frames = probe.reports.load() - reportsBefore;
    b.queueMax = mRecorder.BurstQueueMax();
    PrintBurst(b);
    amplifier.SetPacing(false);
    mRig.Settle();
}

void Soak::Run() {
    mRecorder.StartSoak(kChanges);
    // The chart sends a move when its last send is 500 ms old; after the
    // settling above it is, so one drag opens the window before timing.
    mChartDrags.Prime();
    mReportsAtStart = mRig.Probe().reports.load();
    ChangeRecorder::PrintHeading();
    while (!mRecorder.Finished()) {
        Cycle();
    }
    mReportsAtEnd = mRig.Probe().reports.load();
}

bool Soak::Report(double seconds) const {
    return PrintReport(mRecorder, mReportsAtEnd - mReportsAtStart, seconds);
}

void Soak::Cycle() {
    const int eqChannel =
        mTargets.eqChannels[static_cast<size_t>(mCycles % mTargets.eqChannels.size())];
    mRecorder.Quiet([&] { mRig.Manager().SetCurChannelChange(eqChannel); });
    for (int i = 0; i < 4; ++i) {
        mTrims.Make();
    }
    mDelays.Make();
    mBandSliders.Make();
    for (int i = 0; i < 4; ++i) {
        mChartDrags.Make();
    }
    mMixerDrags.Make();
    ++mCycles;
}

}  // namespace soak
