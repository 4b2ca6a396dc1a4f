// Profiles with every field that the files carry set away from its default,
// and JSON surgery on a file's text, for the profile file tests.
#pragma once

#include <cjson/cJSON.h>

#include <functional>
#include <string>

#include "model/profile.h"

namespace model_test {

enum class FileScope {
    SceneProfile,   // everything a .spf carries
    LiveOfConfig,   // the live profile of a .wpf: no bridging
    SceneOfConfig,  // a scene object of a .wpf: no header numbers, phases or bridging
};

inline void fillNonDefault(model::Profile& p, int seed, FileScope scope) {
    if (scope != FileScope::SceneOfConfig) {
        p.source = 1 + seed % 9;
        p.mainVolume = -20 - seed;
        p.acc = 5 + seed;
        p.subVolume = 7 + seed;
        p.mainVolumeMute = 1;
    }
    for (int c = 0; c < 10; ++c) {
        model::Channel& ch = p.channels[c];
        ch.eqSize = c < 4 ? 15 : 9;
        ch.gain = -3.5f - 0.1f * c - seed;
        ch.mute = 1;
        ch.delay = 0.125f * c + 0.01f * seed;
        ch.solo = 1;
        ch.phase = 1;
        ch.bypass = false;
        ch.crossover = {2, {100 + c + seed, 2, 3, 0}, {5000 + c, 3, 5, 0}};
        for (int b = 0; b < ch.eqSize; ++b) {
            p.eqArray(c)[b] = {0.5f * b - 3.0f + seed, 1.25f + 0.05f * b, 30 + 10 * b + c,
                               b % 2 == 1, 0};
        }
    }
    for (int s = 0; s < 10; ++s) {
        for (int k = 0; k < 10; ++k) {
            p.inputs[s][k] = (s * 7 + k + seed) % 256;
            for (int r = 0; r < 10; ++r) {
                p.inputMixVolume[s][r][k] = (s + r * 3 + k + seed) % 101;
            }
            p.csmViceSource[s][k] = (s + k + seed) % 11;
            p.csmViceCh[s][k] = (s * k + seed) % 8;
            p.csmViceGain[s][k] = (k - s + seed) % 33;
        }
        for (int r = 0; r < 8 && scope != FileScope::SceneOfConfig; ++r) {
            p.inMixPhase[s][r] = (s + r + seed) % 2;
        }
    }
    for (int k = 0; k < 10; ++k) {
        p.outputs[k] = (k * 3 + seed) % 25;
        p.outputs_bk[k] = (k + seed + 1) % 25;
        p.linkOutputs[k] = k ^ 1;
        p.showOutChEqualizer[k] = 1 - k % 2;
        if (scope == FileScope::SceneProfile && k < 5) {
            p.bridgeOutputs[k] = k % 2;
        }
    }
    p.currOutChannel = 7 - seed % 3;
    p.linkMode = 1;
    p.lockMode = 1;
}

// Parses text, lets edit change the tree, prints it back unformatted.
inline std::string editJson(const std::string& text, const std::function<void(cJSON*)>& edit) {
    cJSON* root = cJSON_Parse(text.c_str());
    if (root == nullptr) {
        return {};
    }
    edit(root);
    char* printed = cJSON_PrintUnformatted(root);
    std::string result = printed != nullptr ? printed : "";
    cJSON_free(printed);
    cJSON_Delete(root);
    return result;
}

// Short names for walking a tree in the edits.
inline cJSON* member(cJSON* parent, const char* key) {
    return cJSON_GetObjectItem(parent, key);
}
inline cJSON* element(cJSON* parent, int index) {
    return cJSON_GetArrayItem(parent, index);
}

}  // namespace model_test
