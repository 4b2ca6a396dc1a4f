// The latency recorder: makes each change inside its timing, checks the
// frames the amplifier received for it, and keeps the figures of every
// window of kSampleEvery changes and of the whole run by kind.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "bench/soak/change_kind.h"
#include "bench/soak/latency_statistics.h"
#include "bench/soak/readings.h"
#include "bench/soak/soak_plan.h"
#include "bench/soak/soak_rig.h"

namespace soak {

// One row of the table: a window of kSampleEvery changes.
struct Sample {
    int changes = 0;
    long rssKiB = 0;
    size_t queueDepth = 0;
    size_t queueMax = 0;
    double p50Us = 0;
    double p99Us = 0;
    double maxUs = 0;
    int offCount = 0;  // changes that did not send exactly one frame, or sent another one
    int strays = 0;    // actions that should have sent nothing and did
    double load = 0;   // the machine's one-minute load average
};

class ChangeRecorder {
public:
    explicit ChangeRecorder(SoakRig& rig) : mRig(rig) {}

    // Changes made back to back: counted, never waited for.
    void StartBurst(int changes);
    // Changes paced, timed and sampled.
    void StartSoak(int changes);
    bool Finished() const { return mDone >= mTarget; }
    int Remaining() const { return mTarget - mDone; }

    // A change that sends one frame of `key`: timed from the controller call
    // to the frame's arrival at the amplifier.
    template <typename Action>
    void Timed(Kind kind, uint32_t key, Action&& action) {
        const Start start = Begin();
        action();
        End(kind, key, start);
    }

    // An action that must send nothing: a chart move held back, a slider's
    // release at its last value, a click on an output.
    template <typename Action>
    void Quiet(Action&& action) {
        const uint64_t before = mRig.Probe().reports.load(std::memory_order_acquire);
        mRig.Deliver(action);
        CheckQuiet(before);
    }

    static void PrintHeading();
    size_t BurstQueueMax() const { return mBurstQueueMax; }
    const std::vector<Sample>& Samples() const { return mSamples; }
    const LatencyHistogram& ByKind(int kind) const { return mByKind[static_cast<size_t>(kind)]; }

private:
    struct Start {
        uint64_t reports = 0;
        int64_t ns = 0;
    };
    Start Begin();
    void End(Kind kind, uint32_t key, const Start& start);
    void AwaitWrite(Kind kind, uint32_t key, const Start& start, size_t depth);
    void CheckQuiet(uint64_t before);
    void TakeSample();
    void ClearWindow();

    SoakRig& mRig;
    bool mPaced = false;
    int mDone = 0;
    int mTarget = 0;
    size_t mBurstQueueMax = 0;
    std::vector<int64_t> mWindow = std::vector<int64_t>(kSampleEvery);  // cleared before use
    size_t mWindowQueueMax = 0;
    int mWindowOff = 0;
    int mWindowStrays = 0;
    std::array<LatencyHistogram, kKinds> mByKind;
    std::vector<Sample> mSamples;
};

}  // namespace soak
