// A virtual amplifier ready to play with: the protocol installed and a
// believable tune (named scenes, crossovers on, a few EQ bands set), for the
// program's --virtual-device mode and for demonstrations.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "virtual_device/amplifier_protocol.h"
#include "virtual_device/virtual_amplifier.h"

namespace virtual_device {

struct DemoAmplifier {
    std::shared_ptr<VirtualAmplifier> amplifier;
    std::shared_ptr<AmplifierProtocol> protocol;
};

// firmware: the version the amplifier runs, when not the program's own (an
// older one shows the forced update).
DemoAmplifier MakeDemoAmplifier(std::wstring serialNumber = L"VTA3300-DEMO",
                                std::optional<VersionNumber> firmware = std::nullopt);

}  // namespace virtual_device
