// A virtual amplifier on its own HID backend, as a test or a benchmark
// plugs it in: either with the bare protocol (the amplifier's defaults) or
// with the demo tune, and optionally with a device link opened on it.
#pragma once

#include <memory>
#include <string>

#include "device/device_link.h"
#include "device/model_params.h"
#include "virtual_device/amplifier_protocol.h"
#include "virtual_device/demo_amplifier.h"
#include "virtual_device/virtual_amplifier.h"
#include "virtual_device/virtual_hid_backend.h"

namespace testkit {

// The model parameters of this build: ten outputs, ten mixer inputs.
device::ModelParams ThisBuildParams();

// The protocol's options without the restart after a factory default, which
// most tests do not wait for.
virtual_device::ProtocolOptions NoReboot(virtual_device::ProtocolOptions options = {});

struct AmplifierRig {
    enum class Tune { kDefaults, kDemo };
    explicit AmplifierRig(std::wstring serialNumber = L"AMP-TEST", Tune tune = Tune::kDefaults,
                          virtual_device::ProtocolOptions options = NoReboot());

    virtual_device::AmplifierState State(int state = 0) const { return protocol->State(state); }

    std::shared_ptr<virtual_device::VirtualHidBackend> backend =
        std::make_shared<virtual_device::VirtualHidBackend>();
    std::shared_ptr<virtual_device::VirtualAmplifier> amplifier;
    std::shared_ptr<virtual_device::AmplifierProtocol> protocol;
    std::string path;  // the device path the backend lists it under
};

// A rig whose link is open on the amplifier with this build's parameters,
// its messages going to `mainWindow`, and its command queue enabled.
struct LinkedAmplifier : AmplifierRig {
    explicit LinkedAmplifier(std::wstring serialNumber = L"AMP-TEST",
                             platform::WindowHandle mainWindow = 0x1001);
    device::DeviceLink link{backend};
};

}  // namespace testkit
