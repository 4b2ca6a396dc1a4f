#include "controller/profile_delta.h"

#include <cstring>
#include <type_traits>

namespace controller {
namespace {

static_assert(std::is_trivially_copyable_v<model::Profile>,
              "the history keeps the profile as bytes");

// Runs closer than this are kept as one, so that a band (a few fields) is one run.
constexpr size_t kJoinGap = 16;

const uint8_t* BytesOf(const model::Profile& p) {
    return reinterpret_cast<const uint8_t*>(&p);
}

// The response curves lie together, from the high-pass magnitudes to the
// bands that follow the curves.
struct Skipped {
    size_t first;
    size_t end;
};

Skipped CurveBytes(const model::Profile& p) {
    const uint8_t* base = BytesOf(p);
    return {static_cast<size_t>(reinterpret_cast<const uint8_t*>(&p.hpMagnitude) - base),
            static_cast<size_t>(reinterpret_cast<const uint8_t*>(&p.eqBands) - base)};
}

}  // namespace

ProfileDelta ProfileDelta::Between(const model::Profile& before, const model::Profile& after) {
    ProfileDelta delta;
    const uint8_t* a = BytesOf(before);
    const uint8_t* b = BytesOf(after);
    const Skipped curves = CurveBytes(before);
    size_t i = 0;
    while (i < sizeof(model::Profile)) {
        if (i == curves.first) {
            i = curves.end;
            continue;
        }
        if (a[i] == b[i]) {
            ++i;
            continue;
        }
        // A run goes on while the next difference is near and not in the curves.
        size_t end = i + 1;
        for (size_t j = end; j < sizeof(model::Profile) && j < end + kJoinGap; ++j) {
            if (j == curves.first) {
                break;
            }
            if (a[j] != b[j]) {
                end = j + 1;
            }
        }
        Run run;
        run.offset = static_cast<uint32_t>(i);
        run.before.assign(a + i, a + end);
        run.after.assign(b + i, b + end);
        delta.mRuns.push_back(std::move(run));
        i = end;
    }
    return delta;
}

size_t ProfileDelta::Bytes() const {
    size_t bytes = 0;
    for (const Run& run : mRuns) {
        bytes += run.before.size() + run.after.size();
    }
    return bytes;
}

void ProfileDelta::RestoreBefore(model::Profile& profile) const {
    auto* bytes = reinterpret_cast<uint8_t*>(&profile);
    for (const Run& run : mRuns) {
        std::memcpy(bytes + run.offset, run.before.data(), run.before.size());
    }
}

void ProfileDelta::RestoreAfter(model::Profile& profile) const {
    auto* bytes = reinterpret_cast<uint8_t*>(&profile);
    for (const Run& run : mRuns) {
        std::memcpy(bytes + run.offset, run.after.data(), run.after.size());
    }
}

}  // namespace controller
