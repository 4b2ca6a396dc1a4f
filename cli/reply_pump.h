// The tool's stand-in for the program's window: the device link posts every
// decoded reply to it, and a thread of its own applies them, in order, to the
// profiles a read fills (jobs/reply_applier.h). A job waits for that through
// WaitApplied before it trusts what it read.
#pragma once

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

#include "jobs/reply_applier.h"
#include "platform/message_post.h"

namespace cli {

class ReplyPump {
public:
    // The handle the device link posts to.
    static constexpr platform::WindowHandle kHandle = 0x7D5;

    // Installs itself as the process's message sink and starts its thread.
    ReplyPump();
    // Removes the sink and joins the thread; replies not yet applied are
    // dropped.
    ~ReplyPump();
    ReplyPump(const ReplyPump&) = delete;
    ReplyPump& operator=(const ReplyPump&) = delete;

    // True once every reply posted so far has been applied; false when that
    // did not happen within timeoutMs.
    bool WaitApplied(int timeoutMs);

    // A copy of what the replies filled so far.
    std::unique_ptr<jobs::DeviceProfiles> Snapshot();
    // Starts over from fresh profiles (before a read that fills them).
    void Reset();

private:
    class Sink;
    bool Take(platform::PostedMessage message);
    void Run();

    std::mutex mLock;
    std::condition_variable mWake;
    std::condition_variable mIdle;
    std::deque<platform::PostedMessage> mQueue;       // guarded by mLock
    bool mApplying = false;                           // guarded by mLock
    bool mStopping = false;                           // guarded by mLock
    std::unique_ptr<jobs::DeviceProfiles> mProfiles;  // guarded by mLock
    std::shared_ptr<platform::MessageSink> mSink;
    std::thread mThread;  // last: started once everything above exists
};

}  // namespace cli
