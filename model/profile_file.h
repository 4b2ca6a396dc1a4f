// Reads and writes scene profiles (.spf) and whole configurations (.wpf).
// Failures are told to the user through the owner's message box, given here
// as a sink for language keys ("${profile_open_error}", ...), and traced to
// the log.
//
// Reading is all or nothing: a file that cannot be used leaves every
// profile and scene name it would have filled exactly as it was. Saving
// writes beside the target and renames over it, so a failed save never
// leaves a truncated file in place of a good one.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <span>
#include <string_view>

#include "model/profile.h"
#include "model/profile_json.h"

namespace model {

// The largest profile file read. A whole configuration of this model prints
// to about 0.2 MB (under 0.5 MB with every value fractional) and the largest
// possible one (34 channels of 31 bands, eleven times) to under 2 MB; 8 MiB
// leaves room for a file re-indented by hand, while a huge or endless file
// is refused before anything is parsed.
inline constexpr size_t kMaxProfileFileBytes = 8u << 20;

class ProfileFile {
public:
    using MessageSink = std::function<void(const char* languageKey)>;

    explicit ProfileFile(MessageSink showMessage = {});

    bool writeSceneProfile(const Profile& profile, const std::filesystem::path& path,
                           bool showMessages);
    bool readSceneProfile(const std::filesystem::path& path, Profile& profile, bool showMessages);

    bool writeWholeConfig(const Profile& live, std::span<const Profile, kStoredScenes> scenes,
                          std::span<const SceneName, kStoredScenes> names,
                          const std::filesystem::path& path);
    bool readWholeConfig(const std::filesystem::path& path, Profile& live,
                         std::span<Profile, kStoredScenes> scenes,
                         std::span<SceneName, kStoredScenes> names);

    // The same reads from text already in memory (the file's content).
    bool readSceneProfileText(std::string_view text, Profile& profile, bool showMessages);
    bool readWholeConfigText(std::string_view text, Profile& live,
                             std::span<Profile, kStoredScenes> scenes,
                             std::span<SceneName, kStoredScenes> names);

private:
    void show(const char* key) const;
    bool reportRead(ProfileParseResult result, const char* notJsonKey, bool showLoadError) const;

    MessageSink mShowMessage;
};

}  // namespace model
