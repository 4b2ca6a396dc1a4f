// How much one answer can carry: a report is one frame in one 64-byte input
// report, 57 data bytes. A range that would not fit is answered up to the
// last entry that does, and the answer's header says so.
#pragma once

#include <algorithm>
#include <cstddef>

namespace virtual_device {

inline constexpr size_t kMaxReportData = 57;

// The last entry that fits after `header` bytes.
inline int FittingLast(int first, int last, size_t header, size_t entrySize) {
    const int room = static_cast<int>((kMaxReportData - header) / entrySize);
    return std::min(last, first + room - 1);
}

}  // namespace virtual_device
