#include "virtual_device/virtual_amplifier.h"

#include <algorithm>
#include <cstring>

namespace virtual_device {
namespace {

constexpr size_t kInputReportBytes = 64;
constexpr size_t kOutputReportBytes = 65;
constexpr size_t kReceivedKept = 4096;
constexpr auto kUsbFrame = std::chrono::milliseconds(1);

uint16_t HandlerKey(uint8_t type, uint8_t subCommand) {
    return static_cast<uint16_t>(type << 8 | subCommand);
}

// Bytes a noisy line might put before a frame: no 0xAA, so they cannot start
// a frame of their own.
const std::vector<uint8_t> kGarbage = {0x00, 0x13, 0x55, 0xFF, 0x37};

}  // namespace

std::vector<uint8_t> EncodeDeviceFrame(uint8_t type, uint8_t subCommand, uint8_t operation,
                                       const std::vector<uint8_t>& data) {
    std::vector<uint8_t> frame = {0xAA, 0x55,       static_cast<uint8_t>(data.size() + 3),
                                  type, subCommand, operation};
    frame.insert(frame.end(), data.begin(), data.end());
    uint8_t sum = 0;
    for (size_t i = 2; i < frame.size(); ++i) {
        sum = static_cast<uint8_t>(sum + frame[i]);
    }
    frame.push_back(static_cast<uint8_t>(0x100 - sum));
    return frame;
}

void Replies::Frame(uint8_t type, uint8_t subCommand, uint8_t operation,
                    const std::vector<uint8_t>& data) {
    mReports.push_back(EncodeDeviceFrame(type, subCommand, operation, data));
    mLater.emplace_back(0);
}

void Replies::FrameLater(std::chrono::milliseconds later, uint8_t type, uint8_t subCommand,
                         uint8_t operation, const std::vector<uint8_t>& data) {
    mReports.push_back(EncodeDeviceFrame(type, subCommand, operation, data));
    mLater.push_back(later);
}

void Replies::RawReport(std::vector<uint8_t> bytes) {
    mReports.push_back(std::move(bytes));
    mLater.emplace_back(0);
}

std::chrono::milliseconds Replies::LaterBy(size_t report) const {
    return report < mLater.size() ? mLater[report] : std::chrono::milliseconds(0);
}

VirtualAmplifier::VirtualAmplifier(std::wstring serialNumber)
    : mIdentity{0x0483, 0x5750, L"TQ Audio", L"TQ DSP Amplifier", std::move(serialNumber)} {}

VirtualAmplifier::~VirtualAmplifier() {
    std::lock_guard<std::mutex> hold(mLock);
    UnplugLocked();
}

void VirtualAmplifier::SetHandler(uint8_t type, uint8_t subCommand, FrameHandler handler) {
    std::lock_guard<std::mutex> hold(mProtocolLock);
    mHandlers[HandlerKey(type, subCommand)] = std::move(handler);
}

void VirtualAmplifier::SetDefaultHandler(FrameHandler handler) {
    std::lock_guard<std::mutex> hold(mProtocolLock);
    mDefaultHandler = std::move(handler);
}

void VirtualAmplifier::UnplugLocked() {
    if (!mPlugged) {
        return;
    }
    mPlugged = false;
    ++mGeneration;
    mInput.clear();
    mChanged.notify_all();
}

void VirtualAmplifier::Unplug() {
    {
        std::lock_guard<std::mutex> hold(mLock);
        mCablePulled = true;
        if (!mPlugged) {
            return;
        }
        UnplugLocked();
    }
    NotifyPlug(false);
}

void VirtualAmplifier::Plug() {
    {
        std::lock_guard<std::mutex> hold(mLock);
        mCablePulled = false;
        if (mPlugged) {
            return;
        }
        mPlugged = true;
        ++mGeneration;
        mStalled = false;
        mReportsUntilUnplug = 0;
        mUnplugAtFrame = {};
    }
    NotifyPlug(true);
}

void VirtualAmplifier::LeaveBusForRestart() {
    {
        std::lock_guard<std::mutex> hold(mLock);
        if (!mPlugged) {
            return;
        }
        UnplugLocked();
    }
    NotifyPlug(false);
}

void VirtualAmplifier::ReturnFromRestart() {
    {
        std::lock_guard<std::mutex> hold(mLock);
        if (mPlugged || mCablePulled) {
            return;
        }
        mPlugged = true;
        ++mGeneration;
        mStalled = false;
    }
    NotifyPlug(true);
}

bool VirtualAmplifier::IsPlugged() const {
    std::lock_guard<std::mutex> hold(mLock);
    return mPlugged;
}

void VirtualAmplifier::SetPlugListener(std::function<void(bool)> listener) {
    std::lock_guard<std::mutex> hold(mListenerLock);
    mPlugListener = std::move(listener);
}

void VirtualAmplifier::NotifyPlug(bool plugged) {
    std::function<void(bool)> listener;
    {
        std::lock_guard<std::mutex> hold(mListenerLock);
        listener = mPlugListener;
    }
    if (listener) {
        listener(plugged);
    }
}

void VirtualAmplifier::SetPacing(bool onePerMillisecond) {
    std::lock_guard<std::mutex> hold(mLock);
    mPaced = onePerMillisecond;
}

void VirtualAmplifier::DropAnswers(int count) {
    std::lock_guard<std::mutex> hold(mLock);
    mAnswersToDrop = count;
}

void VirtualAmplifier::DelayAnswers(std::chrono::milliseconds delay) {
    std::lock_guard<std::mutex> hold(mLock);
    mAnswerDelay = delay;
}

void VirtualAmplifier::SetStalled(bool stalled) {
    std::lock_guard<std::mutex> hold(mLock);
    mStalled = stalled;
    mChanged.notify_all();
}

void VirtualAmplifier::UnplugAtReport(int n) {
    std::lock_guard<std::mutex> hold(mLock);
    mReportsUntilUnplug = n;
}

void VirtualAmplifier::UnplugAtFrame(uint8_t type, uint8_t subCommand, uint8_t operation, int n) {
    std::lock_guard<std::mutex> hold(mLock);
    mUnplugAtFrame = {type, subCommand, operation, n};
}

void VirtualAmplifier::FailStringReads(unsigned mask) {
    std::lock_guard<std::mutex> hold(mLock);
    mFailingStrings = mask;
}

void VirtualAmplifier::SplitAnswers(bool split) {
    std::lock_guard<std::mutex> hold(mLock);
    mSplitAnswers = split;
}

void VirtualAmplifier::GarbageBeforeAnswers(bool garbage) {
    std::lock_guard<std::mutex> hold(mLock);
    mGarbage = garbage;
}

void VirtualAmplifier::SendFrame(uint8_t type, uint8_t subCommand, uint8_t operation,
                                 const std::vector<uint8_t>& data) {
    SendRawReport(EncodeDeviceFrame(type, subCommand, operation, data));
}

void VirtualAmplifier::SendRawReport(std::vector<uint8_t> bytes) {
    std::lock_guard<std::mutex> hold(mLock);
    if (mPlugged) {
        QueueReport(std::move(bytes));
    }
}

std::vector<std::vector<uint8_t>> VirtualAmplifier::ReceivedReports() const {
    std::lock_guard<std::mutex> hold(mLock);
    return {mReceived.begin(), mReceived.end()};
}

uint64_t VirtualAmplifier::ReceivedCount() const {
    std::lock_guard<std::mutex> hold(mLock);
    return mReceivedCount;
}

void VirtualAmplifier::ClearReceived() {
    std::lock_guard<std::mutex> hold(mLock);
    mReceived.clear();
}

size_t VirtualAmplifier::PendingInputReports() const {
    std::lock_guard<std::mutex> hold(mLock);
    return mInput.size();
}

void VirtualAmplifier::SetWriteListener(
    std::function<void(const std::vector<uint8_t>& report)> listener) {
    std::lock_guard<std::mutex> hold(mListenerLock);
    mWriteListener = std::move(listener);
}

bool VirtualAmplifier::WaitForReceivedCount(uint64_t count, std::chrono::milliseconds limit) const {
    std::unique_lock<std::mutex> held(mLock);
    return mChanged.wait_for(held, limit, [&] { return mReceivedCount >= count; });
}

bool VirtualAmplifier::WaitForBlockedRead(std::chrono::milliseconds limit) const {
    std::unique_lock<std::mutex> held(mLock);
    return mReadBlocked.wait_for(held, limit, [&] { return mBlockedReads > 0 && mInput.empty(); });
}

bool VirtualAmplifier::WaitForStalledWrites(int count, std::chrono::milliseconds limit) const {
    std::unique_lock<std::mutex> held(mLock);
    return mChanged.wait_for(held, limit, [&] { return mStalledWrites >= count; });
}

void VirtualAmplifier::NotifyWrite(const std::vector<uint8_t>& report) {
    std::lock_guard<std::mutex> hold(mListenerLock);
    if (mWriteListener) {
        mWriteListener(report);
    }
}

bool VirtualAmplifier::ReachesUnplugTrigger(const HostFrame* frame) {
    if (mReportsUntilUnplug > 0 && --mReportsUntilUnplug == 0) {
        return true;
    }
    FrameTrigger& trigger = mUnplugAtFrame;
    if (frame == nullptr || trigger.framesLeft == 0 || frame->type != trigger.type ||
        frame->subCommand != trigger.subCommand || frame->operation != trigger.operation) {
        return false;
    }
    return --trigger.framesLeft == 0;
}

uint64_t VirtualAmplifier::Generation() const {
    std::lock_guard<std::mutex> hold(mLock);
    return mGeneration;
}

bool VirtualAmplifier::IsAlive(uint64_t generation) const {
    std::lock_guard<std::mutex> hold(mLock);
    return mPlugged && mGeneration == generation;
}

// Splits and decorates one answer report as the fault settings ask.
std::vector<std::vector<uint8_t>> VirtualAmplifier::Shape(const std::vector<uint8_t>& report) {
    std::vector<uint8_t> bytes = report;
    if (mGarbage) {
        bytes.insert(bytes.begin(), kGarbage.begin(), kGarbage.end());
    }
    if (mSplitAnswers && bytes.size() > 1) {
        size_t half = bytes.size() / 2;
        return {std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<long>(half)),
                std::vector<uint8_t>(bytes.begin() + static_cast<long>(half), bytes.end())};
    }
    return {bytes};
}

