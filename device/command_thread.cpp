// The command thread and its queue: live changes from the user interface are
// queued so that the UI thread never waits for the device; the thread sends
// them one by one and reads one reply after each.
#include <string>

#include "app/log.h"
#include "device/device_link.h"
#include "device/tick.h"

namespace device {
namespace {

// The thread waits for a reply in slices this long, so that stopping the link
// never waits for a whole reply time-out.
constexpr int kReplySliceMs = 50;

void LogItem(const CmdQueueItem& item) {
    if (!app::IsLogOpen()) {
        return;
    }
    std::string text;
    char hex[8];
    for (uint8_t byte : item.data) {
        std::snprintf(hex, sizeof hex, " 0x%02x", byte);
        text += hex;
    }
    app::Log("get mcmd 0x%02x subcmd 0x%02x optype 0x%02x len 0x%02x cmd_data:%s\n", item.type,
             item.subCommand, item.operation, static_cast<unsigned>(item.data.size()),
             text.c_str());
}

}  // namespace

DeviceLink::DeviceLink(std::shared_ptr<HidBackend> backend) : mBackend(std::move(backend)) {
    mCmdThread = std::thread([this] { McuCmdThread(); });
}

DeviceLink::~DeviceLink() {
    StopCommandThread();
}

void DeviceLink::StopCommandThread() {
    {
        std::lock_guard<std::mutex> hold(mCmdQueueLock);
        mCmdThreadRunning.store(false);
    }
    mCmdQueueWake.notify_all();
    if (mCmdThread.joinable()) {
        mCmdThread.join();
    }
    ReleaseLeftoverItems();
}

void DeviceLink::McuCmdThread() {
    app::Log("McuCmdThread start\n");
    for (;;) {
        CmdQueueItem item;
        {
            std::unique_lock<std::mutex> hold(mCmdQueueLock);
            if (mCmdQueue.empty()) {
                // Idle means: nothing queued and the last command's reply (or
                // its time-out) is behind us.
                mCmdQueueIdle.store(true);
                mCmdQueueIdleWake.notify_all();
            }
            // A queue emptied by ReleaseLeftoverItems wakes the thread too, so
            // that it tells the queue idle.
            mCmdQueueWake.wait(hold, [this] {
                return !mCmdQueue.empty() || !mCmdThreadRunning.load() || !mCmdQueueIdle.load();
            });
            if (mCmdQueue.empty() && mCmdThreadRunning.load()) {
                continue;
            }
            if (!mCmdThreadRunning.load()) {
                break;
            }
            item = std::move(mCmdQueue.front());
            mCmdQueue.pop_front();
        }
        SendQueuedItem(item);
    }
    ReleaseLeftoverItems();
    app::Log("McuCmdThread end\n");
}

void DeviceLink::SendQueuedItem(const CmdQueueItem& item) {
    LogItem(item);
    if (!SendCtrlCommand(item.type, item.subCommand, item.operation, item.data.data(),
                         static_cast<uint8_t>(item.data.size()))) {
        return;  // nothing went out, so no reply will come
    }
    // The reply, or its absence, ends the wait; there is no retry. A device
    // that went away will not answer either.
    const int64_t start = TickMs();
    while (mCmdThreadRunning.load() && IsConnected() && !IsDeviceGone()) {
        const int64_t left = kReplyTimeoutMs - (TickMs() - start);
        if (left <= 0) {
            break;
        }
        const int slice = static_cast<int>(left < kReplySliceMs ? left : kReplySliceMs);
        if (ReadHIDData(mReadBuffer.data(), slice)) {
            break;
        }
    }
}

void DeviceLink::ReleaseLeftoverItems() {
    std::deque<CmdQueueItem> leftovers;
    {
        std::lock_guard<std::mutex> hold(mCmdQueueLock);
        leftovers.swap(mCmdQueue);
    }
    mCmdQueueWake.notify_all();
    for (const CmdQueueItem& item : leftovers) {
        LogItem(item);  // released without sending
    }
}

bool DeviceLink::SendAndRead(uint8_t type, uint8_t subCommand, uint8_t operation,
                             const std::vector<uint8_t>& data, int timeoutMs) {
    if (!SendCtrlCommand(type, subCommand, operation, data.data(),
                         static_cast<uint8_t>(data.size()))) {
        return false;
    }
    return ReadHIDData(mReadBuffer.data(), timeoutMs);
}

bool DeviceLink::SubmitCommand(uint8_t type, uint8_t subCommand, uint8_t operation,
                               std::vector<uint8_t> data, bool syncMode, int timeoutMs) {
    if (data.size() > kMaxDataBytes) {
        app::Log("SubmitCommand: %u data bytes do not fit a frame, dropped\n",
                 static_cast<unsigned>(data.size()));
        return false;
    }
    if (syncMode) {
        return SendAndRead(type, subCommand, operation, data, timeoutMs);
    }
    if (!mCmdCtrlEnabled.load()) {
        return false;
    }
    {
        std::lock_guard<std::mutex> hold(mCmdQueueLock);
        mCmdQueue.push_back(CmdQueueItem{type, subCommand, operation, std::move(data)});
        mCmdQueueIdle.store(false);
    }
    mCmdQueueWake.notify_one();
    return true;
}

void DeviceLink::EnableCmdCtrl() {
    app::Log("EnableCmdCtrl\n");
    mCmdCtrlEnabled.store(true);
}

void DeviceLink::DisableCmdCtrl() {
    app::Log("DisableCmdCtrl\n");
    mCmdCtrlEnabled.store(false);
}

void DeviceLink::SetMainWnd(WindowHandle window) {
    mMainWnd.store(window);
    {
        std::lock_guard<std::mutex> hold(mCmdQueueLock);
        mCmdQueueIdle.store(true);
    }
    mCmdQueueIdleWake.notify_all();
}

bool DeviceLink::WaitCmdQueueIdle(std::chrono::milliseconds limit) const {
    std::unique_lock<std::mutex> hold(mCmdQueueLock);
    return mCmdQueueIdleWake.wait_for(hold, limit, [this] { return mCmdQueueIdle.load(); });
}

size_t DeviceLink::CmdQueueDepth() const {
    std::lock_guard<std::mutex> hold(mCmdQueueLock);
    return mCmdQueue.size();
}

void DeviceLink::SetModelParams(const app::ModelCfg& cfg) {
    SetModelParams(ModelParamsOf(cfg));
}

void DeviceLink::SetModelParams(const ModelParams& params) {
    std::lock_guard<std::mutex> hold(mModelParamsLock);
    mModelParams = params;
}

ModelParams DeviceLink::GetModelParams() const {
    std::lock_guard<std::mutex> hold(mModelParamsLock);
    return mModelParams;
}

ReplyContext DeviceLink::CurrentReplyContext() const {
    ReplyContext context;
    context.targets.mainWnd = mMainWnd.load();
    context.targets.sceneWnd = mSceneWnd.load();
    context.targets.autoCalWnd = mAutoCalWnd.load();
    context.targets.noiseWnd = mNoiseWnd.load();
    context.targets.memWnd = mMemWnd.load();
    context.params = GetModelParams();
    return context;
}

void DeviceLink::ApplyMcuReport(const McuReport& report) {
    if (report.handshake) {
        mcu_is_normal_mode.store(report.normalMode);
        if (report.normalMode) {
            mModelId.store(report.modelId);
        }
    }
    if (report.ping) {
        mcu_is_normal_mode.store(false);
    }
    if (report.bootloaderVersionSeen) {
        mBootloaderVersion.store(report.bootloaderVersion);
    }
}

}  // namespace device
