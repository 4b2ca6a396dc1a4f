#include "bench/soak/change_recorder.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "device/device_link.h"

namespace soak {

namespace {

// Only a fault makes a change wait this long for its write.
constexpr std::chrono::milliseconds kWriteLimit{2000};

}  // namespace

void ChangeRecorder::StartBurst(int changes) {
    mPaced = false;
    mDone = 0;
    mTarget = changes;
    mBurstQueueMax = 0;
}

void ChangeRecorder::StartSoak(int changes) {
    mPaced = true;
    mDone = 0;
    mTarget = changes;
    ClearWindow();
    mSamples.reserve(static_cast<size_t>(changes / kSampleEvery));
}

ChangeRecorder::Start ChangeRecorder::Begin() {
    mRig.Manager().History().BeforeNotification();
    const uint64_t before = mRig.Probe().reports.load(std::memory_order_acquire);
    if (mPaced) {
        mRig.Probe().Arm();
    }
    return {before, NowNs()};
}

void ChangeRecorder::End(Kind kind, uint32_t key, const Start& start) {
    const size_t depth = mRig.Manager().Link().CmdQueueDepth();
    mRig.Manager().History().AfterNotification();
    ++mDone;
    if (!mPaced) {
        mBurstQueueMax = std::max(mBurstQueueMax, depth);
        mRig.Pump();
        return;
    }
    AwaitWrite(kind, key, start, depth);
    if (mDone % kSampleEvery == 0) {
        TakeSample();
    }
}

// One change in flight: waits for its write and counts it in the window
// when it was exactly one frame of `key`.
void ChangeRecorder::AwaitWrite(Kind kind, uint32_t key, const Start& start, size_t depth) {
    WriteProbe& probe = mRig.Probe();
    mWindowQueueMax = std::max(mWindowQueueMax, depth);
    const bool idle = mRig.Manager().Link().WaitCmdQueueIdle(kWriteLimit);
    mRig.Pump();
    const uint64_t frames = probe.reports.load(std::memory_order_acquire) - start.reports;
    const int64_t arrived = probe.first.load(std::memory_order_acquire);
    if (!idle || frames != 1 || arrived == 0 ||
        probe.firstKey.load(std::memory_order_relaxed) != key) {
        ++mWindowOff;
        probe.armed.store(false);
    } else {
        mWindow.push_back(arrived - start.ns);
        mByKind[static_cast<size_t>(kind)].Add(arrived - start.ns);
    }
}

void ChangeRecorder::CheckQuiet(uint64_t before) {
    if (!mPaced) {
        return;
    }
    device::DeviceLink& link = mRig.Manager().Link();
    if (!link.IsCmdQueueIdle()) {
        link.WaitCmdQueueIdle(kWriteLimit);
        mRig.Pump();
    }
    if (mRig.Probe().reports.load(std::memory_order_acquire) != before) {
        ++mWindowStrays;
    }
}

void ChangeRecorder::PrintHeading() {
    std::printf("\n%8s %10s %6s %10s %9s %9s %9s %9s %7s %6s\n", "changes", "RSS KiB", "queue",
                "queue max", "p50 us", "p99 us", "max us", "frames!=1", "strays", "load");
}

void ChangeRecorder::TakeSample() {
    Sample s;
    s.changes = mDone;
    s.rssKiB = ResidentKiB();
    s.queueDepth = mRig.Manager().Link().CmdQueueDepth();
    s.queueMax = mWindowQueueMax;
    std::sort(mWindow.begin(), mWindow.end());
    s.p50Us = PercentileUs(mWindow, 0.50);
    s.p99Us = PercentileUs(mWindow, 0.99);
    s.maxUs = mWindow.empty() ? 0.0 : static_cast<double>(mWindow.back()) / 1000.0;
    s.offCount = mWindowOff;
    s.strays = mWindowStrays;
    s.load = OneMinuteLoad();
    std::printf("%8d %10ld %6zu %10zu %9.1f %9.1f %9.1f %9d %7d %6.2f\n", s.changes, s.rssKiB,
                s.queueDepth, s.queueMax, s.p50Us, s.p99Us, s.maxUs, s.offCount, s.strays, s.load);
    std::fflush(stdout);
    mSamples.push_back(s);
    ClearWindow();
}

void ChangeRecorder::ClearWindow() {
    mWindow.clear();
    mWindowQueueMax = 0;
    mWindowOff = 0;
    mWindowStrays = 0;
}

}  // namespace soak
