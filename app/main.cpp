// The program's entry point.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/log.h"
#include "app/model_cfg.h"
#include "app/settings.h"
#include "app/startup.h"
#include "app/version.h"
#include "device/device_link.h"
#include "device/hid_backend_chain.h"
#include "device/hidapi_backend.h"
#include "virtual_device/virtual_hid_backend.h"

namespace {

// Until the main window exists: list the amplifiers and open the first one.
int ListAndOpenAmplifiers(bool withVirtualDevice) {
    auto backends = std::make_shared<device::HidBackendChain>();
    backends->Add(std::make_shared<device::HidapiBackend>());
    if (withVirtualDevice) {
        auto virtualBackend = std::make_shared<virtual_device::VirtualHidBackend>();
        virtualBackend->Add(std::make_shared<virtual_device::VirtualAmplifier>());
        backends->Add(virtualBackend);
    }
    auto found = backends->Enumerate(device::kAmplifierVendorId, device::kAmplifierProductId);
    std::printf("%zu amplifier(s) found\n", found.size());
    for (const auto& info : found) {
        std::printf("  %s  serial %ls\n", info.path.c_str(), info.serialNumber.c_str());
    }
    if (found.empty()) {
        return 0;
    }
    device::DeviceLink link(backends);
    link.OpenHIDDevice(found.front().path);
    std::printf("%s %s\n", found.front().path.c_str(),
                link.IsConnected() ? "opened" : "could not be opened");
    link.CloseHIDDevice(true);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    app::CommandLine line = app::ParseCommandLine(arguments);
    const std::string programName = "tq-dsp-audio";
    if (!line.error.empty()) {
        std::fprintf(stderr, "%s: %s\nTry '%s --help' for more information.\n", programName.c_str(),
                     line.error.c_str(), programName.c_str());
        return 2;
    }
    if (line.showHelp) {
        std::fputs(app::UsageText(programName).c_str(), stdout);
        return 0;
    }
    if (line.showVersion) {
        std::printf("TQ DSP Audio %s\n", app::kSoftwareVersion);
        return 0;
    }

    app::StartLogIfRequested();
    app::FillModelCfg();
    if (line.dumpModelCfg) {
        app::WriteModelCfgText(app::kCurrentModelIndex);
        return 0;
    }
    int result = ListAndOpenAmplifiers(line.virtualDevice);
    app::CloseLog();
    return result;
}
