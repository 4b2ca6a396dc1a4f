// Profile files on the PC: a scene profile (.spf) or a whole configuration
// (.wpf) loaded from or saved to a file the user picks. A file that cannot
// be used changes nothing: the reader takes a profile only when all of it
// was read, and nothing is sent then.
#include <span>
#include <string>
#include <vector>

#include "app/log.h"
#include "app/settings.h"
#include "controller/controller_messages.h"
#include "controller/equalizer_manager.h"
#include "model/scene_name_codec.h"

namespace controller {
namespace {

constexpr int kChineseLanguage = 1;
constexpr size_t kNameChars = 7;  // a name slot holds seven characters

using Filters = std::vector<std::pair<std::string, std::string>>;

Filters SceneFilters(bool chinese) {
    if (chinese) {
        return {{"场景配置文件(*.spf)", "*.spf"}, {"所有文件(*.*)", "*.*"}};
    }
    return {{"Scene Profile(*.spf)", "*.spf"}, {"All Files(*.*)", "*.*"}};
}

Filters WholeFilters(bool chinese) {
    if (chinese) {
        return {{"整机配置文件(*.wpf)", "*.wpf"}, {"所有文件(*.*)", "*.*"}};
    }
    return {{"Whole Config Profile(*.wpf)", "*.wpf"}, {"All Files(*.*)", "*.*"}};
}

}  // namespace

model::ProfileFile EqualizerManager::ProfileFiles() {
    return model::ProfileFile([this](const char* key) {
        if (mUi != nullptr) {
            mUi->ShowMessage("${tips}", key);
        }
    });
}

std::string EqualizerManager::ChooseProfileFile(bool whole, bool save) {
    if (mUi == nullptr) {
        return {};
    }
    const bool chinese = app::ReadLanguageSetting() == kChineseLanguage;
    FileDialogRequest request;
    request.save = save;
    request.filters = whole ? WholeFilters(chinese) : SceneFilters(chinese);
    if (save) {
        request.defaultExtension = whole ? "wpf" : "spf";
    }
    if (whole) {
        request.initialPath = mWholeConfigPath;
    }
    return mUi->ChooseFile(request);
}

bool EqualizerManager::ReadSceneFileInto(const std::string& path, bool showMessages) {
    if (!ProfileFiles().readSceneProfile(path, mProfile, showMessages)) {
        return false;
    }
    mProfile.mix2monitorChIdxs(0);
    OnProfileFileRead();
    return true;
}

// A file's tune replaced the working profile: no step of before applies to
// it, and with no amplifier connected it is a tune made offline.
void EqualizerManager::OnProfileFileRead() {
    ForgetHistory();
    NoteOfflineChange();
}

void EqualizerManager::LoadSenceConfigFromFile() {
    app::Log(">%s\n", "EqualizerManager::LoadSenceConfigFromFile");
    const std::string path = ChooseProfileFile(false, false);
    if (!path.empty()) {
        app::Log("GetOpenFileName %s ok\n", path.c_str());
        if (ReadSceneFileInto(path, true)) {
            // Without a device the job ends at once and only shows the profile.
            Post(WM_SHOW_LOADING);
            TakeJobInput(false);
            StartJob(&EqualizerManager::SetCurSceneThread);
        }
    }
    app::Log("<%s\n", "EqualizerManager::LoadSenceConfigFromFile");
}

void EqualizerManager::SaveSenceConfigToFile() {
    app::Log("%s\n", "EqualizerManager::SaveSenceConfigToFile");
    const std::string path = ChooseProfileFile(false, true);
    if (path.empty()) {
        return;
    }
    app::Log("GetSaveFileName %s ok\n", path.c_str());
    ProfileFiles().writeSceneProfile(mProfile, path, true);
}

void EqualizerManager::LoadWholeConfigFromFile() {
    app::Log("%s\n", "EqualizerManager::LoadWholeConfigFromFile");
    const std::string path = ChooseProfileFile(true, false);
    if (path.empty()) {
        return;
    }
    mWholeConfigPath = path;
    app::Log("GetOpenFileName %s ok\n", path.c_str());
    std::vector<model::Profile> scenes(mSceneProfiles.begin() + 1, mSceneProfiles.end());
    std::vector<model::SceneName> names;
    for (const std::u16string& name : mSceneNames) {
        names.push_back(model::SceneNameToBytes(name));
    }
    if (!ProfileFiles().readWholeConfig(
            path, mProfile, std::span<model::Profile, model::kStoredScenes>(scenes.data(), 10),
            std::span<model::SceneName, model::kStoredScenes>(names.data(), 10))) {
        return;
    }
    OnProfileFileRead();
    std::copy(scenes.begin(), scenes.end(), mSceneProfiles.begin() + 1);
    for (size_t k = 0; k < names.size(); ++k) {
        std::u16string name =
            model::SceneNameFromBytes(std::string(names[k].begin(), names[k].end()));
        if (name.size() > kNameChars) {
            name.resize(kNameChars);
        }
        mSceneNames[k] = name;
    }
    mProfile.mix2monitorChIdxs(0);
    Post(WM_SHOW_LOADING);
    TakeJobInput(true);
    mJobNames = names;  // the names as the file has them, not cut to a slot
    StartJob(&EqualizerManager::SetWholeProfileThread);
}

void EqualizerManager::SaveWholeConfigToFile() {
    app::Log("%s\n", "EqualizerManager::SaveWholeConfigToFile");
    const std::string path = ChooseProfileFile(true, true);
    if (path.empty()) {
        return;
    }
    mWholeConfigPath = path;
    app::Log("GetSaveFileName %s ok\n", path.c_str());
    if (!mDeviceLink->IsConnected()) {
        // Nothing to read back: a file of stale scenes would pass for the device's.
        if (mUi != nullptr) {
            mUi->ShowMessage("${tips}", "${profile_create_error}");
        }
        return;
    }
    Post(WM_SHOW_LOADING);
    TakeJobInput(false);
    StartJob(&EqualizerManager::SaveWholeSceneThread);
}

// On the UI thread, after every reply of the read-back was applied.
void EqualizerManager::WriteWholeConfigFile() {
    std::vector<model::SceneName> names;
    for (const std::u16string& name : mSceneNames) {
        names.push_back(model::SceneNameToBytes(name));
    }
    const bool written = ProfileFiles().writeWholeConfig(
        mProfile,
        std::span<const model::Profile, model::kStoredScenes>(mSceneProfiles.data() + 1, 10),
        std::span<const model::SceneName, model::kStoredScenes>(names.data(), 10),
        mWholeConfigPath);
    if (mUi != nullptr) {
        mUi->ShowMessage("${tips}", written ? "${profile_save_ok}" : "${profile_create_error}");
    }
    Post(WM_HIDE_LOADING);
}

}  // namespace controller
