// The part of the working profile that is the tuning, as undo and an offline
// tune take it back or send it: every output's switches, crossover, bands and
// type, the routing of the source playing, the mixer, the compressors and the
// link groups. What the listener hears the tuning through is not part of it:
// the source, the main volume and the main mute (taking back a source change
// would play another source, and a main volume must never rise by itself).
// Neither are the link mode, the output lock and the bridges: each is a
// decision the amplifier confirms, with its own copy of settings.
#pragma once

#include "model/profile.h"

namespace controller {

// Whether the tunings of the two profiles differ in anything the amplifier
// is sent or the links follow.
bool TuningDiffers(const model::Profile& a, const model::Profile& b);

// The tuning of `from` into `to`; the rest of `to` stays. The current output
// comes along, so the page shows the output the tuning was made on.
void CopyTuning(const model::Profile& from, model::Profile& to);

}  // namespace controller
