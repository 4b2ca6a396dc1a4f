// A device link on a virtual amplifier, a report that records what a job
// told it, and a profile whose every output differs from the amplifier's.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <utility>
#include <vector>

#include "device/packet.h"
#include "device/tests/link_fixture.h"
#include "jobs/job_report.h"
#include "model/profile.h"
#include "testkit/sent_frames.h"
#include "testkit/wait.h"

namespace test_support {

class RecordingReport final : public jobs::JobReport {
public:
    void Progress(int done, int total) override {
        std::lock_guard<std::mutex> hold(mLock);
        mProgress.emplace_back(done, total);
        if (done == mStopAt) {
            mStop = true;  // the runner asks for a stop once this step is behind
        }
    }
    bool StopRequested() const override { return mStop.load(); }
    bool WaitRepliesApplied(int) override {
        ++mWaits;
        return mRepliesApplied;
    }
    std::vector<std::pair<int, int>> ProgressSeen() {
        std::lock_guard<std::mutex> hold(mLock);
        return mProgress;
    }

    std::atomic<bool> mStop{false};
    int mStopAt = -1;
    std::atomic<int> mWaits{0};
    bool mRepliesApplied = true;

private:
    std::mutex mLock;
    std::vector<std::pair<int, int>> mProgress;
};

using testkit::SentFrame;

class JobTest : public LinkFixture {
protected:
    std::vector<SentFrame> Sent() const { return testkit::SentFrames(*mAmplifier); }
    std::vector<SentFrame> SentOf(uint8_t type, uint8_t sub, uint8_t operation) const {
        return testkit::SentFramesOf(*mAmplifier, type, sub, operation);
    }
    bool WaitQueueIdle() { return testkit::WaitQueueDrained(mLink); }

    RecordingReport mReport;
};

// Every output with its own trim, delay, type, crossover and bands; routing,
// mixer volumes and cross-source rows of every source set apart from the
// amplifier's defaults. `seed` makes profiles of different scenes differ.
inline model::Profile DistinctProfile(int seed) {
    model::Profile p;
    p.source = 4;
    p.mainVolumeMute = 1;
    for (int c = 0; c < 10; ++c) {
        model::Channel& ch = p.channels[c];
        ch.gain = -static_cast<float>((c + seed) % 20 + 1);
        ch.delay = 0.5f * static_cast<float>(c + seed);
        ch.mute = (c + seed) % 2;
        ch.phase = (c + seed + 1) % 2;
        ch.bypass = c % 3 == 0;
        ch.crossover.hp = {100 + 10 * c + seed, 2, 3, 0};
        ch.crossover.lp = {5000 + 100 * c + seed, 1, 2, 0};
        p.outputs[c] = 1 + (c + seed) % 20;
        model::EqBand* bands = p.eqArray(c);
        for (int b = 0; b < p.bandCount(c); ++b) {
            bands[b].eqGain = static_cast<float>((b + c + seed) % 7 - 3);
            bands[b].freq = 100 + 50 * b + seed;
            bands[b].eqFactor = 1.5f;
        }
    }
    for (int s = 0; s < model::kSourceCount; ++s) {
        for (int o = 0; o < 10; ++o) {
            p.inputs[s][o] = 1 + (s + o + seed) % 3;
            for (int r = 0; r < 10; ++r) {
                p.inputMixVolume[s][r][o] = (s + r + o + seed) % 90 + 5;
            }
        }
        const int own = model::Profile::inputChannelCount(s);
        for (int k = 0; k < 2; ++k) {
            p.csmViceSource[s][own + k] = 81 + (s + k + seed) % 9;
            p.csmViceCh[s][own + k] = (k + seed) % 4;
        }
    }
    return p;
}

}  // namespace test_support
