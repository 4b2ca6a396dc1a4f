#include "testkit/sent_frames.h"

#include "device/packet.h"
#include "virtual_device/virtual_amplifier.h"

namespace testkit {

std::vector<SentFrame> SentFrames(const virtual_device::VirtualAmplifier& amplifier) {
    std::vector<SentFrame> frames;
    for (const auto& report : amplifier.ReceivedReports()) {
        // A report too short for its own length byte is no frame.
        if (report.size() < 7 || report.size() < 4u + report[3]) {
            continue;
        }
        const auto dataEnd = report.begin() + 4 + report[3];
        frames.push_back(
            {report[4], report[5], report[6],
             std::vector<uint8_t>(report.begin() + 7, std::max(dataEnd, report.begin() + 7))});
    }
    return frames;
}

std::vector<SentFrame> SentFramesOf(const virtual_device::VirtualAmplifier& amplifier, uint8_t type,
                                    uint8_t sub, uint8_t operation) {
    std::vector<SentFrame> picked;
    for (SentFrame& frame : SentFrames(amplifier)) {
        if (frame.type == type && frame.sub == sub && frame.operation == operation) {
            picked.push_back(std::move(frame));
        }
    }
    return picked;
}

std::vector<std::vector<uint8_t>> DspSetsOf(const virtual_device::VirtualAmplifier& amplifier,
                                            uint8_t sub) {
    std::vector<std::vector<uint8_t>> data;
    for (SentFrame& frame : SentFramesOf(amplifier, device::CMD_DSP, sub, device::OP_SET)) {
        data.push_back(std::move(frame.data));
    }
    return data;
}

}  // namespace testkit
