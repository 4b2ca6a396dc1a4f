// Bounds-checked reading of a frame's data bytes for the reply decoders. A
// frame from the device may be shorter than its report type needs; reads past
// its data return 0 and Has() tells the decoder to drop what is missing.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "device/packet_parser.h"
#include "platform/message_post.h"

namespace device {

class FrameReader {
public:
    explicit FrameReader(const Frame& frame)
        : mData(frame.data()), mLength(frame.dataLength() > 0 ? frame.dataLength() : 0) {}

    int Length() const { return mLength; }
    // Whether the data holds bytes [0, count).
    bool Has(int count) const { return count <= mLength; }

    uint8_t U8(int index) const { return index >= 0 && index < mLength ? mData[index] : 0; }
    int8_t S8(int index) const { return static_cast<int8_t>(U8(index)); }
    uint16_t U16(int index) const { return static_cast<uint16_t>(U8(index) << 8 | U8(index + 1)); }

    // Visits every channel from first to last whose entry of entrySize bytes,
    // starting at headerBytes, lies within the data: visit(channel, offset).
    // A last channel below the first visits nothing.
    template <typename Visit>
    void ForEachEntry(int headerBytes, int first, int last, int entrySize, Visit visit) const {
        for (int channel = first; channel <= last; ++channel) {
            const int offset = headerBytes + (channel - first) * entrySize;
            if (!Has(offset + entrySize)) {
                return;
            }
            visit(channel, offset);
        }
    }

    // One byte per channel, first..last, into values[channel]; channels
    // beyond the array are dropped.
    template <size_t N>
    void ReadChannelBytes(int headerBytes, int first, int last,
                          std::array<uint8_t, N>& values) const {
        ForEachEntry(headerBytes, first, last, 1, [&](int channel, int at) {
            if (channel >= 0 && channel < static_cast<int>(N)) {
                values[static_cast<size_t>(channel)] = U8(at);
            }
        });
    }

private:
    const uint8_t* mData;
    int mLength;
};

template <typename T>
void PostRecord(platform::WindowHandle target, uint32_t message, uintptr_t wParam, T record) {
    platform::PostMessage(target, message, wParam, 0, platform::MakeRecord(std::move(record)));
}

inline void PostValue(platform::WindowHandle target, uint32_t message, uintptr_t wParam,
                      intptr_t value) {
    platform::PostMessage(target, message, wParam, value);
}

}  // namespace device