void VirtualAmplifier::QueueReport(std::vector<uint8_t> bytes, std::chrono::milliseconds busy) {
    bytes.resize(kInputReportBytes, 0);  // the interrupt endpoint sends whole reports
    Clock::time_point at = Clock::now() + mAnswerDelay + busy;
    if (mPaced) {
        at = std::max(at + kUsbFrame, mNextInSlot);
        mNextInSlot = at + kUsbFrame;
    }
    mInput.push_back({std::move(bytes), at});
    mChanged.notify_all();
}

void VirtualAmplifier::QueueAnswers(std::unique_lock<std::mutex>& held, const Replies& replies) {
    (void)held;
    if (mAnswersToDrop > 0) {
        --mAnswersToDrop;
        return;
    }
    const auto& reports = replies.Reports();
    for (size_t i = 0; i < reports.size(); ++i) {
        for (auto& piece : Shape(reports[i])) {
            QueueReport(std::move(piece), replies.Busy() + replies.LaterBy(i));
        }
    }
}

bool VirtualAmplifier::ParseOutputReport(const uint8_t* data, size_t length, HostFrame* frame) {
    // [0] report id, [1] AA, [2] 55, [3] L, [4] type, [5] sub, [6] op, data, checksum
    if (length < 8 || data[1] != 0xAA || data[2] != 0x55) {
        return false;
    }
    size_t frameLength = data[3];
    if (frameLength < 3 || 4 + frameLength >= length) {
        return false;
    }
    uint8_t sum = 0;
    for (size_t i = 3; i < 4 + frameLength + 1; ++i) {
        sum = static_cast<uint8_t>(sum + data[i]);
    }
    if (sum != 0) {
        return false;  // a real device ignores a corrupted frame
    }
    frame->type = data[4];
    frame->subCommand = data[5];
    frame->operation = data[6];
    frame->data.assign(data + 7, data + 4 + frameLength);
    return true;
}

