// The main window's message queue: what the link and the jobs post to it
// waits here until the soak's user-interface thread handles it.
#pragma once

#include <deque>
#include <mutex>

#include "platform/message_post.h"

namespace soak {

class MainWindowQueue final : public platform::MessageSink {
public:
    explicit MainWindowQueue(platform::WindowHandle window) : mWindow(window) {}
    bool Post(platform::PostedMessage message) override;
    bool Take(platform::PostedMessage* message);

private:
    const platform::WindowHandle mWindow;
    std::mutex mLock;
    std::deque<platform::PostedMessage> mQueue;
};

}  // namespace soak
