// The members of the profile files that only models with compressors or
// karaoke effects write: each output's compressor values and switch, and
// the karaoke values. A model without these features writes none of them,
// so its files stay as they were; a file without them (from such a model or
// an older version) leaves the defaults in place.
#pragma once

#include <cjson/cJSON.h>

#include "model/profile.h"

namespace model {

// Compressor members, for the working state and for each stored scene.
void addCompressors(cJSON* parent, const Profile& p);
// Karaoke members: the amplifier has one set, kept with the working state.
void addKaraoke(cJSON* parent, const Profile& p);

// False only for a member that is there but not valid (a wrong type, a
// wrong length, a value the amplifier cannot take); nothing is read then.
bool readCompressors(const cJSON* parent, Profile& p);
bool readKaraoke(const cJSON* parent, Profile& p);

}  // namespace model
