// What the amplifier received.
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

namespace soak {

// Fed by the amplifier's writer thread: counts output reports and stamps the
// first one that arrives after the soak armed it.
struct WriteProbe {
    void Arm() {
        first.store(0, std::memory_order_relaxed);
        armed.store(true, std::memory_order_release);
    }
    void OnReport(const std::vector<uint8_t>& report);

    std::atomic<uint64_t> reports{0};
    std::atomic<bool> armed{false};
    std::atomic<int64_t> first{0};
    std::atomic<int64_t> last{0};
    std::atomic<uint32_t> firstKey{0};
};

// The key a report of a DSP set of `subCommand` carries in bytes 4..6.
uint32_t DspSetKey(uint8_t subCommand);

}  // namespace soak
