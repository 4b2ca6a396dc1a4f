#include "controller/upgrade_worker.h"

#include <chrono>
#include <utility>

#include "app/log.h"
#include "controller/controller_messages.h"

namespace controller {
namespace {

// Posts what the upgrade reports to the window.
class PostingObserver final : public firmware::UpgradeObserver {
public:
    PostingObserver(platform::WindowHandle window, uint32_t startedMessage)
        : mWindow(window), mStartedMessage(startedMessage) {}
    void OnStarted(firmware::UpgradeTarget) override {
        if (mStartedMessage != 0) {
            platform::PostMessage(mWindow, mStartedMessage, 0, 0);
        }
    }
    void OnProgress(int percent) override {
        platform::PostMessage(mWindow, WM_UPG_PROGRESS, static_cast<uintptr_t>(percent), 0);
    }

private:
    platform::WindowHandle mWindow;
    uint32_t mStartedMessage;
};

}  // namespace

UpgradeWorker::~UpgradeWorker() {
    Stop();
    Join();
}

void UpgradeWorker::Join() {
    if (mThread.joinable()) {
        mThread.join();
    }
}

void UpgradeWorker::Launch(std::function<void()> work) {
    Join();
    mStop.store(false);
    mRunning.store(true);
    mThread = std::thread([this, work = std::move(work)] {
        work();
        mRunning.store(false);
    });
}

void UpgradeWorker::StartTransfer(device::DeviceLink& link, const UpgradeSetup& setup,
                                  std::filesystem::path image, platform::WindowHandle window,
                                  uint32_t startedMessage) {
    Launch([this, &link, setup, image = std::move(image), window, startedMessage] {
        firmware::UpgradeSession session(link, setup.rules, setup.timings);
        PostingObserver observer(window, startedMessage);
        const firmware::UpgradeOutcome outcome =
            firmware::RunUpgrade(session, image, observer, [this] { return mStop.load(); });
        uint32_t last = WM_UPG_OK;
        if (outcome.startResult != firmware::UPG_STARTED) {
            last = WM_UPG_LOAD_FAIL;
        } else if (!outcome.Succeeded()) {
            last = WM_UPG_FAIL;
        }
        platform::PostMessage(window, last, 0, 0);
    });
}

void UpgradeWorker::StartFactoryReset(device::DeviceLink& link, platform::WindowHandle window,
                                      int pauseMs) {
    Launch([this, &link, window, pauseMs] {
        app::Log("Factory default thread start!\n");
        // Short steps, so that a closing window does not wait out the pause.
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(pauseMs);
        while (!mStop.load() && std::chrono::steady_clock::now() < end) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (!mStop.load()) {
            link.MCU_Factory_Default_Ctrl();
            platform::PostMessage(window, WM_DEVICE_REBOOT, 0, 0);
        }
        app::Log("Factory default thread end!\n");
    });
}

}  // namespace controller
