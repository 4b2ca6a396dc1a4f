// Reassembly of the device's byte stream into frames: the receive ring and
// the byte-wise state machine. Its state persists between reads, so a frame
// split over two input reports is put back together. One consumer at a time.
#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "device/packet.h"

namespace device {

// A good frame: its length byte, packet type and payload (payload[0] the
// sub-command, payload[1] the operation, payload[2..] the data).
struct Frame {
    uint8_t length = 0;
    uint8_t type = 0;
    std::array<uint8_t, kMaxPayloadBytes> payload{};

    uint8_t subCommand() const { return payload[0]; }
    uint8_t operation() const { return payload[1]; }
    const uint8_t* data() const { return payload.data() + 2; }
    // Number of data bytes after the sub-command and operation.
    int dataLength() const { return length - 3; }
};

class PacketParser {
public:
    using FrameHandler = std::function<void(const Frame&)>;

    static constexpr uint32_t kRingSize = 1024;

    // Stores a byte at the write index. There is no overflow check: the
    // ring is drained after every read, which brings at most 64 bytes.
    void AppendToRing(uint8_t byte);
    bool RingEmpty() const { return mRingRead == mRingWrite; }
    // Takes the byte at the read index and remembers it as the last byte.
    uint8_t TakeFromRing();
    uint8_t LastByte() const { return mLastByte; }

    // Feeds one byte to the state machine; calls onFrame for a good frame.
    void packet_process(uint8_t byte, const FrameHandler& onFrame);

    uint8_t State() const { return mState; }
    void Reset();

private:
    std::array<uint8_t, kRingSize> mRing{};
    uint32_t mRingWrite = 0;
    uint32_t mRingRead = 0;
    uint8_t mState = 0;  // 0 wait AA, 1 wait 55, 2 length, 3 type, 4.. frame position
    Frame mFrame;
    uint8_t mLastByte = 0;
};

}  // namespace device
