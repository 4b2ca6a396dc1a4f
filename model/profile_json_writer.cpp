// Builds the JSON trees of the profile files. The member order is the file
// format: other programs and older versions compare these files as text.
#include <cjson/cJSON.h>

#include <algorithm>
#include <memory>

#include "app/model_cfg.h"
#include "model/base64.h"
#include "model/profile_json.h"
#include "model/profile_json_features.h"

namespace model {

namespace {

constexpr int kMixInputChannels = 10;

using JsonPtr = std::unique_ptr<cJSON, decltype(&cJSON_Delete)>;

const app::ModelCfg& cfg() {
    return app::CurrentModelCfg();
}
int outputCount() {
    return std::clamp(cfg().mOUT_CHANNEL_NUMBER, 0, kOutputSlots);
}
bool crossSourceMix() {
    return cfg().mENABLE_CROSS_SOURCE_MIX || cfg().mMXIER_CMD_FORMAT_CS47048;
}

void addNumber(cJSON* parent, const char* key, double value) {
    cJSON_AddItemToObject(parent, key, cJSON_CreateNumber(value));
}

cJSON* intArray(const int32_t* values, int count) {
    return cJSON_CreateIntArray(values, count);
}

void addIntArray(cJSON* parent, const char* key, const int32_t* values, int count) {
    cJSON_AddItemToObject(parent, key, intArray(values, count));
}

cJSON* sectionJson(const FilterSection& s) {
    cJSON* obj = cJSON_CreateObject();
    addNumber(obj, "fs", s.fs);
    addNumber(obj, "type", s.type);
    addNumber(obj, "slope", s.slope);
    addNumber(obj, "bypass", s.bypass);
    return obj;
}

cJSON* crossoverJson(const Crossover& x) {
    cJSON* obj = cJSON_CreateObject();
    addNumber(obj, "bpType", x.bpType);
    cJSON_AddItemToObject(obj, "hp", sectionJson(x.hp));
    cJSON_AddItemToObject(obj, "lp", sectionJson(x.lp));
    return obj;
}

cJSON* bandJson(const EqBand& band) {
    cJSON* obj = cJSON_CreateObject();
    addNumber(obj, "freq", band.freq);
    addNumber(obj, "eqFactor", band.eqFactor);
    addNumber(obj, "eqGain", band.eqGain);
    addNumber(obj, "enable", band.enable ? 1 : 0);
    return obj;
}

cJSON* channelJson(const Profile& p, int c) {
    const Channel& ch = p.channels[c];
    cJSON* obj = cJSON_CreateObject();
    addNumber(obj, "eqSize", ch.eqSize);
    addNumber(obj, "gain", ch.gain);
    addNumber(obj, "mute", ch.mute);
    addNumber(obj, "delay", ch.delay);
    addNumber(obj, "solo", ch.solo);
    addNumber(obj, "phase", ch.phase);
    addNumber(obj, "bypass", ch.bypass ? 1 : 0);
    cJSON_AddItemToObject(obj, "crossover", crossoverJson(ch.crossover));
    cJSON* bands = cJSON_CreateArray();
    const EqBand* stored = p.eqArray(c);
    int count = stored != nullptr ? std::clamp(ch.eqSize, 0, kBandsPerChannel) : 0;
    for (int i = 0; i < count; ++i) {
        cJSON_AddItemToArray(bands, bandJson(stored[i]));
    }
    cJSON_AddItemToObject(obj, "eqArray", bands);
    return obj;
}

void addChannels(cJSON* parent, const Profile& p) {
    cJSON* list = cJSON_CreateArray();
    for (int c = 0; c < std::clamp(p.channelCount, 0, kChannelRecords); ++c) {
        cJSON_AddItemToArray(list, channelJson(p, c));
    }
    cJSON_AddItemToObject(parent, "channels", list);
}

template <typename Rows>
void addRows(cJSON* parent, const char* key, const Rows& rows, int rowCount, int columns) {
    cJSON* list = cJSON_CreateArray();
    for (int r = 0; r < rowCount; ++r) {
        cJSON_AddItemToArray(list, intArray(rows[r].data(), columns));
    }
    cJSON_AddItemToObject(parent, key, list);
}

void addMixVolume(cJSON* parent, const Profile& p) {
    cJSON* sources = cJSON_CreateArray();
    for (int s = 0; s < kSourceCount; ++s) {
        cJSON* inputs = cJSON_CreateArray();
        for (int r = 0; r < kMixInputChannels; ++r) {
            cJSON_AddItemToArray(inputs, intArray(p.inputMixVolume[s][r].data(), outputCount()));
        }
        cJSON_AddItemToArray(sources, inputs);
    }
    cJSON_AddItemToObject(parent, "inputMixVolume", sources);
}

void addCrossSource(cJSON* parent, const Profile& p) {
    if (!crossSourceMix()) {
        return;
    }
    addRows(parent, "csmViceSource", p.csmViceSource, kSourceCount, kMixInputChannels);
    addRows(parent, "csmViceCh", p.csmViceCh, kSourceCount, kMixInputChannels);
    addRows(parent, "csmViceGain", p.csmViceGain, kSourceCount, kMixInputChannels);
}

void addRoutingAndMix(cJSON* parent, const Profile& p) {
    addChannels(parent, p);
    addRows(parent, "inputs", p.inputs, kSourceCount, outputCount());
    if (cfg().mENABLE_INPUT_MIXER) {
        addMixVolume(parent, p);
    }
}

void addInMixPhase(cJSON* parent, const Profile& p) {
    addRows(parent, "inMixPhase", p.inMixPhase, kSourceCount,
            std::clamp(cfg().mMAX_INPUT_CHANNEL_NUMBER, 0, kSourceColumns));
}

void addOutputsAndLinks(cJSON* parent, const Profile& p) {
    int out = outputCount();
    addIntArray(parent, "outputs", p.outputs.data(), out);
    addIntArray(parent, "outputs_bk", p.outputs_bk.data(), out);
    addIntArray(parent, "linkOutputs", p.linkOutputs.data(), out);
    addIntArray(parent, "bridgeOutputs", p.bridgeOutputs.data(), out / 2);
    addIntArray(parent, "showOutChEqualizer", p.showOutChEqualizer.data(), out);
    addNumber(parent, "currOutChannel", p.currOutChannel);
    addNumber(parent, "linkMode", p.linkMode);
    addNumber(parent, "lockMode", p.lockMode);
}

void addInputThreshold(cJSON* parent, const Profile& p) {
    if (cfg().mENABLE_NOISE_THRESHOLD) {
        addNumber(parent, "inputThreshold", p.inputThreshold);
    }
}

void addPowerOffDelay(cJSON* parent, const Profile& p) {
    if (cfg().mENABLE_POWEROFF_DELAY) {
        addNumber(parent, "powerOffDelay", p.powerOffDelay);
    }
}

void addHeader(cJSON* root, const Profile& p) {
    addNumber(root, "model", cfg().mFw_Model_ID);
    cJSON_AddItemToObject(root, "model_name", cJSON_CreateString(cfg().mMODEL_NAME));
    addNumber(root, "source", p.source);
    addNumber(root, "mainVolume", p.mainVolume);
    addNumber(root, "acc", p.acc);
    addNumber(root, "subVolume", p.subVolume);
    addNumber(root, "mainVolumeMute", p.mainVolumeMute);
}

cJSON* sceneNamesJson(std::span<const SceneName, kStoredScenes> names) {
    cJSON* list = cJSON_CreateArray();
    for (const SceneName& name : names) {
        cJSON_AddItemToArray(list, cJSON_CreateString(encodeBase64(name).c_str()));
    }
    return list;
}

cJSON* currentProfileJson(const Profile& p) {
    cJSON* obj = cJSON_CreateObject();
    addRoutingAndMix(obj, p);
    addInMixPhase(obj, p);
    addOutputsAndLinks(obj, p);
    addInputThreshold(obj, p);
    addCompressors(obj, p);
    addKaraoke(obj, p);
    return obj;
}

cJSON* sceneJson(const Profile& p) {
    cJSON* obj = cJSON_CreateObject();
    addRoutingAndMix(obj, p);
    addCrossSource(obj, p);
    addOutputsAndLinks(obj, p);
    addCompressors(obj, p);
    return obj;
}

std::string print(const JsonPtr& root) {
    char* text = cJSON_PrintUnformatted(root.get());
    if (text == nullptr) {
        return {};
    }
    std::string result(text);
    cJSON_free(text);
    return result;
}

}  // namespace

std::string sceneProfileText(const Profile& p) {
    JsonPtr root(cJSON_CreateObject(), cJSON_Delete);
    addHeader(root.get(), p);
    addRoutingAndMix(root.get(), p);
    addCrossSource(root.get(), p);
    addOutputsAndLinks(root.get(), p);
    addInputThreshold(root.get(), p);
    addPowerOffDelay(root.get(), p);
    addInMixPhase(root.get(), p);
    addCompressors(root.get(), p);
    addKaraoke(root.get(), p);
    return print(root);
}

std::string wholeConfigText(const Profile& live, std::span<const Profile, kStoredScenes> scenes,
                            std::span<const SceneName, kStoredScenes> names) {
    JsonPtr root(cJSON_CreateObject(), cJSON_Delete);
    addHeader(root.get(), live);
    cJSON_AddItemToObject(root.get(), "sceneName", sceneNamesJson(names));
    addCrossSource(root.get(), live);
    addPowerOffDelay(root.get(), live);
    cJSON_AddItemToObject(root.get(), "currentProfile", currentProfileJson(live));
    cJSON* sceneList = cJSON_CreateArray();
    for (const Profile& scene : scenes) {
        cJSON_AddItemToArray(sceneList, sceneJson(scene));
    }
    cJSON_AddItemToObject(root.get(), "sceneArray", sceneList);
    return print(root);
}

}  // namespace model
