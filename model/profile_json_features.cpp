#include "model/profile_json_features.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "app/model_cfg.h"
#include "model/json_fields.h"

namespace model {
namespace {

// What the amplifier's compressor commands can carry.
constexpr json::IntRange kSwitch{0, 1};
constexpr json::IntRange kMilliseconds{0, 65535};
constexpr float kLowestThreshold = -100.0f;
constexpr float kHighestThreshold = 155.0f;
constexpr float kHighestRatioOrKnee = 255.0f;

const app::ModelCfg& cfg() {
    return app::CurrentModelCfg();
}
int outputCount() {
    return std::clamp(cfg().mOUT_CHANNEL_NUMBER, 0, kOutputSlots);
}
bool hasCompressors() {
    return cfg().mENABLE_COMPRESSOR || cfg().mENABLE_COMPRESSOR2 || cfg().mENABLE_COMPRESSOR_ON;
}

void addFloats(cJSON* parent, const char* key, const float* values, int count) {
    cJSON_AddItemToObject(parent, key, cJSON_CreateFloatArray(values, count));
}

struct KaraokeMember {
    const char* key;
    int32_t Profile::*field;
    json::IntRange range;
};

// The unsigned bytes, the echo delay's 16 bits and the signed tone gains.
constexpr KaraokeMember kKaraoke[] = {
    {"howlingControl", &Profile::howlingControl, {0, 1}},
    {"micVolume", &Profile::micVolume, {0, 255}},
    {"bgmusicVolume", &Profile::bgmusicVolume, {0, 255}},
    {"voiceChanger", &Profile::voiceChanger, {0, 255}},
    {"echoLevel", &Profile::echoLevel, {0, 255}},
    {"echoDelay", &Profile::echoDelay, {0, 65535}},
    {"reverbLevel", &Profile::reverbLevel, {0, 255}},
    {"reverbTime", &Profile::reverbTime, {0, 255}},
    {"bass", &Profile::bass, {-128, 127}},
    {"treble", &Profile::treble, {-128, 127}},
};

}  // namespace

void addCompressors(cJSON* parent, const Profile& p) {
    if (!hasCompressors()) {
        return;
    }
    const int out = outputCount();
    std::array<int32_t, kOutputSlots> on{};
    for (int c = 0; c < out; ++c) {
        on[static_cast<size_t>(c)] = p.channels[c].compressorOn ? 1 : 0;
    }
    cJSON_AddItemToObject(parent, "compressorOn", cJSON_CreateIntArray(on.data(), out));
    cJSON_AddItemToObject(parent, "compressorBypass",
                          cJSON_CreateIntArray(p.compressorBypass.data(), out));
    addFloats(parent, "compressorNoise", p.compressorNoise.data(), out);
    addFloats(parent, "compressorRatio", p.compressorRatio.data(), out);
    cJSON_AddItemToObject(parent, "compressorAttack",
                          cJSON_CreateIntArray(p.compressorAttack.data(), out));
    cJSON_AddItemToObject(parent, "compressorRelease",
                          cJSON_CreateIntArray(p.compressorRelease.data(), out));
    addFloats(parent, "compressorSoftKnee", p.compressorSoftKnee.data(), out);
}

void addKaraoke(cJSON* parent, const Profile& p) {
    if (!cfg().mENABLE_KTV) {
        return;
    }
    for (const KaraokeMember& member : kKaraoke) {
        cJSON_AddItemToObject(parent, member.key, cJSON_CreateNumber(p.*member.field));
    }
}

bool readCompressors(const cJSON* parent, Profile& p) {
    if (!hasCompressors() || cJSON_GetObjectItem(parent, "compressorBypass") == nullptr) {
        return true;
    }
    const int out = outputCount();
    Profile read = p;
    std::array<int32_t, kOutputSlots> on{};
    const bool valid =
        json::readIntRow(parent, "compressorOn", on.data(), out, kSwitch) &&
        json::readIntRow(parent, "compressorBypass", read.compressorBypass.data(), out, kSwitch) &&
        json::readFloatRow(parent, "compressorNoise", read.compressorNoise.data(), out,
                           kLowestThreshold, kHighestThreshold) &&
        json::readFloatRow(parent, "compressorRatio", read.compressorRatio.data(), out, 0.0f,
                           kHighestRatioOrKnee) &&
        json::readIntRow(parent, "compressorAttack", read.compressorAttack.data(), out,
                         kMilliseconds) &&
        json::readIntRow(parent, "compressorRelease", read.compressorRelease.data(), out,
                         kMilliseconds) &&
        json::readFloatRow(parent, "compressorSoftKnee", read.compressorSoftKnee.data(), out, 0.0f,
                           kHighestRatioOrKnee);
    if (!valid) {
        return false;
    }
    for (int c = 0; c < out; ++c) {
        read.channels[c].compressorOn = on[static_cast<size_t>(c)] != 0;
    }
    p = read;
    return true;
}

bool readKaraoke(const cJSON* parent, Profile& p) {
    if (!cfg().mENABLE_KTV || cJSON_GetObjectItem(parent, "micVolume") == nullptr) {
        return true;
    }
    std::array<int32_t, std::size(kKaraoke)> values{};
    for (size_t i = 0; i < std::size(kKaraoke); ++i) {
        if (!json::readInt(parent, kKaraoke[i].key, values[i], kKaraoke[i].range)) {
            return false;
        }
    }
    for (size_t i = 0; i < std::size(kKaraoke); ++i) {
        p.*kKaraoke[i].field = values[i];
    }
    return true;
}

}  // namespace model
