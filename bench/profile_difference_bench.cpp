// Sending the difference of two working states against the virtual amplifier
// paced as a full-speed USB interrupt endpoint (one 64-byte report per 1 ms
// frame each way): one changed band, two unrelated tunes, and the full
// write-out of the same tune for comparison. Each reports the commands sent,
// the wall time from the first command to the last answer (the queued
// cross-source commands included) and the time spent working out the
// difference alone.
#include <benchmark/benchmark.h>

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

#include "app/model_cfg.h"
#include "device/device_link.h"
#include "jobs/profile_difference.h"
#include "jobs/profile_writeout.h"
#include "model/profile.h"
#include "platform/message_post.h"
#include "virtual_device/amplifier_protocol.h"
#include "virtual_device/virtual_amplifier.h"
#include "virtual_device/virtual_hid_backend.h"

namespace {

using Clock = std::chrono::steady_clock;

class DiscardingSink final : public platform::MessageSink {
public:
    bool Post(platform::PostedMessage) override { return true; }
};

class QuietReport final : public jobs::JobReport {
public:
    void Progress(int, int) override {}
    bool WaitRepliesApplied(int) override { return true; }
};

struct Bench {
    Bench() {
        app::FillModelCfg();
        platform::SetMessageSink(std::make_shared<DiscardingSink>());
        virtual_device::ProtocolOptions options;
        options.rebootOnFactoryDefault = false;
        virtual_device::AmplifierProtocol::InstallOn(amplifier, options);
        amplifier->SetPacing(true);
        backend->Add(amplifier);
        link = std::make_unique<device::DeviceLink>(backend);
        link->SetMainWnd(1);
        link->SetModelParams(app::CurrentModelCfg());
        link->OpenHIDDevice("");
        link->EnableCmdCtrl();
    }
    ~Bench() {
        link.reset();
        platform::SetMessageSink(nullptr);
    }
    void WaitQueueIdle() const { link->WaitCmdQueueIdle(std::chrono::seconds(30)); }

    std::shared_ptr<virtual_device::VirtualHidBackend> backend =
        std::make_shared<virtual_device::VirtualHidBackend>();
    std::shared_ptr<virtual_device::VirtualAmplifier> amplifier =
        std::make_shared<virtual_device::VirtualAmplifier>(L"BENCH-DIFF");
    std::unique_ptr<device::DeviceLink> link;
};

// A tune with every output, band, routing and mixer volume of its own.
model::Profile Tune(int seed) {
    model::Profile p;
    p.source = seed % 2 == 0 ? 4 : 2;
    p.mainVolumeMute = seed % 2;
    for (int c = 0; c < app::CurrentModelCfg().mOUT_CHANNEL_NUMBER; ++c) {
        model::Channel& ch = p.channels[c];
        ch.gain = -static_cast<float>((c + seed) % 20 + 1);
        ch.delay = 0.5f * static_cast<float>(c + seed);
        ch.mute = (c + seed) % 2;
        ch.phase = (c + seed + 1) % 2;
        ch.crossover.hp = {100 + 10 * c + seed, 2, 3, 0};
        ch.crossover.lp = {5000 + 100 * c + seed, 1, 2, 0};
        p.outputs[c] = 1 + (c + seed) % 20;
        model::EqBand* bands = p.eqArray(c);
        for (int b = 0; bands != nullptr && b < p.bandCount(c); ++b) {
            bands[b].eqGain = static_cast<float>((b + c + seed) % 7 - 3);
            bands[b].freq = 100 + 50 * b + seed;
            bands[b].eqFactor = 1.5f;
        }
        for (int s = 0; s < model::kSourceCount; ++s) {
            p.inputs[s][c] = 1 + (s + c + seed) % 3;
            for (int r = 0; r < 10; ++r) {
                p.inputMixVolume[s][r][c] = (s + r + c + seed) % 90 + 5;
            }
        }
    }
    return p;
}

using Send = std::function<void(device::DeviceLink&, jobs::JobReport&)>;

// Each run starts from the amplifier holding `from` (written untimed).
void Measure(benchmark::State& state, const model::Profile& from, const Send& send,
             const std::function<int()>& count) {
    Bench bench;
    QuietReport report;
    uint64_t commands = 0;
    double wallMs = 0;
    for (auto _ : state) {
        jobs::WriteCurrentProfile(*bench.link, {&from, 6.0f}, report);
        bench.WaitQueueIdle();
        const uint64_t before = bench.amplifier->ReceivedCount();
        const auto start = Clock::now();
        send(*bench.link, report);
        bench.WaitQueueIdle();
        wallMs += std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        commands += bench.amplifier->ReceivedCount() - before;
    }
    constexpr int kCountRuns = 1000;
    const auto countStart = Clock::now();
    int counted = 0;
    for (int i = 0; i < kCountRuns; ++i) {
        counted += count();
    }
    benchmark::DoNotOptimize(counted);
    const auto runs = static_cast<double>(state.iterations());
    state.counters["commands"] = static_cast<double>(commands) / runs;
    state.counters["wall_ms"] = wallMs / runs;
    state.counters["work_out_us"] =
        std::chrono::duration<double, std::micro>(Clock::now() - countStart).count() / kCountRuns;
}

void BM_DifferenceOfOneBand(benchmark::State& state) {
    app::FillModelCfg();
    const model::Profile from = Tune(3);
    model::Profile to = from;
    to.eqArray(2)[7].eqGain += 2.0f;
    Measure(
        state, from,
        [&](device::DeviceLink& link, jobs::JobReport& report) {
            jobs::WriteProfileDifference(link, {&from, 6.0f}, {&to, 6.0f}, report);
        },
        [&] {
            return jobs::CountProfileDifference({&from, 6.0f}, {&to, 6.0f});
        });
}
BENCHMARK(BM_DifferenceOfOneBand)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

void BM_DifferenceOfUnrelatedTunes(benchmark::State& state) {
    app::FillModelCfg();
    const model::Profile from = Tune(3);
    const model::Profile to = Tune(12);
    Measure(
        state, from,
        [&](device::DeviceLink& link, jobs::JobReport& report) {
            jobs::WriteProfileDifference(link, {&from, 6.0f}, {&to, 20.0f}, report);
        },
        [&] {
            return jobs::CountProfileDifference({&from, 6.0f}, {&to, 20.0f});
        });
}
BENCHMARK(BM_DifferenceOfUnrelatedTunes)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();

void BM_FullWriteOutOfATune(benchmark::State& state) {
    app::FillModelCfg();
    const model::Profile from = Tune(3);
    const model::Profile to = Tune(12);
    Measure(
        state, from,
        [&](device::DeviceLink& link, jobs::JobReport& report) {
            jobs::WriteCurrentProfile(link, {&to, 20.0f}, report);
        },
        [&] {
            return jobs::CountCurrentProfile({&to, 20.0f});
        });
}
BENCHMARK(BM_FullWriteOutOfATune)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
