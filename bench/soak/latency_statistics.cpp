#include "bench/soak/latency_statistics.h"

#include <algorithm>
#include <cmath>

namespace soak {

void LatencyHistogram::Add(int64_t ns) {
    const size_t us = static_cast<size_t>(std::max<int64_t>(ns, 0) / 1000);
    ++mCounts[std::min(us, kBuckets - 1)];
    ++mTotal;
    mMaxNs = std::max(mMaxNs, ns);
}

double LatencyHistogram::Percentile(double p) const {
    const uint64_t rank = static_cast<uint64_t>(std::ceil(p * static_cast<double>(mTotal)));
    uint64_t seen = 0;
    for (size_t us = 0; us < kBuckets; ++us) {
        seen += mCounts[us];
        if (seen >= rank && seen > 0) {
            return static_cast<double>(us + 1);
        }
    }
    return 0.0;
}

double PercentileUs(std::vector<int64_t>& sorted, double p) {
    if (sorted.empty()) {
        return 0.0;
    }
    const size_t rank = static_cast<size_t>(std::ceil(p * static_cast<double>(sorted.size())));
    return static_cast<double>(sorted[std::clamp<size_t>(rank, 1, sorted.size()) - 1]) / 1000.0;
}

}  // namespace soak
