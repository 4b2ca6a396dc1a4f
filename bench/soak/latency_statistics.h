// Percentiles of latencies: of a whole run, bucketed, and of one window,
// sorted.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace soak {

// Latencies of the whole run by kind, in whole microseconds (the last
// bucket holds everything from 10 ms up); allocated and touched before the
// first sample, so they add nothing to the memory figures.
class LatencyHistogram {
public:
    LatencyHistogram() : mCounts(kBuckets, 0) {}
    void Add(int64_t ns);
    uint64_t Total() const { return mTotal; }
    // Nearest rank, in microseconds (the bucket's upper edge).
    double Percentile(double p) const;
    double MaxUs() const { return static_cast<double>(mMaxNs) / 1000.0; }

private:
    static constexpr size_t kBuckets = 10001;
    std::vector<uint64_t> mCounts;
    uint64_t mTotal = 0;
    int64_t mMaxNs = 0;
};

// Nearest rank of latencies in nanoseconds, sorted, in microseconds (0 when
// there are none).
double PercentileUs(std::vector<int64_t>& sorted, double p);

}  // namespace soak
