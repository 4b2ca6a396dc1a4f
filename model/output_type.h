// Output types (speaker roles) and their display language keys.
#pragma once

namespace model {

inline constexpr int kOutputTypeEmpty = 0;
inline constexpr int kMaxOutputType = 30;

// The language key of type t ("output_item_empty", ...), or nullptr when the
// type has no name in this build (25 and 26, and 27..30 without the KESTO
// naming).
const char* outputTypeKey(int t);

}  // namespace model