int VirtualAmplifier::HostWrite(uint64_t generation, const uint8_t* data, size_t length) {
    std::unique_lock<std::mutex> held(mLock);
    auto alive = [&] { return mPlugged && mGeneration == generation; };
    if (mStalled) {
        ++mStalledWrites;
        mChanged.notify_all();  // for WaitForStalledWrites
        mChanged.wait(held, [&] { return !alive() || !mStalled; });
        --mStalledWrites;
    }
    if (!alive()) {
        return -1;
    }
    if (mPaced) {
        // One OUT transfer per frame: the write completes at the end of its slot.
        Clock::time_point slot = std::max(Clock::now(), mNextOutSlot);
        mNextOutSlot = slot + kUsbFrame;
        mChanged.wait_until(held, mNextOutSlot, [&] { return !alive(); });
        if (!alive()) {
            return -1;
        }
    }
    std::vector<uint8_t> report(data, data + std::min(length, kOutputReportBytes));
    mReceived.push_back(report);
    if (mReceived.size() > kReceivedKept) {
        mReceived.pop_front();
    }
    ++mReceivedCount;
    mChanged.notify_all();
    HostFrame frame;
    const bool parsed = ParseOutputReport(data, length, &frame);
    if (ReachesUnplugTrigger(parsed ? &frame : nullptr)) {
        mCablePulled = true;
        UnplugLocked();
        held.unlock();
        NotifyWrite(report);
        NotifyPlug(false);
        return -1;
    }
    held.unlock();
    NotifyWrite(report);
    if (!parsed) {
        return static_cast<int>(length);
    }
    Replies replies;
    {
        std::lock_guard<std::mutex> protocol(mProtocolLock);
        auto handler = mHandlers.find(HandlerKey(frame.type, frame.subCommand));
        if (handler != mHandlers.end()) {
            handler->second(frame, replies);
        } else if (mDefaultHandler) {
            mDefaultHandler(frame, replies);
        }
    }
    held.lock();
    if (alive()) {
        QueueAnswers(held, replies);
    }
    return static_cast<int>(length);
}

