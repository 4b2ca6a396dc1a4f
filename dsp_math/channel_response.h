// The response curve of one output channel (crossover plus every EQ band)
// into the profile's caches: the high- and low-pass curves of the channel,
// and its total magnitude and phase over the 512-point grid. Runs on every
// edit and while a band is dragged.
#pragma once

#include "model/profile.h"

namespace dsp {

// flatBands draws every band flat (the channel's EQ is bypassed). Channels
// outside the curve rows are ignored.
void channelResponse(model::Profile& profile, int channel, bool flatBands);

}  // namespace dsp
