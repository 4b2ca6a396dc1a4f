#include "bench/soak/main_window_queue.h"

#include <utility>

namespace soak {

bool MainWindowQueue::Post(platform::PostedMessage message) {
    if (message.target != mWindow) {
        return false;
    }
    std::lock_guard<std::mutex> hold(mLock);
    mQueue.push_back(std::move(message));
    return true;
}

bool MainWindowQueue::Take(platform::PostedMessage* message) {
    std::lock_guard<std::mutex> hold(mLock);
    if (mQueue.empty()) {
        return false;
    }
    *message = std::move(mQueue.front());
    mQueue.pop_front();
    return true;
}

}  // namespace soak
