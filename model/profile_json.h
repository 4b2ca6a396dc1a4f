// The JSON encoding of scene profiles (.spf) and whole configurations (.wpf):
// cJSON's unformatted text, members in a fixed order. The parse functions
// write into the profiles they are given even when they fail part way, so
// callers hand them copies (ProfileFile does).
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "model/profile.h"

namespace model {

inline constexpr int kStoredScenes = 10;
inline constexpr int kSceneNameBytes = 16;
using SceneName = std::array<uint8_t, kSceneNameBytes>;

enum class ProfileParseResult { Ok, NotJson, WrongModel, BadMember };

// Empty when the text could not be built (out of memory).
std::string sceneProfileText(const Profile& profile);
std::string wholeConfigText(const Profile& live, std::span<const Profile, kStoredScenes> scenes,
                            std::span<const SceneName, kStoredScenes> names);

ProfileParseResult parseSceneProfile(std::string_view text, Profile& profile);
ProfileParseResult parseWholeConfig(std::string_view text, Profile& live,
                                    std::span<Profile, kStoredScenes> scenes,
                                    std::span<SceneName, kStoredScenes> names);

}  // namespace model
