// The device link: the one object through which the program talks to the
// amplifier. This header holds its transport (opening, closing, writing one
// output report, reading input reports with a time-out) and its framing
// (building frames, reassembling and dispatching the device's frames).
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "device/hid_seam.h"
#include "device/packet.h"
#include "device/packet_parser.h"

namespace device {

class DeviceLink {
public:
    explicit DeviceLink(std::shared_ptr<HidBackend> backend);
    virtual ~DeviceLink();
    DeviceLink(const DeviceLink&) = delete;
    DeviceLink& operator=(const DeviceLink&) = delete;

    // ---- transport ----

    // Opens the device at `path`, or the first amplifier when the path is
    // empty; reads and logs its four string descriptors and refuses a device
    // of which three or more cannot be read. IsConnected() tells the result.
    void OpenHIDDevice(const std::string& path);

    // Closes the device; with notifyDevice, first tells it that the PC lets
    // go (PC_Connect 0, no reply awaited). Does nothing when closed.
    void CloseHIDDevice(bool notifyDevice);

    bool IsConnected() const;

    // Writes one 65-byte output report. A second writer waits at most
    // 2000 ms for the first; false when not connected, timed out or failed.
    bool WriteReport(const uint8_t* report);

    // Reads one input report (waiting at most timeoutMs) into buffer (at
    // least 64 bytes), feeds its bytes to the frame parser and dispatches the
    // frames it completes. True when at least one byte arrived.
    bool ReadHIDData(uint8_t* buffer, int timeoutMs);

    // ---- framing ----

    // Frames one command and writes it; never waits for the reply.
    bool SendCtrlCommand(uint8_t type, uint8_t subCommand, uint8_t operation, const uint8_t* data,
                         uint8_t dataLength);

    // Sees every good frame after its decoder ran (tests, upgrade protocol).
    void SetFrameTap(std::function<void(const Frame&)> tap);

    int BytesRead() const { return mBytesRead.load(); }
    bool IsHidBusy() const { return mHidBusy.load(); }

protected:
    // Called for each good frame, on the thread that read it.
    virtual void DispatchFrame(const Frame& frame);

    std::shared_ptr<HidDevice> Handle() const;

    // Drains the receive ring through the parser while connected.
    void DrainRing();

    std::shared_ptr<HidBackend> mBackend;

    mutable std::mutex mHandleLock;
    std::shared_ptr<HidDevice> mHidHandle;  // guarded by mHandleLock; null = not connected

    std::array<uint8_t, kOutputReportSize> mReadBuffer{};
    std::atomic<int> mBytesRead{0};
    std::atomic<bool> WRITE_ROPRT{false};  // a report write is in progress
    std::atomic<bool> mHidBusy{false};

    // Serialises writers; a second writer polls it for at most 2000 ms.
    std::timed_mutex mWriteLock;
    // One reader at a time owns the receive ring and the parser state.
    std::recursive_mutex mReadLock;
    PacketParser mParser;  // guarded by mReadLock

    std::mutex mTapLock;
    std::function<void(const Frame&)> mFrameTap;  // guarded by mTapLock
};

}  // namespace device
