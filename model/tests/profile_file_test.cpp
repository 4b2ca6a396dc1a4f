// Saving and loading profile files: round trips of every stored field, and
// bad files refused with their message while the profiles in memory stay
// exactly as they were.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "app/log.h"
#include "model/profile_file.h"
#include "profile_samples.h"
#include "testkit/temp_dir.h"

namespace {

using model::Profile;
using model::ProfileFile;
using model::SceneName;
using model_test::editJson;
using model_test::element;
using model_test::FileScope;
using model_test::member;

void writeBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

std::string readBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class ProfileFileTest : public ::testing::Test {
protected:
    ProfileFileTest() : mFile([this](const char* key) { mMessages.push_back(key); }) {}

    std::unique_ptr<Profile> sampleProfile(int seed) {
        auto p = std::make_unique<Profile>();
        model_test::fillNonDefault(*p, seed, FileScope::SceneProfile);
        return p;
    }

    std::string goodSceneText() { return model::sceneProfileText(*sampleProfile(3)); }

    // Reads text as a .spf into a user's edited profile and checks that a
    // refusal leaves it untouched.
    void expectSceneRefused(const std::string& text, const std::string& message) {
        auto target = sampleProfile(9);
        auto before = std::make_unique<Profile>(*target);
        mMessages.clear();
        writeBytes(mDir / "bad.spf", text);
        EXPECT_FALSE(mFile.readSceneProfile(mDir / "bad.spf", *target, true));
        EXPECT_TRUE(*target == *before) << "the profile changed";
        ASSERT_EQ(mMessages.size(), 1u);
        EXPECT_EQ(mMessages[0], message);
    }

    testkit::TempDir mDir;
    std::vector<std::string> mMessages;
    ProfileFile mFile;
};

TEST_F(ProfileFileTest, SceneProfileRoundTripKeepsEveryStoredField) {
    auto source = sampleProfile(1);
    ASSERT_TRUE(mFile.writeSceneProfile(*source, mDir / "a.spf", true));
    EXPECT_EQ(mMessages, std::vector<std::string>{"${profile_save_ok}"});
    auto loaded = std::make_unique<Profile>();
    ASSERT_TRUE(mFile.readSceneProfile(mDir / "a.spf", *loaded, true));
    EXPECT_TRUE(*loaded == *source);
    EXPECT_FLOAT_EQ(loaded->channels[0].gain, -4.5f);
    // Saving what was loaded gives the same bytes again.
    ASSERT_TRUE(mFile.writeSceneProfile(*loaded, mDir / "b.spf", false));
    EXPECT_EQ(readBytes(mDir / "a.spf"), readBytes(mDir / "b.spf"));
}

TEST_F(ProfileFileTest, ReadingKeepsWhatFilesDoNotCarry) {
    auto target = std::make_unique<Profile>();
    target->deviceModel = 94;
    target->eqArray(0)[2].type = 1;  // band types are not stored
    target->compressorRatio[1] = 4.0f;
    ASSERT_TRUE(mFile.readSceneProfileText(goodSceneText(), *target, false));
    EXPECT_EQ(target->deviceModel, 94);
    EXPECT_EQ(target->eqArray(0)[2].type, 1);
    EXPECT_EQ(target->compressorRatio[1], 4.0f);
}

TEST_F(ProfileFileTest, LenientValuesReadAsDocumented) {
    std::string text = editJson(goodSceneText(), [](cJSON* root) {
        cJSON* ch = element(member(root, "channels"), 0);
        cJSON_ReplaceItemInObject(ch, "bypass", cJSON_CreateNumber(257));
        cJSON_ReplaceItemInObject(element(member(root, "channels"), 1), "bypass",
                                  cJSON_CreateNumber(256));
        cJSON_ReplaceItemInObject(element(member(ch, "eqArray"), 0), "enable",
                                  cJSON_CreateNumber(0.5));
        cJSON_ReplaceItemInObject(element(member(ch, "eqArray"), 1), "enable",
                                  cJSON_CreateNumber(0));
        // Member names are matched without regard to case; order does not matter.
        cJSON* lock = cJSON_DetachItemFromObject(root, "lockMode");
        cJSON_AddItemToObject(root, "LOCKMODE", lock);
        cJSON_DeleteItemFromObject(root, "csmViceCh");
        cJSON_ReplaceItemInObject(root, "csmViceGain", cJSON_CreateString("malformed"));
    });
    auto target = std::make_unique<Profile>();
    ASSERT_TRUE(mFile.readSceneProfileText(text, *target, true));
    EXPECT_TRUE(target->channels[0].bypass);
    EXPECT_FALSE(target->channels[1].bypass);  // only the low byte counts
    EXPECT_TRUE(target->eqArray(0)[0].enable);
    EXPECT_FALSE(target->eqArray(0)[1].enable);
    EXPECT_EQ(target->lockMode, 1);
    EXPECT_EQ(target->csmViceCh, Profile().csmViceCh);      // absent: skipped
    EXPECT_EQ(target->csmViceGain, Profile().csmViceGain);  // malformed: skipped
    EXPECT_EQ(target->csmViceSource, sampleProfile(3)->csmViceSource);
    EXPECT_TRUE(mMessages.empty());
}

TEST_F(ProfileFileTest, BadSceneFilesAreRefusedAndChangeNothing) {
    const std::string good = goodSceneText();
    expectSceneRefused(good.substr(0, good.size() / 2), "${profile_open_error}");
    expectSceneRefused("", "${profile_open_error}");
    std::mt19937 random(7);
    std::string garbage(4096, '\0');
    for (char& c : garbage) {
        c = static_cast<char>(random());
    }
    expectSceneRefused(garbage, "${profile_open_error}");
    expectSceneRefused(
        editJson(
            good,
            [](cJSON* root) { cJSON_ReplaceItemInObject(root, "model", cJSON_CreateNumber(95)); }),
        "${software_not_match}");
    expectSceneRefused(
        editJson(good, [](cJSON* root) { cJSON_DeleteItemFromObject(root, "model"); }),
        "${profile_load_error}");
}

TEST_F(ProfileFileTest, MalformedMembersAreLoadErrors) {
    const std::string good = goodSceneText();
    const std::vector<std::function<void(cJSON*)>> breakages = {
        [](cJSON* r) { cJSON_DeleteItemFromObject(r, "lockMode"); },
        [](cJSON* r) { cJSON_DeleteItemFromObject(r, "inMixPhase"); },
        [](cJSON* r) { cJSON_ReplaceItemInObject(r, "source", cJSON_CreateString("2")); },
        [](cJSON* r) { cJSON_ReplaceItemInObject(r, "outputs", cJSON_CreateNumber(6)); },
        [](cJSON* r) {
            int eight[8] = {};
            cJSON_ReplaceItemInArray(member(r, "inputs"), 4, cJSON_CreateIntArray(eight, 8));
        },
        [](cJSON* r) { cJSON_DeleteItemFromArray(member(r, "channels"), 9); },
        [](cJSON* r) { cJSON_DeleteItemFromArray(member(r, "bridgeOutputs"), 0); },
        [](cJSON* r) {
            cJSON* ch = element(member(r, "channels"), 2);
            cJSON_DeleteItemFromArray(member(ch, "eqArray"), 0);  // eqArray shorter than eqSize
        },
        [](cJSON* r) {
            cJSON* ch = element(member(r, "channels"), 2);
            cJSON_ReplaceItemInObject(ch, "gain", cJSON_CreateTrue());
        },
        [](cJSON* r) {
            cJSON* ch = element(member(r, "channels"), 5);
            cJSON_DeleteItemFromObject(member(member(ch, "crossover"), "lp"), "slope");
        },
        [](cJSON* r) {
            cJSON* ch = element(member(r, "channels"), 1);
            cJSON_ReplaceItemInObject(element(member(ch, "eqArray"), 3), "eqGain",
                                      cJSON_CreateNull());
        },
        [](cJSON* r) {
            cJSON* mix = element(element(member(r, "inputMixVolume"), 9), 9);
            cJSON_AddItemToArray(mix, cJSON_CreateNumber(1));
        },
        // Values that would be used as indices must be in range.
        [](cJSON* r) { cJSON_ReplaceItemInObject(r, "currOutChannel", cJSON_CreateNumber(10)); },
        [](cJSON* r) { cJSON_ReplaceItemInObject(r, "source", cJSON_CreateNumber(-1)); },
        [](cJSON* r) {
            cJSON_ReplaceItemInArray(member(r, "linkOutputs"), 0, cJSON_CreateNumber(40));
        },
        [](cJSON* r) { cJSON_ReplaceItemInArray(member(r, "outputs"), 0, cJSON_CreateNumber(31)); },
        [](cJSON* r) {
            cJSON* ch = element(member(r, "channels"), 0);
            cJSON_ReplaceItemInObject(ch, "eqSize", cJSON_CreateNumber(32));
        },
        [](cJSON* r) { cJSON_ReplaceItemInObject(r, "source", cJSON_CreateNumber(10)); },
        // A band count past the band array, with as many bands as it claims.
        [](cJSON* r) {
            cJSON* ch = element(member(r, "channels"), 0);
            cJSON* bands = member(ch, "eqArray");
            while (cJSON_GetArraySize(bands) < 32) {
                cJSON_AddItemToArray(bands, cJSON_Duplicate(element(bands, 0), true));
            }
            cJSON_ReplaceItemInObject(ch, "eqSize", cJSON_CreateNumber(32));
        },
        // Arrays longer than the format's: one output too many, one source too many.
        [](cJSON* r) {
            cJSON* channels = member(r, "channels");
            cJSON_AddItemToArray(channels, cJSON_Duplicate(element(channels, 0), true));
        },
        [](cJSON* r) {
            cJSON* mix = member(r, "inputMixVolume");
            cJSON_AddItemToArray(mix, cJSON_Duplicate(element(mix, 0), true));
        },
        // Finite, but beyond single precision.
        [](cJSON* r) {
            cJSON* ch = element(member(r, "channels"), 3);
            cJSON_ReplaceItemInObject(ch, "delay", cJSON_CreateNumber(1e39));
        },
    };
    for (size_t i = 0; i < breakages.size(); ++i) {
        SCOPED_TRACE("breakage " + std::to_string(i));
        expectSceneRefused(editJson(good, breakages[i]), "${profile_load_error}");
    }
}

TEST_F(ProfileFileTest, NonFiniteNumbersAreRefused) {
    std::string text = goodSceneText();
    size_t at = text.find("\"gain\":") + 7;
    text.replace(at, text.find(',', at) - at, "1e999");
    expectSceneRefused(text, "${profile_load_error}");
}

TEST_F(ProfileFileTest, LoadErrorIsSilentWithoutMessagesButTraced) {
    auto target = sampleProfile(2);
    auto before = std::make_unique<Profile>(*target);
    std::string text =
        editJson(goodSceneText(), [](cJSON* r) { cJSON_DeleteItemFromObject(r, "acc"); });
    EXPECT_FALSE(mFile.readSceneProfileText(text, *target, false));
    EXPECT_TRUE(mMessages.empty());
    EXPECT_TRUE(*target == *before);
}

TEST_F(ProfileFileTest, HugeFilesAreRefusedBeforeParsing) {
    const auto path = mDir / "huge.spf";
    {
        std::ofstream out(path, std::ios::binary);
        out << goodSceneText();
    }
    std::filesystem::resize_file(path, 50u << 20);  // 50 MB, sparse
    auto target = sampleProfile(4);
    auto before = std::make_unique<Profile>(*target);
    EXPECT_FALSE(mFile.readSceneProfile(path, *target, true));
    EXPECT_EQ(mMessages, std::vector<std::string>{"${profile_open_error}"});
    EXPECT_TRUE(*target == *before);
    std::array<SceneName, 10> names{};
    std::vector<Profile> scenes(10);
    EXPECT_FALSE(
        mFile.readWholeConfig(path, *target, std::span<Profile, 10>(scenes.data(), 10), names));
    EXPECT_TRUE(*target == *before);
}

TEST_F(ProfileFileTest, MissingFilesAndDirectoriesAreOpenErrors) {
    auto target = sampleProfile(4);
    EXPECT_FALSE(mFile.readSceneProfile(mDir / "none.spf", *target, false));
    EXPECT_FALSE(mFile.readSceneProfile(mDir.path(), *target, false));
    EXPECT_EQ(mMessages,
              (std::vector<std::string>{"${profile_open_error}", "${profile_open_error}"}));
}

TEST_F(ProfileFileTest, FailedSaveLeavesTheOldFile) {
    const auto path = mDir / "keep.spf";
    auto first = sampleProfile(1);
    ASSERT_TRUE(mFile.writeSceneProfile(*first, path, false));
    const std::string before = readBytes(path);
    // Something in the way of the file written beside it makes the save fail.
    std::filesystem::create_directory(mDir / "keep.spf.tmp");
    EXPECT_FALSE(mFile.writeSceneProfile(*sampleProfile(2), path, true));
    EXPECT_EQ(mMessages, std::vector<std::string>{"${profile_create_error}"});
    EXPECT_EQ(readBytes(path), before);
    // A save into a missing folder fails too, and says so.
    EXPECT_FALSE(mFile.writeSceneProfile(*first, mDir / "no" / "such.spf", false));
}

class WholeConfigTest : public ProfileFileTest {
protected:
    WholeConfigTest() : mScenes(10), mNames{} {
        mLive = std::make_unique<Profile>();
        model_test::fillNonDefault(*mLive, 0, FileScope::LiveOfConfig);
        for (int i = 0; i < 10; ++i) {
            model_test::fillNonDefault(mScenes[i], i + 1, FileScope::SceneOfConfig);
            for (int b = 0; b < 16; ++b) {
                mNames[i][b] = static_cast<uint8_t>(i == 2 ? 0 : 'A' + i + b);
            }
        }
        mNames[5][7] = 0xC8;  // names are bytes in the device's code page
        mNames[5][8] = 0xFD;
    }

