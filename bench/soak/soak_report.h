// The figures at the end of the soak and its checks.
#pragma once

#include <cstdint>

#include "bench/soak/change_recorder.h"

namespace soak {

// Prints the whole run by kind and the checks; whether every check held.
// `reports` is how many the amplifier received during the paced soak.
bool PrintReport(const ChangeRecorder& recorder, uint64_t reports, double seconds);

}  // namespace soak
