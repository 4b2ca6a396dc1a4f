// The profile as a value: defaults of a fresh profile, the crossover setters,
// copying between channels and between profiles, and the output-type rules.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "model/output_type.h"
#include "model/profile.h"
#include "model/source_code.h"

namespace {

using model::Profile;

TEST(ProfileDefaults, FreshProfileOfThisModel) {
    auto p = std::make_unique<Profile>();
    const std::vector<int> types = {6, 12, 15, 18, 19, 20, 14, 17, 22, 23};
    EXPECT_EQ(p->channelCount, 10);
    for (int c = 0; c < 10; ++c) {
        SCOPED_TRACE(c);
        EXPECT_EQ(p->outputs[c], types[c]);
        EXPECT_EQ(p->outputs_bk[c], types[c]);
        EXPECT_EQ(p->channels[c].eqSize, c < 4 ? 21 : 11);
        EXPECT_TRUE(p->channels[c].bypass);
        EXPECT_TRUE(p->channels[c].compressorOn);
        EXPECT_EQ(p->linkOutputs[c], -1);
        for (int b = 0; b < p->channels[c].eqSize; ++b) {
            EXPECT_FLOAT_EQ(p->eqArray(c)[b].eqFactor, 5.8f);
            EXPECT_EQ(p->eqArray(c)[b].eqGain, 0.0f);
            EXPECT_TRUE(p->eqArray(c)[b].enable);
        }
    }
    EXPECT_EQ(p->eqArray(0)[1].freq, 28);
    EXPECT_EQ(p->eqArray(4)[1].freq, 40);
    EXPECT_EQ(p->eqArray(9)[10].freq, 20000);
    EXPECT_EQ(p->mainVolume, -5);
    EXPECT_EQ(p->soloChannel, -1);
    EXPECT_EQ(p->inputThreshold, -60);
    EXPECT_EQ(p->micVolume, 60);
    EXPECT_EQ(p->compressorRelease[3], 30000);
    EXPECT_EQ(p->csmViceSource[4][7], 10);
    EXPECT_EQ(p->ampOn, 1);
}

TEST(ProfileDefaults, CrossoversFollowTheOutputType) {
    auto p = std::make_unique<Profile>();
    // Output 4 is a centre tweeter (19): high-pass 4 kHz, low-pass off.
    const model::Crossover& tweeter = p->channels[4].crossover;
    EXPECT_EQ(tweeter.bpType, 1);
    EXPECT_EQ(tweeter.hp, (model::FilterSection{4000, 3, 4, 0}));
    EXPECT_EQ(tweeter.lp, (model::FilterSection{20000, 3, 0, 1}));
    // Output 6 is a rear woofer (14): band-pass 80..500 Hz.
    EXPECT_EQ(p->channels[6].crossover.bpType, 3);
    EXPECT_EQ(p->channels[6].crossover.lp.fs, 500);
    // Output 8 is a subwoofer: Butterworth 20..70 Hz.
    EXPECT_EQ(p->channels[8].crossover.hp, (model::FilterSection{20, 1, 4, 0}));
    EXPECT_EQ(p->channels[8].crossover.lp, (model::FilterSection{70, 1, 4, 0}));
}

TEST(ProfileDefaults, StereoSourceMixLevels) {
    auto p = std::make_unique<Profile>();
    const std::vector<int> left = {100, 0, 100, 0, 100, 100, 100, 0, 100, 0};
    const std::vector<int> right = {0, 100, 0, 100, 100, 100, 0, 100, 0, 100};
    for (int source : {0, 2, 6}) {
        for (int k = 0; k < 10; ++k) {
            EXPECT_EQ(p->inputMixVolume[source][0][k], left[k]) << source << " " << k;
            EXPECT_EQ(p->inputMixVolume[source][1][k], right[k]) << source << " " << k;
        }
    }
    // The line input routes its first four channels one by one.
    EXPECT_EQ(p->inputs[4][2], 4);
    EXPECT_EQ(p->inputMixVolume[4][2][2], 100);
    EXPECT_EQ(p->inputMixVolume[4][3][3], 100);
    EXPECT_EQ(p->inputs[9][31], 32);
    EXPECT_EQ(p->inputs[9][33], 2);
}

TEST(ProfileDefaults, ResetRestoresAnEditedProfile) {
    auto p = std::make_unique<Profile>();
    auto fresh = std::make_unique<Profile>();
    p->channels[2].gain = -9.0f;
    p->eqArray(3)[5].eqGain = 4.0f;
    p->inputMixVolume[1][1][1] = 7;
    p->linkOutputs[0] = 1;
    p->soloChannel = 3;
    p->reset();
    EXPECT_EQ(*p, *fresh);
}

TEST(ProfileCrossoverSetters, ClampWhatTheyStore) {
    auto p = std::make_unique<Profile>();
    p->setLpFreq(0, 25000);
    EXPECT_EQ(p->channels[0].crossover.lp.fs, 20000);  // the top, not the bottom
    p->setHpFreq(0, 19);
    EXPECT_EQ(p->channels[0].crossover.hp.fs, 20);
    p->setHpFreq(0, 1234);
    EXPECT_EQ(p->channels[0].crossover.hp.fs, 1234);
    p->setHpType(0, 0);
    EXPECT_EQ(p->channels[0].crossover.hp.type, 1);
    p->setLpType(0, 4);
    EXPECT_EQ(p->channels[0].crossover.lp.type, 1);
    p->setLpType(0, 2);
    EXPECT_EQ(p->channels[0].crossover.lp.type, 2);
    p->setHpSlope(0, -2);
    EXPECT_EQ(p->channels[0].crossover.hp.slope, 0);
    EXPECT_EQ(p->channels[0].crossover.hp.bypass, 1);
    p->setHpSlope(0, 6);
    EXPECT_EQ(p->channels[0].crossover.hp.slope, 6);
    EXPECT_EQ(p->channels[0].crossover.hp.bypass, 0);
    int bpType = p->channels[0].crossover.bpType;
    p->setLpSlope(0, 3);
    EXPECT_EQ(p->channels[0].crossover.bpType, bpType);
}

TEST(ProfileCopy, CopyOutConfigCopiesOnlyTheTargetsBands) {
    auto p = std::make_unique<Profile>();
    for (int b = 0; b < 21; ++b) {
        p->eqArray(0)[b] = model::EqBand{1.5f + b, 2.0f, 100 + b, false, 1};
    }
    p->channels[0].crossover.hp = {300, 2, 5, 0};
    p->channels[0].crossover.lp = {30000, 9, -1, 0};
    p->channels[0].bypass = false;
    p->channels[0].gain = -7.0f;
    p->channels[0].delay = 3.0f;
    p->channels[0].mute = 1;
    const model::EqBand untouched = p->eqArray(5)[11];
    p->copyOutConfig(0, 5, true);
    for (int b = 0; b < 11; ++b) {
        EXPECT_EQ(p->eqArray(5)[b].freq, 100 + b);
        EXPECT_EQ(p->eqArray(5)[b].eqGain, 1.5f + b);
        EXPECT_FALSE(p->eqArray(5)[b].enable);
        EXPECT_EQ(p->eqArray(5)[b].type, 0);  // the band type stays
    }
    EXPECT_EQ(p->eqArray(5)[11], untouched);
    const model::Crossover& x = p->channels[5].crossover;
    EXPECT_EQ(x.hp, (model::FilterSection{300, 2, 5, 0}));
    EXPECT_EQ(x.lp, (model::FilterSection{20000, 1, 0, 1}));  // through the clamping setters
    EXPECT_FALSE(p->channels[5].bypass);
    // Linked channels keep their own trim and delay in this model.
    EXPECT_EQ(p->channels[5].gain, 0.0f);
    EXPECT_EQ(p->channels[5].delay, 0.0f);
    EXPECT_EQ(p->channels[5].mute, 0);
}

TEST(ProfileCopy, ACopyOwnsItsBands) {
    auto source = std::make_unique<Profile>();
    auto copy = std::make_unique<Profile>(*source);
    copy->eqArray(2)[3].eqGain = 6.0f;
    EXPECT_EQ(source->eqArray(2)[3].eqGain, 0.0f);
    *copy = *source;
    copy->eqArray(2)[4].freq = 99;
    EXPECT_EQ(source->eqArray(2)[4].freq, 80);
    EXPECT_EQ(copy->eqArray(10), nullptr);
    EXPECT_EQ(copy->eqArray(-1), nullptr);
}

TEST(ProfileMix, ClearAndCopyMixConfig) {
    auto p = std::make_unique<Profile>();
    p->copyMixConfig(1, 0);
    for (int s = 0; s < 10; ++s) {
        EXPECT_EQ(p->inputs[s][0], p->inputs[s][1]);
        EXPECT_EQ(p->inputMixVolume[s][1][0], p->inputMixVolume[s][1][1]);
    }
    p->clearMixConfig(4);
    for (int s = 0; s < 10; ++s) {
        EXPECT_EQ(p->inputs[s][4], 0);
        for (int r = 0; r < 10; ++r) {
            EXPECT_EQ(p->inputMixVolume[s][r][4], 0);
        }
    }
    p->clearMixConfig(99);  // ignored, not written out of bounds
}

TEST(ProfileOutputTypes, MirrorsAndStages) {
    EXPECT_EQ(Profile::mirrorOutputType(3), 9);
    EXPECT_EQ(Profile::mirrorOutputType(9), 3);
    EXPECT_EQ(Profile::mirrorOutputType(22), 23);
    EXPECT_EQ(Profile::mirrorOutputType(14), 17);
    EXPECT_EQ(Profile::mirrorOutputType(19), -1);
    EXPECT_TRUE(Profile::sameLinkStage(0, 3));
    EXPECT_FALSE(Profile::sameLinkStage(3, 4));
    auto p = std::make_unique<Profile>();
    EXPECT_TRUE(p->containsOutputType(22));
    EXPECT_FALSE(p->containsOutputType(1));
    EXPECT_TRUE(p->mirroredPairInOneHalf());  // 6 and 12 are outputs 0 and 1
    p->outputs[1] = 0;
    p->outputs[3] = 0;
    p->outputs[7] = 0;
    p->outputs[9] = 0;
    EXPECT_FALSE(p->mirroredPairInOneHalf());
    EXPECT_STREQ(model::outputTypeKey(22), "output_menu_subwoof_left");
    EXPECT_EQ(model::outputTypeKey(27), nullptr);  // no KESTO naming in this model
    EXPECT_EQ(model::outputTypeKey(31), nullptr);
}

TEST(ProfileSources, CodesAndInputCounts) {
    EXPECT_EQ(model::sourceFromCode(81), 0);
    EXPECT_EQ(model::sourceFromCode(90), 9);
    EXPECT_EQ(model::sourceFromCode(85), 4);
    EXPECT_EQ(model::sourceFromCode(91), 4);
    EXPECT_EQ(model::sourceFromCode(0), 4);
    EXPECT_EQ(model::codeFromSource(2), 83);
    EXPECT_EQ(Profile::inputChannelCount(4), 8);
    EXPECT_EQ(Profile::inputChannelCount(2), 2);
    EXPECT_EQ(Profile::inputChannelCount(10), 0);
}

}  // namespace
