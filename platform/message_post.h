// Posting a message to a window on the user-interface thread: the stand-in
// for PostMessage. The layers below the user interface post through this
// interface and never see the toolkit; the toolkit installs the sink that
// turns a message into an event on the window's event loop. A record attached
// to a message is owned by the message: the receiver takes it, and a message
// whose window is gone (or that no sink takes) frees it.
#pragma once

#include <cstdint>
#include <memory>
#include <utility>

namespace platform {

// A window's handle as the device link and the workers know it; 0 is none.
using WindowHandle = std::uintptr_t;
inline constexpr WindowHandle kNoWindow = 0;

// Base of a record carried by a message.
struct PostedRecord {
    virtual ~PostedRecord() = default;
};

// A record holding one value of any plain type.
template <typename T>
struct RecordOf final : PostedRecord {
    explicit RecordOf(T v) : value(std::move(v)) {}
    T value;
};

template <typename T>
std::unique_ptr<PostedRecord> MakeRecord(T value) {
    return std::make_unique<RecordOf<T>>(std::move(value));
}

// The value of a record of type T, or nullptr when the record is absent or
// of another type.
template <typename T>
const T* RecordValue(const std::unique_ptr<PostedRecord>& record) {
    auto* typed = dynamic_cast<const RecordOf<T>*>(record.get());
    return typed != nullptr ? &typed->value : nullptr;
}

struct PostedMessage {
    WindowHandle target = kNoWindow;
    uint32_t message = 0;
    uintptr_t wParam = 0;
    intptr_t lParam = 0;
    std::unique_ptr<PostedRecord> record;
};

// Receives every posted message; implemented by the toolkit (one event per
// message on the UI thread) and by tests (a queue they inspect).
class MessageSink {
public:
    virtual ~MessageSink() = default;
    // Returns false when the target window does not exist; the message (and
    // its record) is then dropped.
    virtual bool Post(PostedMessage message) = 0;
};

// Installs the process-wide sink (nullptr removes it). Safe to call while
// other threads post.
void SetMessageSink(std::shared_ptr<MessageSink> sink);

// Posts a message; returns false (and frees the record) when there is no
// sink or no such window. Callable from any thread.
bool PostMessage(WindowHandle target, uint32_t message, uintptr_t wParam, intptr_t lParam,
                 std::unique_ptr<PostedRecord> record = nullptr);

}  // namespace platform
