// The worker of an update window: one firmware image moved into the
// amplifier on a thread of its own, or the factory default after a forced
// update. It touches no control; it tells its window how far it is only by
// messages posted to the window's handle, which the window handles on the
// user-interface thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <thread>

#include "device/device_link.h"
#include "firmware/upgrade_session.h"
#include "platform/message_post.h"

namespace controller {

// What an image transfer needs besides its file.
struct UpgradeSetup {
    firmware::ImageRules rules;
    firmware::UpgradeTimings timings;
};

class UpgradeWorker {
public:
    UpgradeWorker() = default;
    // Stops a transfer between two blocks and waits for the thread.
    ~UpgradeWorker();
    UpgradeWorker(const UpgradeWorker&) = delete;
    UpgradeWorker& operator=(const UpgradeWorker&) = delete;

    // Moves the image into the device: WM_UPG_LOAD_FAIL when the image is
    // refused or the device does not take the start; otherwise
    // startedMessage (none when 0), a WM_UPG_PROGRESS after every block,
    // then WM_UPG_OK or WM_UPG_FAIL. A worker still running is joined first.
    void StartTransfer(device::DeviceLink& link, const UpgradeSetup& setup,
                       std::filesystem::path image, platform::WindowHandle window,
                       uint32_t startedMessage);
    // Restores the factory defaults after a pause, then posts WM_DEVICE_REBOOT.
    void StartFactoryReset(device::DeviceLink& link, platform::WindowHandle window,
                           int pauseMs = kFactoryResetPauseMs);

    // The transfer ends after the block under way, as a failure.
    void Stop() { mStop.store(true); }
    void Join();
    bool IsRunning() const { return mRunning.load(); }

    static constexpr int kFactoryResetPauseMs = 1000;

private:
    void Launch(std::function<void()> work);

    std::thread mThread;
    std::atomic<bool> mStop{false};
    std::atomic<bool> mRunning{false};
};

}  // namespace controller
