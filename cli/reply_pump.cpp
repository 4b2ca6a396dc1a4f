#include "cli/reply_pump.h"

#include <chrono>

namespace cli {

class ReplyPump::Sink final : public platform::MessageSink {
public:
    explicit Sink(ReplyPump& pump) : mPump(pump) {}
    bool Post(platform::PostedMessage message) override { return mPump.Take(std::move(message)); }

private:
    ReplyPump& mPump;
};

ReplyPump::ReplyPump()
    : mProfiles(std::make_unique<jobs::DeviceProfiles>()),
      mSink(std::make_shared<Sink>(*this)),
      mThread([this] { Run(); }) {
    platform::SetMessageSink(mSink);
}

ReplyPump::~ReplyPump() {
    platform::SetMessageSink(nullptr);
    {
        std::lock_guard<std::mutex> hold(mLock);
        mStopping = true;
    }
    mWake.notify_all();
    mThread.join();
}

bool ReplyPump::Take(platform::PostedMessage message) {
    if (message.target != kHandle) {
        return false;  // the scene and service windows' messages have no reader here
    }
    {
        std::lock_guard<std::mutex> hold(mLock);
        if (mStopping) {
            return false;
        }
        mQueue.push_back(std::move(message));
    }
    mWake.notify_one();
    return true;
}

void ReplyPump::Run() {
    std::unique_lock<std::mutex> held(mLock);
    for (;;) {
        mWake.wait(held, [this] { return mStopping || !mQueue.empty(); });
        if (mStopping) {
            return;
        }
        platform::PostedMessage message = std::move(mQueue.front());
        mQueue.pop_front();
        mApplying = true;
        // Applying is quick; holding the lock keeps snapshots whole.
        jobs::ApplyPostedReply(*mProfiles, message.message, message.wParam, message.lParam,
                               message.record);
        mApplying = false;
        if (mQueue.empty()) {
            mIdle.notify_all();
        }
    }
}

bool ReplyPump::WaitApplied(int timeoutMs) {
    std::unique_lock<std::mutex> held(mLock);
    return mIdle.wait_for(held, std::chrono::milliseconds(timeoutMs),
                          [this] { return mQueue.empty() && !mApplying; });
}

std::unique_ptr<jobs::DeviceProfiles> ReplyPump::Snapshot() {
    std::lock_guard<std::mutex> hold(mLock);
    return std::make_unique<jobs::DeviceProfiles>(*mProfiles);
}

void ReplyPump::Reset() {
    auto fresh = std::make_unique<jobs::DeviceProfiles>();
    std::lock_guard<std::mutex> hold(mLock);
    mProfiles = std::move(fresh);
}

}  // namespace cli