    std::span<const Profile, 10> scenes() const {
        return std::span<const Profile, 10>(mScenes.data(), 10);
    }

    std::string goodText() const { return model::wholeConfigText(*mLive, scenes(), mNames); }

    std::unique_ptr<Profile> mLive;
    std::vector<Profile> mScenes;
    std::array<SceneName, 10> mNames;
};

TEST_F(WholeConfigTest, RoundTripRestoresEachScene) {
    ASSERT_TRUE(mFile.writeWholeConfig(*mLive, scenes(), mNames, mDir / "all.wpf"));
    auto live = std::make_unique<Profile>();
    live->bridgeOutputs[1] = 1;  // bridging keeps its current state
    std::vector<Profile> loaded(10);
    std::array<SceneName, 10> names{};
    ASSERT_TRUE(mFile.readWholeConfig(mDir / "all.wpf", *live,
                                      std::span<Profile, 10>(loaded.data(), 10), names));
    EXPECT_EQ(live->bridgeOutputs[1], 1);
    live->bridgeOutputs[1] = 0;
    EXPECT_TRUE(*live == *mLive);
    for (int i = 0; i < 10; ++i) {
        EXPECT_TRUE(loaded[i] == mScenes[i]) << "scene " << i + 1;
    }
    EXPECT_EQ(names, mNames);
    EXPECT_TRUE(mMessages.empty());
}

TEST_F(WholeConfigTest, ABadSceneLeavesEverythingAsItWas) {
    std::string text = editJson(goodText(), [](cJSON* root) {
        cJSON* scene = element(member(root, "sceneArray"), 7);
        cJSON_DeleteItemFromObject(scene, "outputs_bk");
    });
    auto live = std::make_unique<Profile>();
    model_test::fillNonDefault(*live, 5, FileScope::SceneProfile);
    auto liveBefore = std::make_unique<Profile>(*live);
    std::vector<Profile> current(10);
    current[0].channels[0].gain = -1.0f;
    std::vector<Profile> currentBefore = current;
    std::array<SceneName, 10> names{};
    names[0][0] = 'X';
    const auto namesBefore = names;
    EXPECT_FALSE(
        mFile.readWholeConfigText(text, *live, std::span<Profile, 10>(current.data(), 10), names));
    EXPECT_EQ(mMessages, std::vector<std::string>{"${profile_load_error}"});
    EXPECT_TRUE(*live == *liveBefore);
    EXPECT_TRUE(current == currentBefore);
    EXPECT_EQ(names, namesBefore);
}

TEST_F(WholeConfigTest, FailuresAndTheirMessages) {
    std::vector<Profile> current(10);
    std::array<SceneName, 10> names{};
    auto live = std::make_unique<Profile>();
    const auto span = std::span<Profile, 10>(current.data(), 10);
    const std::string good = goodText();
    auto refused = [&](const std::string& text) {
        mMessages.clear();
        EXPECT_FALSE(mFile.readWholeConfigText(text, *live, span, names));
        return mMessages.size() == 1 ? mMessages[0] : std::string("(none)");
    };
    EXPECT_EQ(refused(good.substr(0, 1000)), "${profile_load_error}");
    EXPECT_EQ(
        refused(editJson(
            good, [](cJSON* r) { cJSON_ReplaceItemInObject(r, "model", cJSON_CreateNumber(1)); })),
        "${software_not_match}");
    EXPECT_EQ(refused(editJson(
                  good, [](cJSON* r) { cJSON_DeleteItemFromArray(member(r, "sceneName"), 0); })),
              "${profile_load_error}");
    EXPECT_EQ(refused(editJson(good,
                               [](cJSON* r) {
                                   cJSON_ReplaceItemInArray(member(r, "sceneName"), 0,
                                                            cJSON_CreateNumber(0));
                               })),
              "${profile_load_error}");
    EXPECT_EQ(refused(editJson(good,
                               [](cJSON* r) {
                                   cJSON_DeleteItemFromObject(member(r, "currentProfile"),
                                                              "inMixPhase");
                               })),
              "${profile_load_error}");
    EXPECT_TRUE(*live == Profile());
}

TEST_F(WholeConfigTest, OddSceneNamesDecodeIntoSixteenBytes) {
    std::string text = editJson(goodText(), [](cJSON* r) {
        cJSON_ReplaceItemInArray(member(r, "sceneName"), 0, cJSON_CreateString("SGk="));
        cJSON_ReplaceItemInArray(
            member(r, "sceneName"), 1,
            cJSON_CreateString("QUJDREVGR0hJSktMTU5PUFFSU1RVVldY"));  // 24 bytes
        cJSON_ReplaceItemInArray(member(r, "sceneName"), 2, cJSON_CreateString("not base64!"));
    });
    auto live = std::make_unique<Profile>();
    std::vector<Profile> current(10);
    std::array<SceneName, 10> names{};
    ASSERT_TRUE(
        mFile.readWholeConfigText(text, *live, std::span<Profile, 10>(current.data(), 10), names));
    EXPECT_EQ(names[0], (SceneName{'H', 'i'}));
    EXPECT_EQ(std::string(names[1].begin(), names[1].end()), "ABCDEFGHIJKLMNOP");
    EXPECT_EQ(names[2], (SceneName{0x9E, 0x8B}));  // decoding stops at the space
}

}  // namespace
