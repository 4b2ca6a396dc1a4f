// The frames a virtual amplifier received, decoded from its output reports
// (sync, length, type, sub-command, operation, data, checksum).
#pragma once

#include <cstdint>
#include <vector>

namespace virtual_device {
class VirtualAmplifier;
}

namespace testkit {

struct SentFrame {
    uint8_t type = 0;
    uint8_t sub = 0;
    uint8_t operation = 0;
    std::vector<uint8_t> data;
};

// Every frame kept by the amplifier (see VirtualAmplifier::ReceivedReports),
// oldest first.
std::vector<SentFrame> SentFrames(const virtual_device::VirtualAmplifier& amplifier);
// Those of one type, sub-command and operation.
std::vector<SentFrame> SentFramesOf(const virtual_device::VirtualAmplifier& amplifier, uint8_t type,
                                    uint8_t sub, uint8_t operation);
// The data of every DSP set frame of one sub-command.
std::vector<std::vector<uint8_t>> DspSetsOf(const virtual_device::VirtualAmplifier& amplifier,
                                            uint8_t sub);

}  // namespace testkit
