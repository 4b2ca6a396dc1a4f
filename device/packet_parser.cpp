#include "device/packet_parser.h"

#include "app/log.h"

namespace device {
namespace {

constexpr uint32_t kRingMask = PacketParser::kRingSize - 1;
constexpr uint8_t kStateAbandon = 64;

// A frame needs at least its sub-command and operation; a shorter one would
// be decoded with payload bytes left over from an earlier frame.
constexpr uint8_t kMinFrameLength = 3;

}  // namespace

void PacketParser::AppendToRing(uint8_t byte) {
    mRing[mRingWrite] = byte;
    mRingWrite = (mRingWrite + 1) & kRingMask;
}

uint8_t PacketParser::TakeFromRing() {
    mLastByte = mRing[mRingRead];
    mRingRead = (mRingRead + 1) & kRingMask;
    return mLastByte;
}

void PacketParser::Reset() {
    mRingRead = mRingWrite = 0;
    mState = 0;
    mFrame = Frame{};
}

void PacketParser::packet_process(uint8_t byte, const FrameHandler& onFrame) {
    switch (mState) {
        case 0:
            mState = byte == kSync1 ? 1 : 0;
            return;
        case 1:
            // Anything but 0x55 is skipped while waiting for it.
            mState = byte == kSync2 ? 2 : 1;
            return;
        case 2:
            mFrame.length = byte;
            mState = 3;
            return;
        case 3:
            mFrame.type = byte;
            mState = 4;
            return;
        default:
            break;
    }
    const int endState = mFrame.length + 3;
    app::Log("packet_process: temp_index(0x%02x), packet_length(0x%02x), packet_byte(0x%02x)\n",
             mState, endState & 0xFF, byte);
    if (mState == endState) {
        mState = 0;
        uint32_t expected = packet_checksum(mFrame.length, mFrame.type, mFrame.payload.data());
        if ((expected & 0xFF) == byte && mFrame.length >= kMinFrameLength && onFrame) {
            onFrame(mFrame);
        }
        return;
    }
    if (mState >= kStateAbandon) {
        mState = 0;  // too long: abandoned, this byte dropped
        return;
    }
    mFrame.payload[mState - 4] = byte;
    ++mState;
}

}  // namespace device
