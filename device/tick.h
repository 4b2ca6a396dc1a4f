#pragma once

#include <chrono>
#include <cstdint>

namespace device {

// Milliseconds on a monotonic clock, for time-outs and log lines.
inline int64_t TickMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace device
