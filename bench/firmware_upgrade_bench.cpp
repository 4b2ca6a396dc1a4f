// Moving each built-in image into the virtual amplifier paced as a full-speed
// USB interrupt endpoint (one report per 1 ms frame each way), so one block
// and its acknowledgement cost at least 2 ms. The time measured is the
// transfer: every block, its acknowledgement and the finish. The start
// (enter command, the device's restart with the 8 s the program waits for it,
// the start command) is reported apart, as "start_ms"; "vs_2ms_per_block"
// compares the transfer with blocks x 2 ms.
#include <benchmark/benchmark.h>
#include <sys/prctl.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

#include "device/device_link.h"
#include "firmware/builtin_images.h"
#include "firmware/test_images.h"
#include "firmware/upgrade_session.h"
#include "platform/message_post.h"
#include "virtual_device/amplifier_protocol.h"
#include "virtual_device/virtual_amplifier.h"
#include "virtual_device/virtual_hid_backend.h"

namespace {

using Clock = std::chrono::steady_clock;
using firmware::UpgradeTarget;

class DiscardingSink final : public platform::MessageSink {
public:
    bool Post(platform::PostedMessage) override { return true; }
};

struct ImageOf {
    const char* fileName;
    int blockBytes;
};

ImageOf FileOf(UpgradeTarget target) {
    switch (target) {
        case UpgradeTarget::UPG_DEVICE_MCU:
            return {"MCU_UPG.bin", 32};
        case UpgradeTarget::UPG_DEVICE_MCU_BL:
            return {"BL_UPG.bin", 32};
        case UpgradeTarget::UPG_DEVICE_FLASH:
            break;
    }
    return {"FLASH_UPG.bin", 50};
}

std::filesystem::path WriteImage(UpgradeTarget target) {
    const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                       ("tq-bench-" + std::string(FileOf(target).fileName));
    const std::span<const uint8_t> image = firmware::BuiltInImage(target);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(image.data()),
              static_cast<std::streamsize>(image.size()));
    return path;
}

void Transfer(benchmark::State& state, UpgradeTarget target) {
    platform::SetMessageSink(std::make_shared<DiscardingSink>());
    const std::filesystem::path path = WriteImage(target);
    const size_t body = firmware::BuiltInImage(target).size() - firmware::kImageOverhead;
    const int blockBytes = FileOf(target).blockBytes;
    const double blocks = static_cast<double>((body + blockBytes - 1) / blockBytes);
    double startMs = 0;
    double transferMs = 0;
    for (auto _ : state) {
        auto backend = std::make_shared<virtual_device::VirtualHidBackend>();
        auto amplifier = std::make_shared<virtual_device::VirtualAmplifier>(L"BENCH-UPG");
        virtual_device::ProtocolOptions options;
        options.upgradeRebootMs = 3000;  // a real amplifier's few seconds
        auto protocol = virtual_device::AmplifierProtocol::InstallOn(amplifier, options);
        amplifier->SetPacing(true);
        backend->Add(amplifier);
        device::DeviceLink link(backend);
        link.SetModelParams(device::ModelParams{94, 10, 10, false, false, false});
        link.OpenHIDDevice("");
        link.Hand_Connect();

        firmware::UpgradeSession session(link, firmware::RulesForLink(link, false, true));
        const Clock::time_point began = Clock::now();
        const int started = session.UpgradeStart(path, false);
        const Clock::time_point transferring = Clock::now();
        uint8_t step = 0;
        while (started == firmware::UPG_STARTED && (step = session.UpgradeStep()) <= 100) {
        }
        const Clock::time_point done = Clock::now();
        if (started != firmware::UPG_STARTED || step != firmware::kUpgradeFinished) {
            state.SkipWithError("the upgrade did not complete");
            break;
        }
        const double seconds = std::chrono::duration<double>(done - transferring).count();
        state.SetIterationTime(seconds);
        startMs = std::chrono::duration<double, std::milli>(transferring - began).count();
        transferMs = seconds * 1000;
    }
    state.counters["blocks"] = blocks;
    state.counters["start_ms"] = startMs;
    state.counters["ms_per_block"] = transferMs / blocks;
    state.counters["vs_2ms_per_block"] = transferMs / (blocks * 2.0);
    std::filesystem::remove(path);
    platform::SetMessageSink(nullptr);
}

void McuImage(benchmark::State& state) {
    Transfer(state, UpgradeTarget::UPG_DEVICE_MCU);
}
void BootloaderImage(benchmark::State& state) {
    Transfer(state, UpgradeTarget::UPG_DEVICE_MCU_BL);
}
void FlashImage(benchmark::State& state) {
    Transfer(state, UpgradeTarget::UPG_DEVICE_FLASH);
}

BENCHMARK(McuImage)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BootloaderImage)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(FlashImage)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

// The paced amplifier keeps its 1 ms frames with timed waits; the default
// timer slack (50 us) would add to every report what a USB host controller
// does not, so the benchmark asks for the tightest wake-ups the kernel
// gives, as the link benchmark does. Threads started later inherit it.
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
