// A shop's script: a tune restored from a whole configuration, a scene
// saved, the scenes listed, the state dumped and backed up again; what comes
// back must be what went in.
#include <memory>

#include "cli/tests/tool_run.h"
#include "jobs/profile_difference.h"
#include "model/main_volume_map.h"
#include "model/profile_file.h"
#include "model/profile_json.h"

namespace cli::testing {
namespace {

struct WholeConfig {
    model::Profile working;
    std::array<model::Profile, model::kStoredScenes> scenes{};
    std::array<model::SceneName, model::kStoredScenes> names{};
};

model::SceneName NameBytes(const std::string& text) {
    model::SceneName name{};
    std::copy(text.begin(), text.end(), name.begin());
    return name;
}

// A tune unlike the demo amplifier's in every scene, on the amplifier's own
// grid of values (delays in thousandths, trims in whole dB, gains in tenths).
std::unique_ptr<WholeConfig> ShopTune() {
    auto tune = std::make_unique<WholeConfig>();
    tune->working.channels[0].delay = 3.5f;
    tune->working.channels[1].gain = -6.0f;
    tune->working.eqArray(2)[5].eqGain = 3.0f;
    tune->working.channels[3].mute = 1;
    // The low-level source's first split cross-source row plays the optical
    // source's second input.
    tune->working.csmViceSource[4][8] = 0;
    tune->working.csmViceCh[4][8] = 1;
    for (int k = 0; k < model::kStoredScenes; ++k) {
        model::Profile& scene = tune->scenes[static_cast<size_t>(k)];
        scene.channels[k % 4].delay = 0.25f * static_cast<float>(k + 1);
        scene.eqArray(0)[k].eqGain = -1.5f - static_cast<float>(k);
        tune->names[static_cast<size_t>(k)] = NameBytes("Shop" + std::to_string(k + 1));
    }
    return tune;
}

std::unique_ptr<WholeConfig> ReadWholeConfig(const std::filesystem::path& path) {
    auto config = std::make_unique<WholeConfig>();
    EXPECT_EQ(
        model::parseWholeConfig(FileText(path), config->working, config->scenes, config->names),
        model::ProfileParseResult::Ok);
    return config;
}

// The commands that would turn one state into the other: none when the
// amplifier holds the same tune.
int Difference(const model::Profile& a, const model::Profile& b) {
    return jobs::CountProfileDifference({&a, model::MainVolumeAttenuationOf(a.mainVolume)},
                                        {&b, model::MainVolumeAttenuationOf(b.mainVolume)});
}

TEST_F(ToolTest, RestoreSaveListDumpAndBackUpGiveBackTheTune) {
    ASSERT_EQ(Run({"info"}).code, 0);  // the state file now exists
    const std::unique_ptr<WholeConfig> tune = ShopTune();
    model::ProfileFile file;
    ASSERT_TRUE(file.writeWholeConfig(tune->working, tune->scenes, tune->names, Path("a.wpf")));

    ToolResult result = Run({"--quiet", "restore", Path("a.wpf").string()});
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(result.err, "");  // quiet: no progress
    {
        const virtual_device::DemoAmplifier amp = Amplifier();
        const virtual_device::AmplifierState working = amp.protocol->State(0);
        EXPECT_EQ(working.channels[0].delayMs, 3);
        EXPECT_EQ(working.channels[0].delayThousandths, 500);
        EXPECT_EQ(working.channels[3].mute, 1);
        EXPECT_EQ(working.sources[4].crossMix[8].viceSource, 0);
        EXPECT_EQ(working.sources[4].crossMix[8].viceChannel, 1);
        EXPECT_EQ(amp.protocol->State(7).channels[2].delayMs, 1);  // scene 7: 0.25 * 7
        EXPECT_EQ(amp.protocol->State(7).channels[2].delayThousandths, 750);
        EXPECT_EQ(amp.protocol->Name(4)[4], '4');
    }

    result = Run({"scene", "save", "3", "Club"});
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(Amplifier().protocol->State(3), Amplifier().protocol->State(0));

    result = Run({"scene", "list"});
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_NE(result.out.find("3\tstored\tClub\n"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("4\tstored\tShop4\n"), std::string::npos) << result.out;

    result = Run({"dump"});
    ASSERT_EQ(result.code, 0) << result.err;
    auto dumped = std::make_unique<model::Profile>();
    ASSERT_EQ(model::parseSceneProfile(result.out, *dumped), model::ProfileParseResult::Ok);
    EXPECT_EQ(Difference(tune->working, *dumped), 0);

    result = Run({"--quiet", "backup", Path("b.wpf").string()});
    ASSERT_EQ(result.code, 0) << result.err;
    const std::unique_ptr<WholeConfig> back = ReadWholeConfig(Path("b.wpf"));
    EXPECT_EQ(Difference(tune->working, back->working), 0);
    for (int k = 0; k < model::kStoredScenes; ++k) {
        const model::Profile& expected = k == 2 ? tune->working : tune->scenes[size_t(k)];
        EXPECT_EQ(Difference(expected, back->scenes[size_t(k)]), 0) << "scene " << k + 1;
    }
    for (int k = 0; k < model::kStoredScenes; ++k) {
        EXPECT_EQ(back->names[size_t(k)],
                  NameBytes(k == 2 ? "Club" : "Shop" + std::to_string(k + 1)))
            << "scene " << k + 1;
    }
}

TEST_F(ToolTest, ASceneProfileAndALoadedSceneBecomeTheWorkingState) {
    ASSERT_EQ(Run({"scene", "save", "5", "Before"}).code, 0);
    auto profile = std::make_unique<model::Profile>();
    profile->channels[2].delay = 7.25f;
    model::ProfileFile file;
    ASSERT_TRUE(file.writeSceneProfile(*profile, Path("one.spf"), false));

    ToolResult result = Run({"restore", Path("one.spf").string()});
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(Amplifier().protocol->State(0).channels[2].delayMs, 7);
    EXPECT_NE(Amplifier().protocol->State(5), Amplifier().protocol->State(0));

    result = Run({"scene", "load", "5"});
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(Amplifier().protocol->State(0), Amplifier().protocol->State(5));

    result = Run({"scene", "delete", "5"});
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(Amplifier().protocol->ValidMask() & (1u << 4), 0u);
    result = Run({"--json", "scene", "list"});
    EXPECT_NE(result.out.find("\"scene\":\t5,\n\t\t\"stored\":\tfalse"), std::string::npos)
        << result.out;
}

}  // namespace
}  // namespace cli::testing
