// Reads the profile files. Every required member must be present with its
// JSON type and exact array length; values that later serve as indices
// (source, current channel, link partners, output types, band counts) must
// lie in their ranges, so a crafted file cannot steer the program outside
// its arrays.
#include <cjson/cJSON.h>

#include <algorithm>
#include <memory>

#include "app/model_cfg.h"
#include "model/base64.h"
#include "model/json_fields.h"
#include "model/output_type.h"
#include "model/profile_json.h"
#include "model/profile_json_features.h"

namespace model {

namespace {

constexpr int kMixInputChannels = 10;

using JsonPtr = std::unique_ptr<cJSON, decltype(&cJSON_Delete)>;
using json::IntRange;

const app::ModelCfg& cfg() {
    return app::CurrentModelCfg();
}
int outputCount() {
    return std::clamp(cfg().mOUT_CHANNEL_NUMBER, 0, kOutputSlots);
}
int inputCount() {
    return std::clamp(cfg().mMAX_INPUT_CHANNEL_NUMBER, 0, kSourceColumns);
}

bool readSection(const cJSON* parent, const char* key, FilterSection& s) {
    const cJSON* obj = json::object(parent, key);
    return obj != nullptr && json::readInt(obj, "fs", s.fs) && json::readInt(obj, "type", s.type) &&
           json::readInt(obj, "slope", s.slope) && json::readInt(obj, "bypass", s.bypass);
}

bool readCrossover(const cJSON* parent, Crossover& x) {
    const cJSON* obj = json::object(parent, "crossover");
    return obj != nullptr && json::readInt(obj, "bpType", x.bpType) &&
           readSection(obj, "hp", x.hp) && readSection(obj, "lp", x.lp);
}

// The band's type is not stored in files; a band read keeps its type.
bool readBand(const cJSON* obj, EqBand& band) {
    double enable = 0.0;
    if (!cJSON_IsObject(obj) || !json::readNumber(cJSON_GetObjectItem(obj, "enable"), enable)) {
        return false;
    }
    band.enable = enable != 0.0;
    return json::readInt(obj, "freq", band.freq) &&
           json::readFloat(obj, "eqFactor", band.eqFactor) &&
           json::readFloat(obj, "eqGain", band.eqGain);
}

bool readBands(const cJSON* parent, int count, EqBand* bands) {
    const cJSON* list = json::array(parent, "eqArray", count);
    if (list == nullptr || bands == nullptr) {
        return false;
    }
    int i = 0;
    for (const cJSON* item = list->child; item != nullptr && i < count; item = item->next) {
        if (!readBand(item, bands[i++])) {
            return false;
        }
    }
    return true;
}

bool readChannel(const cJSON* obj, Profile& p, int c) {
    Channel& ch = p.channels[c];
    int32_t bypass = 0;
    if (!cJSON_IsObject(obj) || !json::readInt(obj, "eqSize", ch.eqSize, {0, kBandsPerChannel}) ||
        !json::readFloat(obj, "gain", ch.gain) || !json::readInt(obj, "mute", ch.mute) ||
        !json::readFloat(obj, "delay", ch.delay) || !json::readInt(obj, "solo", ch.solo) ||
        !json::readInt(obj, "phase", ch.phase) || !json::readInt(obj, "bypass", bypass)) {
        return false;
    }
    ch.bypass = (bypass & 0xFF) != 0;  // only the low byte counts
    return readCrossover(obj, ch.crossover) && readBands(obj, ch.eqSize, p.eqArray(c));
}

bool readChannels(const cJSON* parent, Profile& p) {
    const cJSON* list = json::array(parent, "channels", outputCount());
    if (list == nullptr) {
        return false;
    }
    int c = 0;
    for (const cJSON* item = list->child; item != nullptr && c < outputCount(); item = item->next) {
        if (!readChannel(item, p, c++)) {
            return false;
        }
    }
    return true;
}

// Reads an array of rowCount rows of columns numbers into rows[r][0..columns).
template <typename Rows>
bool readRows(const cJSON* list, Rows& rows, int rowCount, int columns) {
    if (!cJSON_IsArray(list) || cJSON_GetArraySize(list) != rowCount ||
        rowCount > static_cast<int>(rows.size())) {
        return false;
    }
    int r = 0;
    for (const cJSON* row = list->child;
         row != nullptr && r < rowCount && r < static_cast<int>(rows.size());
         row = row->next, ++r) {
        if (!json::readIntRow(row, rows[r].data(), columns)) {
            return false;
        }
    }
    return true;
}

template <typename Rows>
bool readRows(const cJSON* parent, const char* key, Rows& rows, int rowCount, int columns) {
    return readRows(cJSON_GetObjectItem(parent, key), rows, rowCount, columns);
}

bool readMixVolume(const cJSON* parent, Profile& p) {
    if (!cfg().mENABLE_INPUT_MIXER) {
        return true;
    }
    const cJSON* sources = json::array(parent, "inputMixVolume", kSourceCount);
    if (sources == nullptr) {
        return false;
    }
    int s = 0;
    for (const cJSON* rows = sources->child; rows != nullptr && s < kSourceCount;
         rows = rows->next, ++s) {
        if (!readRows(rows, p.inputMixVolume[s], kMixInputChannels, outputCount())) {
            return false;
        }
    }
    return true;
}

// The cross-source arrays are optional: each is taken only when it is
// complete and well formed, and skipped otherwise.
void readOptionalRows(const cJSON* parent, const char* key,
                      Grid2<int32_t, kSourceCount, kSourceColumns>& target) {
    Grid2<int32_t, kSourceCount, kSourceColumns> scratch = target;
    if (readRows(parent, key, scratch, kSourceCount, kMixInputChannels)) {
        target = scratch;
    }
}

void readCrossSource(const cJSON* parent, Profile& p) {
    if (!cfg().mENABLE_CROSS_SOURCE_MIX && !cfg().mMXIER_CMD_FORMAT_CS47048) {
        return;
    }
    readOptionalRows(parent, "csmViceSource", p.csmViceSource);
    readOptionalRows(parent, "csmViceCh", p.csmViceCh);
    readOptionalRows(parent, "csmViceGain", p.csmViceGain);
}

bool readRoutingAndMix(const cJSON* parent, Profile& p) {
    return readChannels(parent, p) &&
           readRows(parent, "inputs", p.inputs, kSourceCount, outputCount()) &&
           readMixVolume(parent, p);
}

bool readOutputsAndLinks(const cJSON* parent, Profile& p, bool withBridge) {
    const int out = outputCount();
    const IntRange type{0, kMaxOutputType};
    return json::readIntRow(parent, "outputs", p.outputs.data(), out, type) &&
           json::readIntRow(parent, "outputs_bk", p.outputs_bk.data(), out, type) &&
           json::readIntRow(parent, "linkOutputs", p.linkOutputs.data(), out, {-1, out - 1}) &&
           (!withBridge ||
            json::readIntRow(parent, "bridgeOutputs", p.bridgeOutputs.data(), out / 2)) &&
           json::readIntRow(parent, "showOutChEqualizer", p.showOutChEqualizer.data(), out) &&
           json::readInt(parent, "currOutChannel", p.currOutChannel, {0, out - 1}) &&
           json::readInt(parent, "linkMode", p.linkMode) &&
           json::readInt(parent, "lockMode", p.lockMode);
}

bool readInputThreshold(const cJSON* parent, Profile& p) {
    return !cfg().mENABLE_NOISE_THRESHOLD ||
           json::readInt(parent, "inputThreshold", p.inputThreshold);
}

bool readPowerOffDelay(const cJSON* parent, Profile& p) {
    int32_t value = 0;
    if (!cfg().mENABLE_POWEROFF_DELAY) {
        return true;
    }
    if (!json::readInt(parent, "powerOffDelay", value)) {
        return false;
    }
    p.powerOffDelay = static_cast<uint32_t>(value);
    return true;
}

bool readInMixPhase(const cJSON* parent, Profile& p) {
    return readRows(parent, "inMixPhase", p.inMixPhase, kSourceCount, inputCount());
}

bool readHeaderNumbers(const cJSON* root, Profile& p) {
    return json::readInt(root, "source", p.source, {0, kSourceCount - 1}) &&
           json::readInt(root, "mainVolume", p.mainVolume) && json::readInt(root, "acc", p.acc) &&
           json::readInt(root, "subVolume", p.subVolume) &&
           json::readInt(root, "mainVolumeMute", p.mainVolumeMute);
}

bool readSceneNames(const cJSON* root, std::span<SceneName, kStoredScenes> names) {
    const cJSON* list = json::array(root, "sceneName", kStoredScenes);
    if (list == nullptr) {
        return false;
    }
    int i = 0;
    for (const cJSON* item = list->child; item != nullptr && i < kStoredScenes;
         item = item->next, ++i) {
        if (!cJSON_IsString(item)) {
            return false;
        }
        std::vector<uint8_t> bytes = decodeBase64(item->valuestring);
        names[i].fill(0);
        std::copy_n(bytes.begin(), std::min<size_t>(bytes.size(), kSceneNameBytes),
                    names[i].begin());
    }
    return true;
}

bool readScenes(const cJSON* root, std::span<Profile, kStoredScenes> scenes) {
    const cJSON* list = json::array(root, "sceneArray", kStoredScenes);
    if (list == nullptr) {
        return false;
    }
    int i = 0;
    for (const cJSON* item = list->child; item != nullptr && i < kStoredScenes;
         item = item->next, ++i) {
        if (!cJSON_IsObject(item) || !readRoutingAndMix(item, scenes[i])) {
            return false;
        }
        readCrossSource(item, scenes[i]);
        if (!readOutputsAndLinks(item, scenes[i], false) || !readCompressors(item, scenes[i])) {
            return false;
        }
    }
    return true;
}

// Parses text and checks "model"; root is empty unless the result is Ok.
ProfileParseResult parseRoot(std::string_view text, JsonPtr& root) {
    root.reset(cJSON_ParseWithLength(text.data(), text.size()));
    if (!root) {
        return ProfileParseResult::NotJson;
    }
    int32_t modelId = 0;
    if (!json::readInt(root.get(), "model", modelId)) {
        return ProfileParseResult::BadMember;
    }
    return modelId == cfg().mFw_Model_ID ? ProfileParseResult::Ok : ProfileParseResult::WrongModel;
}

}  // namespace

ProfileParseResult parseSceneProfile(std::string_view text, Profile& p) {
    JsonPtr root(nullptr, cJSON_Delete);
    ProfileParseResult result = parseRoot(text, root);
    if (result != ProfileParseResult::Ok) {
        return result;
    }
    const cJSON* r = root.get();
    if (!readHeaderNumbers(r, p) || !readRoutingAndMix(r, p)) {
        return ProfileParseResult::BadMember;
    }
    readCrossSource(r, p);
    bool complete = readOutputsAndLinks(r, p, true) && readInputThreshold(r, p) &&
                    readPowerOffDelay(r, p) && readInMixPhase(r, p) && readCompressors(r, p) &&
                    readKaraoke(r, p);
    return complete ? ProfileParseResult::Ok : ProfileParseResult::BadMember;
}

ProfileParseResult parseWholeConfig(std::string_view text, Profile& live,
                                    std::span<Profile, kStoredScenes> scenes,
                                    std::span<SceneName, kStoredScenes> names) {
    JsonPtr root(nullptr, cJSON_Delete);
    ProfileParseResult result = parseRoot(text, root);
    if (result != ProfileParseResult::Ok) {
        return result;
    }
    const cJSON* r = root.get();
    const cJSON* current = json::object(r, "currentProfile");
    bool complete = readHeaderNumbers(r, live) && readSceneNames(r, names) && current != nullptr &&
                    readRoutingAndMix(current, live) && readInMixPhase(current, live) &&
                    readOutputsAndLinks(current, live, false) &&
                    readInputThreshold(current, live) && readPowerOffDelay(r, live) &&
                    readCompressors(current, live) && readKaraoke(current, live);
    if (!complete) {
        return ProfileParseResult::BadMember;
    }
    readCrossSource(r, live);
    return readScenes(r, scenes) ? ProfileParseResult::Ok : ProfileParseResult::BadMember;
}

}  // namespace model
