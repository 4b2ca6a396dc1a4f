#include "model/profile.h"

#include <algorithm>

#include "app/log.h"
#include "app/model_cfg.h"
#include "model/profile_defaults.h"

namespace model {

namespace {

constexpr int kMaxFrequency = 20000;
constexpr float kDefaultQ = 5.8f;
constexpr int kMixInputChannels = 10;

const app::ModelCfg& cfg() {
    return app::CurrentModelCfg();
}

int outputCount() {
    return std::clamp(cfg().mOUT_CHANNEL_NUMBER, 0, kOutputSlots);
}

int channelsWithBands() {
    return std::clamp(cfg().mOUT_CHANNEL_NUMBER + cfg().mOUT_CHANNEL_MONITOR_NUMBER, 0, kBandRows);
}

bool isOutput(int k) {
    return k >= 0 && k < kSourceColumns;
}

// Routing default of source s, output column k.
int32_t defaultRouting(int s, int k) {
    static constexpr int32_t kLineHead[6] = {1, 2, 4, 8, 3, 3};
    static constexpr int32_t kStereoHead[6] = {1, 2, 1, 2, 3, 3};
    if (s == 9) {
        return k < 32 ? k + 1 : k - 31;
    }
    if (k < 6) {
        return (s == 4 || s == 5) ? kLineHead[k] : kStereoHead[k];
    }
    return k % 2 == 0 ? 1 : 2;
}

// A too high frequency is limited to the top of the range instead of being
// replaced by the bottom: a low-pass typed as 25 kHz must not become 20 Hz.
int32_t clampFrequency(int f) {
    return std::clamp(f, cfg().mEQ_FREQ_MIN, kMaxFrequency);
}

void setSectionSlope(FilterSection& s, int n) {
    s.slope = std::max(n, 0);
    s.bypass = n <= 0 ? 1 : 0;
}

int32_t validType(int t) {
    return (t >= 1 && t <= 3) ? t : 1;
}

}  // namespace

Profile::Profile() : channelCount(cfg().mOUT_CHANNEL_NUMBER) {
    mix2monitor.fill(-1);
    reset();
}

void Profile::reset() {
    deviceModel = fwMainVersion = fwSlaveVersion = -1;
    inputThreshold = -60;
    powerOffDelay = 0;
    howlingControl = 0;
    micVolume = bgmusicVolume = 60;
    voiceChanger = echoLevel = echoDelay = reverbLevel = reverbTime = 0;
    compressorBypass.fill(1);
    compressorNoise.fill(64.0f);
    compressorRatio.fill(100.0f);
    compressorAttack.fill(1000);
    compressorRelease.fill(30000);
    compressorSoftKnee.fill(24.0f);
    for (int i = 0; i < kChannelRecords; ++i) {
        outputs[i] = defaultOutputType(channelCount, i);
        if (i < kOutputSlots) {
            outputs_bk[i] = outputs[i];
        }
    }
    currOutChannel = linkMode = lockMode = 0;
    linkOutputs.fill(-1);
    mainVolume = -5;
    source = acc = mainVolumeMute = noiseGate = subVolume = scene = 0;
    ampOn = remOut1On = remOut2On = spkOhm = spkOhm13 = spkOhm21 = 1;
    std::fill_n(bridgeOutputs.begin(), outputCount() / 2, 0);
    resetMixer();
    if (cfg().mFIRST_IN_CH_RUN_ON_DSP2 > 0) {
        mix2monitor.fill(-1);
    }
    showOutChEqualizer.fill(0);
    resetChannels();
    soloChannel = -1;
}

void Profile::resetMixer() {
    for (int s = 0; s < kSourceCount; ++s) {
        for (int k = 0; k < kSourceColumns; ++k) {
            inputs[s][k] = defaultRouting(s, k);
        }
        for (int r = 0; r < kSourceColumns; ++r) {
            inputMixVolume[s][r].fill(0);
            for (int k = 0; r < kMixInputChannels && k < outputCount(); ++k) {
                inputMixVolume[s][r][k] = (inputs[s][k] >> r) & 1 ? 100 : 0;
            }
        }
        inMixPhase[s].fill(0);
        inDistort[s].fill(0);
        outDistort[s].fill(0);
        csmViceSource[s].fill(10);
        csmViceCh[s].fill(0);
        csmViceGain[s].fill(0);
    }
}

void Profile::resetChannels() {
    for (int c = 0; c < channelsWithBands(); ++c) {
        int count = defaultBandCount(c);
        for (int i = 0; i < std::min(cfg().mOUTPUT_EQ_NUMBER, kBandsPerChannel); ++i) {
            eqBands[c][i] = EqBand{0.0f, kDefaultQ, defaultBandFrequency(count, i), true, 0};
        }
        Channel& ch = channels[c];
        ch = Channel{};
        ch.eqSize = count;
        ch.crossover = defaultCrossover(outputs[c]);
    }
}

EqBand* Profile::eqArray(int c) {
    return (c >= 0 && c < channelsWithBands()) ? eqBands[c].data() : nullptr;
}

const EqBand* Profile::eqArray(int c) const {
    return (c >= 0 && c < channelsWithBands()) ? eqBands[c].data() : nullptr;
}

int Profile::bandCount(int c) const {
    if (c < 0 || c >= kChannelRecords) {
        return 0;
    }
    return cfg().mSw_Model_ID == 47 ? 11 : channels[c].eqSize;
}

int Profile::inputChannelCount(int s) {
    const app::ModelCfg& m = cfg();
    switch (s) {
        case 0:
            return m.mOPT_INPUT_CHANNEL_NUMBER;
        case 1:
            return m.mCOAX_INPUT_CHANNEL_NUMBER;
        case 2:
            return m.mBT_INPUT_CHANNEL_NUMBER;
        case 3:
            return m.mAUX_INPUT_CHANNEL_NUMBER;
        case 4:
            return m.mLOW_INPUT_CHANNEL_NUMBER;
        case 5:
            return m.mHI_INPUT_CHANNEL_NUMBER;
        case 6:
            return m.mDMP_INPUT_CHANNEL_NUMBER;
        case 7:
            return m.mUDP_INPUT_CHANNEL_NUMBER;
        case 8:
            return m.mSCP_INPUT_CHANNEL_NUMBER;
        case 9:
            return m.mA2B_INPUT_CHANNEL_NUMBER;
        default:
            return 0;
    }
}

void Profile::fillDefaultBands(EqBand* bands, int n) {
    for (int i = 0; bands != nullptr && i < n; ++i) {
        bands[i] = EqBand{0.0f, kDefaultQ, defaultBandFrequency(n, i), true, 0};
    }
}

int Profile::mirrorOutputType(int t) {
    if (t >= 1 && t <= 6) {
        return t + 6;
    }
    if (t >= 7 && t <= 12) {
        return t - 6;
    }
    if (t >= 13 && t <= 15) {
        return t + 3;
    }
    if (t >= 16 && t <= 18) {
        return t - 3;
    }
    switch (t) {
        case 22:
            return 23;
        case 23:
            return 22;
        case 25:
            return 26;
        case 26:
            return 25;
        default:
            return -1;
    }
}

bool Profile::sameLinkStage(int a, int b) {
    int stage1 = cfg().mOUT_LINK_STAGE1_NUM;
    return (a < stage1) == (b < stage1);
}

bool Profile::containsOutputType(int t) const {
    return std::find(outputs.begin(), outputs.begin() + outputCount(), t) !=
           outputs.begin() + outputCount();
}

bool Profile::mirroredPairInOneHalf() const {
    for (int i = 0; i < outputCount(); ++i) {
        int mirror = mirrorOutputType(outputs[i]);
        for (int j = 0; mirror >= 0 && j < outputCount(); ++j) {
            if (j != i && outputs[j] == mirror && (i < 6) == (j < 6)) {
                return true;
            }
        }
    }
    return false;
}

bool Profile::outputTypeSelectable(int, int) const {
    // This model lets every output take any type.
    return cfg().mNO_LIMIT_OUTPUT_TYPE_SELECTABLE;
}

void Profile::clearMixConfig(int k) {
    app::Log("clear mix config of %d\n", k);
    if (!isOutput(k)) {
        return;
    }
    for (int s = 0; s < kSourceCount; ++s) {
        inputs[s][k] = 0;
        for (int r = 0; r < kMixInputChannels; ++r) {
            inputMixVolume[s][r][k] = 0;
        }
    }
}

void Profile::copyMixConfig(int from, int to) {
    app::Log("copy mix config from %d to %d\n", from, to);
    if (!isOutput(from) || !isOutput(to)) {
        return;
    }
    for (int s = 0; s < kSourceCount; ++s) {
        inputs[s][to] = inputs[s][from];
        for (int r = 0; r < kMixInputChannels; ++r) {
            inputMixVolume[s][r][to] = inputMixVolume[s][r][from];
        }
    }
}

void Profile::copyOutConfig(int from, int to, bool withDelay) {
    app::Log("copy out config from %d to %d\n", from, to);
    const EqBand* src = eqArray(from);
    EqBand* dst = eqArray(to);
    if (src == nullptr || dst == nullptr) {
        return;
    }
    for (int j = 0; j < std::min(channels[to].eqSize, kBandsPerChannel); ++j) {
        dst[j].enable = src[j].enable;
        dst[j].eqFactor = src[j].eqFactor;
        dst[j].eqGain = src[j].eqGain;
        dst[j].freq = src[j].freq;
    }
    const Crossover x = channels[from].crossover;
    setHpType(to, x.hp.type);
    setLpType(to, x.lp.type);
    setHpFreq(to, x.hp.fs);
    setLpFreq(to, x.lp.fs);
    setHpSlope(to, x.hp.slope);
    setLpSlope(to, x.lp.slope);
    channels[to].bypass = channels[from].bypass;
    if (!cfg().mLINK_CH_DELAY_WITH_DELTA && withDelay) {
        channels[to].delay = channels[from].delay;
    }
    if (!cfg().mLINK_CH_VOL_WITH_DELTA) {
        channels[to].gain = channels[from].gain;
    }
}

Crossover* Profile::crossoverOf(int c) {
    return (c >= 0 && c < kChannelRecords) ? &channels[c].crossover : nullptr;
}

void Profile::setHpFreq(int c, int f) {
    if (Crossover* x = crossoverOf(c)) {
        x->hp.fs = clampFrequency(f);
    }
}

void Profile::setLpFreq(int c, int f) {
    if (Crossover* x = crossoverOf(c)) {
        x->lp.fs = clampFrequency(f);
    }
}

void Profile::setHpType(int c, int t) {
    if (Crossover* x = crossoverOf(c)) {
        x->hp.type = validType(t);
    }
}

void Profile::setLpType(int c, int t) {
    if (Crossover* x = crossoverOf(c)) {
        x->lp.type = validType(t);
    }
}

void Profile::setHpSlope(int c, int n) {
    if (Crossover* x = crossoverOf(c)) {
        setSectionSlope(x->hp, n);
    }
}

void Profile::setLpSlope(int c, int n) {
    if (Crossover* x = crossoverOf(c)) {
        setSectionSlope(x->lp, n);
    }
}

void Profile::mix2monitorChIdx(int index) {
    app::Log("%s %d\n", "mix2monitorChIdx", index);
}

void Profile::mix2monitorChIdxs(int index) {
    app::Log("%s %d\n", "mix2monitorChIdxs", index);
}

}  // namespace model
