// The virtual amplifier: the device side of the USB HID link, behind the same
// seam as real hardware. It has the amplifier's USB identity, takes the host's
// output reports, hands each frame to the protocol handler registered for its
// packet type and sub-command, and queues the handler's answers as input
// reports. It can pace reports as a full-speed interrupt endpoint does (one
// 64-byte report per 1 ms frame each way) and inject the faults that real
// cables and devices produce.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace virtual_device {

// A frame the host sent: packet type, sub-command, operation and data.
struct HostFrame {
    uint8_t type = 0;
    uint8_t subCommand = 0;
    uint8_t operation = 0;
    std::vector<uint8_t> data;
};

// Collects a handler's answers; each frame becomes one input report.
class Replies {
public:
    void Frame(uint8_t type, uint8_t subCommand, uint8_t operation,
               const std::vector<uint8_t>& data = {});
    // Raw bytes of one input report (at most 64), for odd answers.
    void RawReport(std::vector<uint8_t> bytes);
    // The answers become readable only this long after the command arrived:
    // the device is busy (writing its flash) before it answers.
    void After(std::chrono::milliseconds busy) { mBusy = busy; }
    // A frame that becomes readable this long after the others: a second
    // report to the same command, as when the device first answers "not
    // ready" and then "ready" once it is done.
    void FrameLater(std::chrono::milliseconds later, uint8_t type, uint8_t subCommand,
                    uint8_t operation, const std::vector<uint8_t>& data = {});

    const std::vector<std::vector<uint8_t>>& Reports() const { return mReports; }
    std::chrono::milliseconds Busy() const { return mBusy; }
    // The extra wait of one report (0 unless sent with FrameLater).
    std::chrono::milliseconds LaterBy(size_t report) const;

private:
    std::vector<std::vector<uint8_t>> mReports;
    std::vector<std::chrono::milliseconds> mLater;  // one per report
    std::chrono::milliseconds mBusy{0};
};

// The device-side encoding of one frame (sync, length, type, sub-command,
// operation, data, checksum), independent of the host's framing code.
std::vector<uint8_t> EncodeDeviceFrame(uint8_t type, uint8_t subCommand, uint8_t operation,
                                       const std::vector<uint8_t>& data);

class VirtualAmplifier {
public:
    using Clock = std::chrono::steady_clock;
    using FrameHandler = std::function<void(const HostFrame&, Replies&)>;

    struct Identity {
        uint16_t vendorId = 0x0483;
        uint16_t productId = 0x5750;
        std::wstring manufacturer = L"TQ Audio";
        std::wstring product = L"TQ DSP Amplifier";
        std::wstring serialNumber;  // unique and non-empty: names the device
    };

    explicit VirtualAmplifier(std::wstring serialNumber = L"VTA3300-0001");
    ~VirtualAmplifier();
    VirtualAmplifier(const VirtualAmplifier&) = delete;
    VirtualAmplifier& operator=(const VirtualAmplifier&) = delete;

    const Identity& identity() const { return mIdentity; }

    // ---- protocol ----
    // The handler for one (packet type, sub-command); replaces an earlier one.
    void SetHandler(uint8_t type, uint8_t subCommand, FrameHandler handler);
    // The handler for frames that no specific handler takes.
    void SetDefaultHandler(FrameHandler handler);

    // ---- plugging ----
    // Pulls the cable: open handles fail from now on (a blocked read or write
    // returns -1 at once), queued reports are lost, enumeration no longer
    // lists the device.
    void Unplug();
    // Plugs it back in; handles opened before stay dead, as with real USB.
    void Plug();
    // The device's own restart: it drops off the bus, and comes back when
    // its restart is over, unless the cable was pulled meanwhile; then it
    // comes back only when plugged in again.
    void LeaveBusForRestart();
    void ReturnFromRestart();
    bool IsPlugged() const;
    // Called with true on plug and false on unplug (device notifications).
    void SetPlugListener(std::function<void(bool plugged)> listener);

    // ---- timing and faults ----
    void SetPacing(bool onePerMillisecond);
    // No answer to the next `count` output reports.
    void DropAnswers(int count);
    // Answers become readable only after this extra delay.
    void DelayAnswers(std::chrono::milliseconds delay);
    // While stalled, host writes block (until released or unplugged).
    void SetStalled(bool stalled);
    // Unplugs itself when the n-th output report from now arrives (1 = next).
    void UnplugAtReport(int n);
    // Unplugs itself when the n-th frame from now of this packet type,
    // sub-command and operation arrives (1 = next), so that a test pulls the
    // cable at a step of a job rather than at a count of reports.
    void UnplugAtFrame(uint8_t type, uint8_t subCommand, uint8_t operation, int n);
    // Bits 0..3: the manufacturer, product, serial number and indexed string
    // reads fail.
    void FailStringReads(unsigned mask);
    // Each answer frame is split across two input reports.
    void SplitAnswers(bool split);
    // Garbage bytes come before each answer frame in its report.
    void GarbageBeforeAnswers(bool garbage);

