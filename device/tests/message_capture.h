// Catches the window messages that the device link posts, for the life of
// the object, so a test can check what reached which window.
#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/message_post.h"

namespace test_support {

class CapturingSink final : public platform::MessageSink {
public:
    bool Post(platform::PostedMessage message) override {
        {
            std::lock_guard<std::mutex> hold(mLock);
            mMessages.push_back(std::move(message));
        }
        mArrived.notify_all();
        return true;
    }

    // Waits until at least `count` messages arrived (or the time passed).
    bool WaitFor(size_t count, std::chrono::milliseconds within = std::chrono::seconds(5)) {
        std::unique_lock<std::mutex> hold(mLock);
        return mArrived.wait_for(hold, within, [&] { return mMessages.size() >= count; });
    }

    // Takes every message caught so far.
    std::vector<platform::PostedMessage> Take() {
        std::lock_guard<std::mutex> hold(mLock);
        std::vector<platform::PostedMessage> taken = std::move(mMessages);
        mMessages.clear();
        return taken;
    }

    size_t Count() {
        std::lock_guard<std::mutex> hold(mLock);
        return mMessages.size();
    }

private:
    std::mutex mLock;
    std::condition_variable mArrived;
    std::vector<platform::PostedMessage> mMessages;  // guarded by mLock
};

class MessageCapture {
public:
    MessageCapture() : mSink(std::make_shared<CapturingSink>()) { platform::SetMessageSink(mSink); }
    ~MessageCapture() { platform::SetMessageSink(nullptr); }
    MessageCapture(const MessageCapture&) = delete;
    MessageCapture& operator=(const MessageCapture&) = delete;

    CapturingSink& operator*() { return *mSink; }
    CapturingSink* operator->() { return mSink.get(); }

private:
    std::shared_ptr<CapturingSink> mSink;
};

// The record of type T that a message carries, or nullptr.
template <typename T>
const T* RecordOf(const platform::PostedMessage& message) {
    return platform::RecordValue<T>(message.record);
}

}  // namespace test_support
