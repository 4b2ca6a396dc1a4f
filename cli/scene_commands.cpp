// scene list | save N [NAME] | load N | delete N: the amplifier's ten scene
// slots, through the program's own scene jobs.
#include <cstdio>
#include <string>

#include "cli/amplifier_session.h"
#include "cli/commands.h"
#include "cli/json_out.h"
#include "cli/progress_report.h"
#include "jobs/scene_slot_jobs.h"
#include "model/scene_name_codec.h"
#include "model/units.h"
#include "platform/text_util.h"

namespace cli {
namespace {

constexpr const char* kUsage = "scene list | scene save N [NAME] | scene load N | scene delete N";
// A slot holds seven characters and its terminator.
constexpr size_t kMaxNameChars = 7;

std::string Utf8Of(const std::u16string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t unit = text[i];
        if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < text.size()) {
            unit = 0x10000 + ((unit - 0xD800) << 10) + (text[++i] - 0xDC00);
        }
        platform::AppendUtf8(out, unit);
    }
    return out;
}

std::string NameText(const model::SceneName& bytes) {
    size_t length = 0;
    while (length < bytes.size() && bytes[length] != 0) {
        ++length;
    }
    std::u16string name =
        model::SceneNameFromBytes(std::string(bytes.begin(), bytes.begin() + length));
    if (name.size() > kMaxNameChars) {
        name.resize(kMaxNameChars);
    }
    return Utf8Of(name);
}

bool IsStored(const jobs::DeviceProfiles& profiles, int scene) {
    return (profiles.storedMask >> (scene - 1) & 1u) != 0;
}

// 1..10, or nothing for anything else ("3x", "0", "11", "").
std::optional<int> SceneNumber(const std::string& text) {
    if (text.empty() || text.size() > 2 ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        return std::nullopt;
    }
    const int scene = std::stoi(text);
    if (scene < jobs::kFirstSceneSlot || scene > jobs::kLastSceneSlot) {
        return std::nullopt;
    }
    return scene;
}

int ListScenes(AmplifierSession& session, bool json) {
    const std::unique_ptr<jobs::DeviceProfiles> profiles = session.Pump().Snapshot();
    JsonPtr all = NewJsonArray();
    for (int scene = jobs::kFirstSceneSlot; scene <= jobs::kLastSceneSlot; ++scene) {
        const bool stored = IsStored(*profiles, scene);
        const std::string name =
            stored ? NameText(profiles->names[static_cast<size_t>(scene - 1)]) : "";
        if (json) {
            cJSON* item = cJSON_CreateObject();
            cJSON_AddNumberToObject(item, "scene", scene);
            cJSON_AddBoolToObject(item, "stored", stored);
            cJSON_AddStringToObject(item, "name", name.c_str());
            cJSON_AddItemToArray(all.get(), item);
        } else {
            std::printf("%d\t%s\t%s\n", scene, stored ? "stored" : "empty", name.c_str());
        }
    }
    if (json) {
        PrintJson(all.get());
    }
    return kExitDone;
}

std::optional<Failure> CheckName(const std::u16string& name, int scene,
                                 const jobs::DeviceProfiles& profiles) {
    if (name.empty() || name.size() > kMaxNameChars) {
        return Failure{kExitBadArguments, "a scene name has 1 to 7 characters"};
    }
    const std::string text = Utf8Of(name);
    for (int other = jobs::kFirstSceneSlot; other <= jobs::kLastSceneSlot; ++other) {
        if (other != scene && IsStored(profiles, other) &&
            NameText(profiles.names[static_cast<size_t>(other - 1)]) == text) {
            return Failure{kExitBadArguments, "scene " + std::to_string(other) +
                                                  " is already named '" + text +
                                                  "'; choose another name"};
        }
    }
    return std::nullopt;
}

int SaveScene(AmplifierSession& session, int scene, const std::u16string& name) {
    if (auto failure = CheckName(name, scene, *session.Pump().Snapshot())) {
        return Report(*failure);
    }
    ProgressReport report(session.Pump(), "saving", session.Quiet());
    const std::array<uint8_t, 16> bytes = model::SceneNameToBytes(name);
    jobs::SceneNameBytes slotName{};
    std::copy(bytes.begin(), bytes.end(), slotName.begin());
    const jobs::JobOutcome outcome = jobs::SaveSceneSlot(session.Link(), scene, slotName, report);
    if (auto failure = session.OutcomeFailure(outcome, "saving the scene")) {
        return Report(*failure);
    }
    return kExitDone;
}

int LoadScene(AmplifierSession& session, int scene) {
    if (!IsStored(*session.Pump().Snapshot(), scene)) {
        return Report({kExitBadArguments,
                       "scene " + std::to_string(scene) + " is empty; see 'tq-dsp scene list'"});
    }
    ProgressReport report(session.Pump(), "loading", session.Quiet());
    std::optional<Failure> readFailure;
    const jobs::JobOutcome outcome = jobs::LoadSceneSlot(
        session.Link(), scene,
        [&] {
            readFailure = session.ReadWorkingState();
            return !readFailure.has_value();
        },
        report);
    if (readFailure) {
        return Report(*readFailure);
    }
    if (auto failure = session.OutcomeFailure(outcome, "loading the scene")) {
        return Report(*failure);
    }
    return kExitDone;
}

int DeleteScene(AmplifierSession& session, int scene) {
    ProgressReport report(session.Pump(), "deleting", session.Quiet());
    const jobs::JobOutcome outcome = jobs::DeleteSceneSlot(session.Link(), scene, report);
    if (auto failure = session.OutcomeFailure(outcome, "deleting the scene")) {
        return Report(*failure);
    }
    return kExitDone;
}

}  // namespace

int SceneCommand(const Arguments& arguments, const Words& words) {
    const std::string action = words.empty() ? "" : words[0];
    const bool list = action == "list" && words.size() == 1;
    const bool save = action == "save" && (words.size() == 2 || words.size() == 3);
    const bool loadOrDelete = (action == "load" || action == "delete") && words.size() == 2;
    if (!list && !save && !loadOrDelete) {
        return Report({kExitBadArguments, std::string("usage: tq-dsp ") + kUsage});
    }
    std::optional<int> scene;
    if (!list) {
        scene = SceneNumber(words[1]);
        if (!scene) {
            return Report(
                {kExitBadArguments, "bad scene number '" + words[1] + "'; scenes are 1 to 10"});
        }
    }
    const std::u16string name =
        words.size() == 3 ? model::utf8ToWide(words[2])
                          : model::utf8ToWide("Scene" + std::to_string(scene.value_or(0)));
    if (save && (name.empty() || name.size() > kMaxNameChars)) {
        return Report({kExitBadArguments, "a scene name has 1 to 7 characters"});
    }
    AmplifierSession session(arguments);
    std::optional<Failure> failure = session.Start();
    if (!failure) {
        failure = session.Connect();
    }
    if (failure) {
        return Report(*failure);
    }
    if (list) {
        return ListScenes(session, arguments.json);
    }
    if (save) {
        return SaveScene(session, *scene, name);
    }
    return action == "load" ? LoadScene(session, *scene) : DeleteScene(session, *scene);
}

}  // namespace cli