    // ---- the device speaking on its own ----
    void SendFrame(uint8_t type, uint8_t subCommand, uint8_t operation,
                   const std::vector<uint8_t>& data = {});
    void SendRawReport(std::vector<uint8_t> bytes);

    // ---- inspection ----
    // The last output reports received (65 bytes each, oldest first; up to
    // 4096 are kept) and the count of all of them.
    std::vector<std::vector<uint8_t>> ReceivedReports() const;
    uint64_t ReceivedCount() const;
    void ClearReceived();
    size_t PendingInputReports() const;

    // ---- events, for tests and benchmarks ----
    // Called with each output report as it arrives, on the writing thread,
    // outside the amplifier's lock and before the report is answered.
    void SetWriteListener(std::function<void(const std::vector<uint8_t>& report)> listener);
    // Waits until `count` output reports have arrived since the amplifier was
    // made (see ReceivedCount); false when `limit` passed first.
    bool WaitForReceivedCount(uint64_t count, std::chrono::milliseconds limit) const;
    // Waits until the host has read every answer queued so far and waits in a
    // read for more; false when `limit` passed first.
    bool WaitForBlockedRead(std::chrono::milliseconds limit) const;
    // Waits until `count` host writes are held by SetStalled; false when
    // `limit` passed first.
    bool WaitForStalledWrites(int count, std::chrono::milliseconds limit) const;

    // ---- the host side, used by the virtual HID device ----
    uint64_t Generation() const;
    bool IsAlive(uint64_t generation) const;
    int HostWrite(uint64_t generation, const uint8_t* data, size_t length);
    int HostRead(uint64_t generation, uint8_t* data, size_t length, int timeoutMs);
    // 0 and the text, or -1 when the read is set to fail. index: 0
    // manufacturer, 1 product, 2 serial number, 3 indexed string 1.
    int HostString(uint64_t generation, int which, std::wstring* text) const;

private:
    struct InputReport {
        std::vector<uint8_t> bytes;
        Clock::time_point availableAt;
    };

    void QueueAnswers(std::unique_lock<std::mutex>& held, const Replies& replies);
    void QueueReport(std::vector<uint8_t> bytes,
                     std::chrono::milliseconds busy = {});  // mLock held
    void UnplugLocked();
    void NotifyPlug(bool plugged);
    void NotifyWrite(const std::vector<uint8_t>& report);
    bool ReachesUnplugTrigger(const HostFrame* frame);  // mLock held
    std::vector<std::vector<uint8_t>> Shape(const std::vector<uint8_t>& report);
    static bool ParseOutputReport(const uint8_t* data, size_t length, HostFrame* frame);

    const Identity mIdentity;

    mutable std::mutex mLock;
    mutable std::condition_variable mChanged;
    bool mPlugged = true;
    bool mCablePulled = false;  // by Unplug, until Plug
    uint64_t mGeneration = 1;
    bool mPaced = false;
    Clock::time_point mNextOutSlot{};
    Clock::time_point mNextInSlot{};
    int mAnswersToDrop = 0;
    std::chrono::milliseconds mAnswerDelay{0};
    bool mStalled = false;
    int mReportsUntilUnplug = 0;
    struct FrameTrigger {
        uint8_t type = 0;
        uint8_t subCommand = 0;
        uint8_t operation = 0;
        int framesLeft = 0;  // 0: no trigger set
    } mUnplugAtFrame;
    int mBlockedReads = 0;                         // host reads waiting with nothing to read
    int mStalledWrites = 0;                        // host writes held while stalled
    mutable std::condition_variable mReadBlocked;  // with mLock, when a read starts waiting
    unsigned mFailingStrings = 0;
    bool mSplitAnswers = false;
    bool mGarbage = false;
    std::deque<InputReport> mInput;
    std::deque<std::vector<uint8_t>> mReceived;
    uint64_t mReceivedCount = 0;

    // Handlers run outside mLock, one frame at a time.
    std::mutex mProtocolLock;
    std::map<uint16_t, FrameHandler> mHandlers;  // guarded by mProtocolLock
    FrameHandler mDefaultHandler;                // guarded by mProtocolLock

    std::mutex mListenerLock;
    std::function<void(bool)> mPlugListener;                          // guarded by mListenerLock
    std::function<void(const std::vector<uint8_t>&)> mWriteListener;  // guarded by mListenerLock
};

}  // namespace virtual_device
