// Round trips through the device link and the virtual amplifier, unpaced (the
// host's own cost) and paced as a full-speed USB interrupt endpoint (one
// report per 1 ms frame each way), and the latency from a queued setter call
// to its report write.
#include <benchmark/benchmark.h>
#include <sys/prctl.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "device/device_link.h"
#include "device/dsp_subcommands.h"
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

struct Bench {
    explicit Bench(bool paced) {
        platform::SetMessageSink(std::make_shared<DiscardingSink>());
        virtual_device::ProtocolOptions options;
        options.rebootOnFactoryDefault = false;
        protocol = virtual_device::AmplifierProtocol::InstallOn(amplifier, options);
        amplifier->SetPacing(paced);
        backend->Add(amplifier);
        link = std::make_unique<device::DeviceLink>(backend);
        link->SetMainWnd(1);
        link->SetModelParams(device::ModelParams{94, 10, 10, false, false, false});
        link->OpenHIDDevice("");
    }
    ~Bench() {
        link.reset();
        platform::SetMessageSink(nullptr);
    }

    std::shared_ptr<virtual_device::VirtualHidBackend> backend =
        std::make_shared<virtual_device::VirtualHidBackend>();
    std::shared_ptr<virtual_device::VirtualAmplifier> amplifier =
        std::make_shared<virtual_device::VirtualAmplifier>(L"BENCH-1");
    std::shared_ptr<virtual_device::AmplifierProtocol> protocol;
    std::unique_ptr<device::DeviceLink> link;
};

// A request and its decoded answer: write, device answer, read, decode, post.
void RoundTrip(benchmark::State& state, bool paced) {
    Bench bench(paced);
    for (auto _ : state) {
        if (!bench.link->Get_Delay({0, 0, 0, 0})) {
            state.SkipWithError("no answer");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_RoundTripUnpaced(benchmark::State& state) {
    RoundTrip(state, false);
}
void BM_RoundTripPaced1ms(benchmark::State& state) {
    RoundTrip(state, true);
}

double Percentile(std::vector<double> values, double fraction) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const size_t index = std::min(values.size() - 1, static_cast<size_t>(fraction * values.size()));
    return values[index];
}

// From a deferred setter call on this thread to the report arriving at the
// amplifier, with the command thread idle beforehand (as between two slider
// moves).
void BM_QueuedSetterToWrite(benchmark::State& state) {
    Bench bench(false);
    std::atomic<int64_t> writtenAt{0};
    bench.amplifier->SetHandler(
        1, device::DSP_MUTE,
        [&](const virtual_device::HostFrame&, virtual_device::Replies& replies) {
            writtenAt.store(Clock::now().time_since_epoch().count());
            replies.Frame(1, device::DSP_MUTE, 0xEE, {0x0A});
        });
    bench.link->EnableCmdCtrl();
    std::vector<double> latenciesUs;
    uint8_t value = 0;
    for (auto _ : state) {
        writtenAt.store(0);
        const int64_t calledAt = Clock::now().time_since_epoch().count();
        bench.link->Mute_Ctrl(value ^= 1, false);
        // Yielding, not spinning: on a small machine a spinning caller takes
        // the core that the command thread needs.
        while (writtenAt.load() == 0) {
            std::this_thread::yield();
        }
        latenciesUs.push_back(static_cast<double>(writtenAt.load() - calledAt) / 1000.0);
        state.PauseTiming();
        while (!bench.link->IsCmdQueueIdle()) {
            std::this_thread::yield();
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
        state.ResumeTiming();
    }
    state.counters["p50_us"] = Percentile(latenciesUs, 0.50);
    state.counters["p99_us"] = Percentile(latenciesUs, 0.99);
    state.counters["max_us"] = Percentile(latenciesUs, 1.0);
}

}  // namespace

BENCHMARK(BM_RoundTripUnpaced)->UseRealTime();
BENCHMARK(BM_RoundTripPaced1ms)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_QueuedSetterToWrite)->UseRealTime()->Iterations(2000);

// Linux lets a sleeping thread oversleep by its timer slack (50 us by
// default), twice per paced round trip; a USB host controller does not, so
// the benchmark asks for the tightest wake-ups the kernel gives. Threads
// started later inherit it.
int main(int argc, char** argv) {
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
