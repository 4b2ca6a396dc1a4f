// The fixed tables behind a fresh profile: band counts and default band
// frequencies, default output types and the default crossover of a type.
#pragma once

#include "model/profile_records.h"

namespace model {

// Band count of channel c by the fixed 32-entry table (0 outside it).
int defaultBandCount(int c);
// Frequency of band i in the default table for a channel with n bands.
int defaultBandFrequency(int n, int i);
// Default output type of output i when the profile has channelCount outputs.
int defaultOutputType(int channelCount, int i);
// Crossover of a fresh channel of output type t.
Crossover defaultCrossover(int t);

}  // namespace model
