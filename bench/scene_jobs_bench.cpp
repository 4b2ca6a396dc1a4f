// The two long jobs against the virtual amplifier paced as a full-speed USB
// interrupt endpoint (one 64-byte report per 1 ms frame each way): writing a
// whole configuration, and reading the ten stored scenes back with the
// working state after them. Each reports its round trips and wall time, and
// apart from them every wait the device needs, so the time left over is what
// the program itself costs. Goal: wall time within 15 % of round trips x 2 ms
// plus those waits.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "app/model_cfg.h"
#include "device/device_link.h"
#include "jobs/profile_writeout.h"
#include "jobs/state_readback.h"
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

// Nobody applies the replies here: they are decoded, posted and dropped.
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
    // The queued cross-source commands are part of the job's traffic.
    void WaitQueueIdle() const { link->WaitCmdQueueIdle(std::chrono::seconds(30)); }

    std::shared_ptr<virtual_device::VirtualHidBackend> backend =
        std::make_shared<virtual_device::VirtualHidBackend>();
    std::shared_ptr<virtual_device::VirtualAmplifier> amplifier =
        std::make_shared<virtual_device::VirtualAmplifier>(L"BENCH-JOBS");
    std::unique_ptr<device::DeviceLink> link;
};

void Report(benchmark::State& state, uint64_t roundTrips, double wallMs, double waitsMs) {
    const double goalMs = static_cast<double>(roundTrips) * 2.0 + waitsMs;
    state.counters["round_trips"] = static_cast<double>(roundTrips);
    state.counters["wall_ms"] = wallMs;
    state.counters["goal_ms"] = goalMs;
    state.counters["over_goal_pct"] = (wallMs / goalMs - 1.0) * 100.0;
    state.counters["ms_per_round_trip"] =
        roundTrips > 0 ? (wallMs - waitsMs) / static_cast<double>(roundTrips) : 0.0;
}

void BM_WriteWholeConfiguration(benchmark::State& state) {
    Bench bench;
    model::Profile live;
    std::vector<model::Profile> scenes(10);
    std::vector<model::SceneName> names(10);
    const jobs::WorkingState working{&live, 6.0f};
    QuietReport report;
    uint64_t trips = 0;
    double wallMs = 0;
    for (auto _ : state) {
        const uint64_t before = bench.amplifier->ReceivedCount();
        const auto start = Clock::now();
        jobs::WriteWholeConfig(*bench.link, {&scenes, &names}, working, report);
        bench.WaitQueueIdle();
        wallMs += std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        trips += bench.amplifier->ReceivedCount() - before;
    }
    const auto runs = static_cast<double>(state.iterations());
    state.counters["settle_wait_ms"] = jobs::kWholeWriteSettleMs;
    Report(state, static_cast<uint64_t>(static_cast<double>(trips) / runs), wallMs / runs,
           jobs::kWholeWriteSettleMs);
}
BENCHMARK(BM_WriteWholeConfiguration)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_ReadBackTenScenes(benchmark::State& state) {
    Bench bench;
    const jobs::BandCounts bands = jobs::BandCountsOf(model::Profile());
    QuietReport report;
    uint64_t trips = 0;
    double wallMs = 0;
    for (auto _ : state) {
        const uint64_t before = bench.amplifier->ReceivedCount();
        const auto start = Clock::now();
        jobs::ReadBackScenes(*bench.link, bands, report);
        wallMs += std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        trips += bench.amplifier->ReceivedCount() - before;
    }
    const auto runs = static_cast<double>(state.iterations());
    const double waits = 10.0 * jobs::kSceneReadBackSettleMs;
    state.counters["scene_open_waits_ms"] = waits;
    Report(state, static_cast<uint64_t>(static_cast<double>(trips) / runs), wallMs / runs, waits);
}
BENCHMARK(BM_ReadBackTenScenes)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
