// The scene, source and channel range that most DSP commands start with.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace device {

struct ChannelRange {
    uint8_t scene = 0;
    uint8_t source = 0;
    uint8_t first = 0;
    uint8_t last = 0;
};

inline std::vector<uint8_t> RangePrefix(const ChannelRange& range) {
    return {range.scene, range.source, range.first, range.last};
}

// Entries of a range from first to last inclusive; none when the last
// channel is below the first.
inline size_t EntryCount(const ChannelRange& range) {
    return range.last < range.first ? 0 : static_cast<size_t>(range.last - range.first + 1);
}

}  // namespace device
