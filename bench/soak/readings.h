// Readings of the clock, the process and the machine the soak runs on.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <string>

namespace soak {

using Clock = std::chrono::steady_clock;

inline int64_t NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
        .count();
}

// The process's resident memory (-1 when unknown).
long ResidentKiB();

// The machine's load averages over 1, 5 and 15 minutes (0 when unknown):
// other work on its cores shows in the latency's tail.
std::array<double, 3> LoadAverages();
double OneMinuteLoad();
// The three of them as "1.00 0.50 0.25".
std::string LoadText();

}  // namespace soak
