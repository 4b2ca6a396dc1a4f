#include "model/profile_file.h"

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "app/log.h"
#include "model/file_bytes.h"

namespace model {

namespace {

constexpr const char* kOpenError = "${profile_open_error}";
constexpr const char* kLoadError = "${profile_load_error}";
constexpr const char* kModelMismatch = "${software_not_match}";
constexpr const char* kSaveOk = "${profile_save_ok}";
constexpr const char* kCreateError = "${profile_create_error}";

bool readFileOrComplain(const std::filesystem::path& path, std::string& text,
                        const std::function<void(const char*)>& show) {
    FileReadStatus status = readWholeFile(path, kMaxProfileFileBytes, text);
    if (status == FileReadStatus::TooLarge) {
        app::Log("profile file too large, not read\n");
    }
    if (status != FileReadStatus::Ok) {
        show(kOpenError);
        return false;
    }
    return true;
}

}  // namespace

ProfileFile::ProfileFile(MessageSink showMessage) : mShowMessage(std::move(showMessage)) {}

void ProfileFile::show(const char* key) const {
    if (mShowMessage) {
        mShowMessage(key);
    }
}

bool ProfileFile::reportRead(ProfileParseResult result, const char* notJsonKey,
                             bool showLoadError) const {
    switch (result) {
        case ProfileParseResult::Ok:
            app::Log("read profile file ok\n");
            return true;
        case ProfileParseResult::NotJson:
            show(notJsonKey);
            return false;
        case ProfileParseResult::WrongModel:
            show(kModelMismatch);
            app::Log("read profile file error! error1\n");
            return false;
        case ProfileParseResult::BadMember:
            app::Log("read profile file error! error\n");
            if (showLoadError) {
                show(kLoadError);
            }
            app::Log("read profile file error! error1\n");
            return false;
    }
    return false;
}

bool ProfileFile::writeSceneProfile(const Profile& profile, const std::filesystem::path& path,
                                    bool showMessages) {
    std::string text = sceneProfileText(profile);
    bool written = !text.empty() && writeFileReplacing(path, text);
    if (showMessages) {
        show(written ? kSaveOk : kCreateError);
    }
    return written;
}

bool ProfileFile::readSceneProfile(const std::filesystem::path& path, Profile& profile,
                                   bool showMessages) {
    std::string text;
    auto sink = [this](const char* key) { show(key); };
    return readFileOrComplain(path, text, sink) &&
           readSceneProfileText(text, profile, showMessages);
}

bool ProfileFile::readSceneProfileText(std::string_view text, Profile& profile, bool showMessages) {
    // Profiles are large; the working copy lives on the heap.
    auto staged = std::make_unique<Profile>(profile);
    bool ok = reportRead(parseSceneProfile(text, *staged), kOpenError, showMessages);
    if (ok) {
        profile = *staged;
    }
    return ok;
}

bool ProfileFile::writeWholeConfig(const Profile& live,
                                   std::span<const Profile, kStoredScenes> scenes,
                                   std::span<const SceneName, kStoredScenes> names,
                                   const std::filesystem::path& path) {
    std::string text = wholeConfigText(live, scenes, names);
    return !text.empty() && writeFileReplacing(path, text);
}

bool ProfileFile::readWholeConfig(const std::filesystem::path& path, Profile& live,
                                  std::span<Profile, kStoredScenes> scenes,
                                  std::span<SceneName, kStoredScenes> names) {
    std::string text;
    auto sink = [this](const char* key) { show(key); };
    return readFileOrComplain(path, text, sink) && readWholeConfigText(text, live, scenes, names);
}

bool ProfileFile::readWholeConfigText(std::string_view text, Profile& live,
                                      std::span<Profile, kStoredScenes> scenes,
                                      std::span<SceneName, kStoredScenes> names) {
    auto stagedLive = std::make_unique<Profile>(live);
    std::vector<Profile> stagedScenes(scenes.begin(), scenes.end());
    std::array<SceneName, kStoredScenes> stagedNames{};
    std::copy(names.begin(), names.end(), stagedNames.begin());
    ProfileParseResult result = parseWholeConfig(
        text, *stagedLive, std::span<Profile, kStoredScenes>(stagedScenes.data(), kStoredScenes),
        stagedNames);
    if (!reportRead(result, kLoadError, true)) {
        return false;
    }
    live = *stagedLive;
    std::copy(stagedScenes.begin(), stagedScenes.end(), scenes.begin());
    std::copy(stagedNames.begin(), stagedNames.end(), names.begin());
    return true;
}

}  // namespace model
