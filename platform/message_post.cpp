#include "platform/message_post.h"

#include <mutex>

namespace platform {
namespace {

std::mutex gSinkLock;
std::shared_ptr<MessageSink> gSink;  // guarded by gSinkLock

}  // namespace

void SetMessageSink(std::shared_ptr<MessageSink> sink) {
    std::lock_guard<std::mutex> hold(gSinkLock);
    gSink = std::move(sink);
}

bool PostMessage(WindowHandle target, uint32_t message, uintptr_t wParam, intptr_t lParam,
                 std::unique_ptr<PostedRecord> record) {
    std::shared_ptr<MessageSink> sink;
    {
        std::lock_guard<std::mutex> hold(gSinkLock);
        sink = gSink;
    }
    if (sink == nullptr || target == kNoWindow) {
        return false;
    }
    PostedMessage posted;
    posted.target = target;
    posted.message = message;
    posted.wParam = wParam;
    posted.lParam = lParam;
    posted.record = std::move(record);
    return sink->Post(std::move(posted));
}

}  // namespace platform
