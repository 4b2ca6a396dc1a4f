#include "bench/soak/write_probe.h"

#include "bench/soak/readings.h"
#include "device/packet.h"

namespace soak {

void WriteProbe::OnReport(const std::vector<uint8_t>& report) {
    const int64_t now = NowNs();
    if (armed.exchange(false, std::memory_order_acq_rel)) {
        const uint32_t key = report.size() > 6
                                 ? static_cast<uint32_t>(report[4]) << 16 |
                                       static_cast<uint32_t>(report[5]) << 8 | report[6]
                                 : 0;
        firstKey.store(key, std::memory_order_relaxed);
        first.store(now, std::memory_order_release);
    }
    last.store(now, std::memory_order_relaxed);
    reports.fetch_add(1, std::memory_order_acq_rel);
}

uint32_t DspSetKey(uint8_t subCommand) {
    return static_cast<uint32_t>(device::CMD_DSP) << 16 | static_cast<uint32_t>(subCommand) << 8 |
           device::OP_SET;
}

}  // namespace soak
