// What one step changed in the working profile, kept as the bytes that
// differ: a band drag keeps a few dozen bytes where a copy of the profile
// would keep half a megabyte, so the history holds hundreds of steps in
// little memory. The response curves are left out; they are computed again
// from what the step restores.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/profile.h"

namespace controller {

class ProfileDelta {
public:
    // The bytes of `after` that differ from `before`.
    static ProfileDelta Between(const model::Profile& before, const model::Profile& after);

    bool Empty() const { return mRuns.empty(); }
    // The bytes the delta keeps, both sides.
    size_t Bytes() const;

    // Puts back the bytes the step changed, as they were before it or after it.
    void RestoreBefore(model::Profile& profile) const;
    void RestoreAfter(model::Profile& profile) const;

private:
    struct Run {
        uint32_t offset = 0;
        std::vector<uint8_t> before;
        std::vector<uint8_t> after;
    };
    std::vector<Run> mRuns;
};

}  // namespace controller
