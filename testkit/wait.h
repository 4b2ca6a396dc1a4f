// Waiting on events: a condition, or the link's command queue running dry.
// The time limits only end a wait that a fault keeps from ever ending; no
// test waits for a time to pass.
#pragma once

#include <chrono>
#include <functional>

namespace device {
class DeviceLink;
}

namespace testkit {

// Long enough for the slowest wait under the sanitizers on a loaded machine.
inline constexpr std::chrono::milliseconds kPatience{30000};

// Runs `step` (by default a short yield to the other threads) until `done`
// holds or `limit` passed; returns whether `done` held.
bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = kPatience,
               const std::function<void()>& step = {});

// Waits until the link's command thread has sent every queued command and
// has its reply or time-out behind it.
bool WaitQueueDrained(const device::DeviceLink& link, std::chrono::milliseconds limit = kPatience);

}  // namespace testkit
