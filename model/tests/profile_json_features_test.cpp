// The compressor and karaoke members of the profile files: this model's
// files carry none of them; a model that has the features keeps them
// through a file, a file without them leaves the tune's own values, and a
// member the amplifier could not take refuses the file.
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>

#include "app/model_cfg.h"
#include "app/tests/features_on_record.h"
#include "model/profile.h"
#include "model/profile_json.h"

namespace {

constexpr int kOutputs = 10;

std::unique_ptr<model::Profile> TunedCompressorsAndKaraoke() {
    auto p = std::make_unique<model::Profile>();
    for (int c = 0; c < kOutputs; ++c) {
        p->compressorBypass[c] = c % 2;
        p->compressorNoise[c] = -12.5f - static_cast<float>(c);
        p->compressorRatio[c] = 2.5f + static_cast<float>(c);
        p->compressorAttack[c] = 20 + c;
        p->compressorRelease[c] = 500 + 100 * c;
        p->compressorSoftKnee[c] = 1.5f;
        p->channels[c].compressorOn = c != 3;
    }
    p->micVolume = 42;
    p->echoDelay = 280;
    p->bass = -6;
    p->treble = 4;
    p->howlingControl = 1;
    return p;
}

void ExpectSameFeatures(const model::Profile& got, const model::Profile& want) {
    for (int c = 0; c < kOutputs; ++c) {
        SCOPED_TRACE("output " + std::to_string(c));
        EXPECT_EQ(got.compressorBypass[c], want.compressorBypass[c]);
        EXPECT_FLOAT_EQ(got.compressorNoise[c], want.compressorNoise[c]);
        EXPECT_FLOAT_EQ(got.compressorRatio[c], want.compressorRatio[c]);
        EXPECT_EQ(got.compressorAttack[c], want.compressorAttack[c]);
        EXPECT_EQ(got.compressorRelease[c], want.compressorRelease[c]);
        EXPECT_FLOAT_EQ(got.compressorSoftKnee[c], want.compressorSoftKnee[c]);
        EXPECT_EQ(got.channels[c].compressorOn, want.channels[c].compressorOn);
    }
    EXPECT_EQ(got.micVolume, want.micVolume);
    EXPECT_EQ(got.echoDelay, want.echoDelay);
    EXPECT_EQ(got.bass, want.bass);
    EXPECT_EQ(got.treble, want.treble);
    EXPECT_EQ(got.howlingControl, want.howlingControl);
}

TEST(ProfileFileFeatures, ThisModelsFilesCarryNoneOfTheirMembers) {
    const auto p = TunedCompressorsAndKaraoke();
    const std::string text = model::sceneProfileText(*p);
    EXPECT_EQ(text.find("compressor"), std::string::npos);
    EXPECT_EQ(text.find("micVolume"), std::string::npos);
    std::array<model::Profile, model::kStoredScenes> scenes{};
    std::array<model::SceneName, model::kStoredScenes> names{};
    const std::string whole = model::wholeConfigText(*p, scenes, names);
    EXPECT_EQ(whole.find("compressor"), std::string::npos);
    EXPECT_EQ(whole.find("echoDelay"), std::string::npos);
}

class FeaturesOnFiles : public ::testing::Test {
protected:
    app::ScopedModelCfg mRecord{test_support::FeaturesOnRecord()};
};

TEST_F(FeaturesOnFiles, ASceneFileKeepsTheCompressorsAndTheKaraokeValues) {
    const auto p = TunedCompressorsAndKaraoke();
    const std::string text = model::sceneProfileText(*p);
    auto read = std::make_unique<model::Profile>();
    ASSERT_EQ(model::parseSceneProfile(text, *read), model::ProfileParseResult::Ok);
    ExpectSameFeatures(*read, *p);
}

TEST_F(FeaturesOnFiles, AWholeConfigurationKeepsEachScenesCompressors) {
    const auto live = TunedCompressorsAndKaraoke();
    auto scenes = std::make_unique<std::array<model::Profile, model::kStoredScenes>>();
    for (int k = 0; k < model::kStoredScenes; ++k) {
        (*scenes)[k].compressorAttack[2] = 100 + k;
        (*scenes)[k].channels[5].compressorOn = k % 2 == 0;
    }
    std::array<model::SceneName, model::kStoredScenes> names{};
    const std::string text = model::wholeConfigText(*live, *scenes, names);

    auto readLive = std::make_unique<model::Profile>();
    auto readScenes = std::make_unique<std::array<model::Profile, model::kStoredScenes>>();
    ASSERT_EQ(model::parseWholeConfig(text, *readLive, *readScenes, names),
              model::ProfileParseResult::Ok);
    ExpectSameFeatures(*readLive, *live);
    for (int k = 0; k < model::kStoredScenes; ++k) {
        EXPECT_EQ((*readScenes)[k].compressorAttack[2], 100 + k) << "scene " << k;
        EXPECT_EQ((*readScenes)[k].channels[5].compressorOn, k % 2 == 0) << "scene " << k;
    }
}

TEST_F(FeaturesOnFiles, AFileWithoutThemLeavesTheTunesOwnValues) {
    std::string text;
    {
        // A file of this model: written without the members.
        app::ModelCfg plain = test_support::FeaturesOnRecord();
        plain.mENABLE_COMPRESSOR = plain.mENABLE_COMPRESSOR2 = plain.mENABLE_COMPRESSOR_ON = false;
        plain.mENABLE_KTV = false;
        app::ScopedModelCfg older(plain);
        text = model::sceneProfileText(model::Profile{});
    }
    const auto tuned = TunedCompressorsAndKaraoke();
    auto read = std::make_unique<model::Profile>(*tuned);
    ASSERT_EQ(model::parseSceneProfile(text, *read), model::ProfileParseResult::Ok);
    ExpectSameFeatures(*read, *tuned);
}

TEST_F(FeaturesOnFiles, AMemberTheAmplifierCannotTakeRefusesTheFile) {
    const auto p = TunedCompressorsAndKaraoke();
    const std::string good = model::sceneProfileText(*p);
    const std::pair<std::string, std::string> faults[] = {
        {"\"compressorAttack\":[20,", "\"compressorAttack\":[-5,"},
        {"\"compressorAttack\":[20,", "\"compressorAttack\":[\"fast\","},
        {"\"bass\":-6", "\"bass\":200"},
        {"\"echoDelay\":280", "\"echoDelay\":70000"},
        {"\"compressorBypass\":[0,1,", "\"compressorBypass\":[0,1],\"shorter\":["},
    };
    for (const auto& [from, to] : faults) {
        SCOPED_TRACE(to);
        std::string text = good;
        const size_t at = text.find(from);
        ASSERT_NE(at, std::string::npos) << text;
        text.replace(at, from.size(), to);
        auto read = std::make_unique<model::Profile>();
        EXPECT_EQ(model::parseSceneProfile(text, *read), model::ProfileParseResult::BadMember);
    }
}

}  // namespace
