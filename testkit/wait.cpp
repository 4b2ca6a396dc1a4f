#include "testkit/wait.h"

#include <thread>

#include "device/device_link.h"

namespace testkit {

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit,
               const std::function<void()>& step) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return done();
        }
        if (step) {
            step();
        } else {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    }
    return true;
}

bool WaitQueueDrained(const device::DeviceLink& link, std::chrono::milliseconds limit) {
    return link.WaitCmdQueueIdle(limit);
}

}  // namespace testkit
