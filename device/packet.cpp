#include "device/packet.h"

#include <cstring>

#include "app/log.h"

namespace device {

OutputReport BuildOutputReport(uint8_t type, uint8_t subCommand, uint8_t operation,
                               const uint8_t* data, size_t dataLength) {
    if (dataLength > kMaxDataBytes) {
        dataLength = kMaxDataBytes;
    }
    OutputReport report{};
    report[1] = kSync1;
    report[2] = kSync2;
    report[3] = static_cast<uint8_t>(dataLength + 3);
    report[4] = type;
    report[5] = subCommand;
    report[6] = operation;
    if (dataLength > 0) {
        std::memcpy(&report[7], data, dataLength);
    }
    uint8_t sum = 0;
    for (size_t i = 3; i < 7 + dataLength; ++i) {
        sum = static_cast<uint8_t>(sum + report[i]);
    }
    report[7 + dataLength] = static_cast<uint8_t>(-sum);
    return report;
}

uint32_t packet_checksum(uint8_t length, uint8_t type, const uint8_t* payload) {
    uint32_t sum = length + type;
    for (int i = 0; i + 1 < length && i < static_cast<int>(kMaxPayloadBytes); ++i) {
        sum += payload[i];
    }
    uint32_t negated = 0u - sum;
    app::Log("packet_checksum: temp_sum(0x%08x)\n", negated);
    return negated;
}

}  // namespace device