int VirtualAmplifier::HostRead(uint64_t generation, uint8_t* data, size_t length, int timeoutMs) {
    std::unique_lock<std::mutex> held(mLock);
    const bool forever = timeoutMs < 0;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (!mPlugged || mGeneration != generation) {
            return -1;
        }
        Clock::time_point now = Clock::now();
        if (!mInput.empty() && mInput.front().availableAt <= now) {
            std::vector<uint8_t> report = std::move(mInput.front().bytes);
            mInput.pop_front();
            size_t count = std::min(length, report.size());
            std::memcpy(data, report.data(), count);
            return static_cast<int>(count);
        }
        if (!forever && now >= deadline) {
            return 0;
        }
        Clock::time_point wakeAt = forever ? now + std::chrono::hours(1) : deadline;
        if (!mInput.empty()) {
            wakeAt = std::min(wakeAt, mInput.front().availableAt);
        }
        ++mBlockedReads;
        mReadBlocked.notify_all();
        mChanged.wait_until(held, wakeAt);
        --mBlockedReads;
    }
}

int VirtualAmplifier::HostString(uint64_t generation, int which, std::wstring* text) const {
    std::lock_guard<std::mutex> hold(mLock);
    if (!mPlugged || mGeneration != generation || (mFailingStrings & (1u << which)) != 0) {
        return -1;
    }
    switch (which) {
        case 0:
            *text = mIdentity.manufacturer;
            break;
        case 1:
            *text = mIdentity.product;
            break;
        case 2:
            *text = mIdentity.serialNumber;
            break;
        default:
            *text = mIdentity.product;
            break;
    }
    return 0;
}

}  // namespace virtual_device
