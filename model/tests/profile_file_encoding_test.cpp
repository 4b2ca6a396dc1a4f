// The bytes of a scene profile, written out by hand from the file format:
// member order, number notation and shapes must match exactly.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "model/profile_file.h"
#include "profile_samples.h"
#include "testkit/temp_dir.h"

namespace {

std::string list(const std::vector<std::string>& items) {
    std::string text = "[";
    for (size_t i = 0; i < items.size(); ++i) {
        text += (i ? "," : "") + items[i];
    }
    return text + "]";
}

std::string numbers(const std::vector<int>& values) {
    std::vector<std::string> items;
    for (int v : values) {
        items.push_back(std::to_string(v));
    }
    return list(items);
}

std::string section(int fs, int type, int slope, int bypass) {
    return "{\"fs\":" + std::to_string(fs) + ",\"type\":" + std::to_string(type) +
           ",\"slope\":" + std::to_string(slope) + ",\"bypass\":" + std::to_string(bypass) + "}";
}

std::string crossover(int bpType, const std::string& hp, const std::string& lp) {
    return "{\"bpType\":" + std::to_string(bpType) + ",\"hp\":" + hp + ",\"lp\":" + lp + "}";
}

// A single-precision 5.8 printed in full, as every default band's Q is.
const std::string kDefaultQ = "5.8000001907348633";

std::string band(int freq, const std::string& q, const std::string& gain, int enable) {
    return "{\"freq\":" + std::to_string(freq) + ",\"eqFactor\":" + q + ",\"eqGain\":" + gain +
           ",\"enable\":" + std::to_string(enable) + "}";
}

std::string defaultBands(const std::vector<int>& freqs) {
    std::vector<std::string> items;
    for (int f : freqs) {
        items.push_back(band(f, kDefaultQ, "0", 1));
    }
    return list(items);
}

const std::vector<int> kFreq11 = {20, 40, 80, 160, 315, 630, 1250, 2500, 5000, 10000, 20000};
const std::vector<int> kFreq21 = {20,  28,   40,   56,   80,   112,  160,  220,   315,   450,  630,
                                  890, 1250, 1800, 2500, 3600, 5000, 7100, 10000, 14000, 20000};

std::string channel(int eqSize, const std::string& head, const std::string& xover,
                    const std::string& bands) {
    return "{\"eqSize\":" + std::to_string(eqSize) + "," + head + ",\"crossover\":" + xover +
           ",\"eqArray\":" + bands + "}";
}

const std::string kQuietHead =
    "\"gain\":0,\"mute\":0,\"delay\":0,\"solo\":0,\"phase\":0,\"bypass\":1";

std::string expectedChannels() {
    const std::string fullRange = crossover(1, section(20, 3, 4, 0), section(20000, 3, 0, 1));
    const std::string tweeter = crossover(1, section(4000, 3, 4, 0), section(20000, 3, 0, 1));
    const std::string woofer = crossover(3, section(80, 3, 4, 0), section(500, 3, 4, 0));
    const std::string sub = crossover(3, section(20, 1, 4, 0), section(70, 1, 4, 0));
    std::vector<int> firstBandsRest(kFreq21.begin() + 1, kFreq21.end());
    std::string editedBands = defaultBands(firstBandsRest);
    editedBands.insert(1, band(25, "2", "-6.5", 0) + ",");
    std::vector<std::string> channels = {
        channel(21, "\"gain\":-3.5,\"mute\":1,\"delay\":1.25,\"solo\":0,\"phase\":1,\"bypass\":0",
                fullRange, editedBands),
        channel(21, kQuietHead, fullRange, defaultBands(kFreq21)),
        channel(21, kQuietHead, fullRange, defaultBands(kFreq21)),
        channel(21, kQuietHead, fullRange, defaultBands(kFreq21)),
        channel(11, kQuietHead, tweeter, defaultBands(kFreq11)),
        channel(11, kQuietHead, woofer, defaultBands(kFreq11)),
        channel(11, kQuietHead, woofer, defaultBands(kFreq11)),
        channel(11, kQuietHead, woofer, defaultBands(kFreq11)),
        channel(11, kQuietHead, sub, defaultBands(kFreq11)),
        channel(11, kQuietHead, sub, defaultBands(kFreq11)),
    };
    return list(channels);
}

std::vector<int> routingRow(int source) {
    if (source == 4 || source == 5) {
        return {1, 2, 4, 8, 3, 3, 1, 2, 1, 2};
    }
    if (source == 9) {
        return {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    }
    return {1, 2, 1, 2, 3, 3, 1, 2, 1, 2};
}

std::string expectedRouting() {
    std::vector<std::string> rows;
    for (int s = 0; s < 10; ++s) {
        rows.push_back(numbers(routingRow(s)));
    }
    return list(rows);
}

std::string expectedMix() {
    std::vector<std::string> sources;
    for (int s = 0; s < 10; ++s) {
        std::vector<std::string> inputs;
        for (int r = 0; r < 10; ++r) {
            std::vector<int> levels;
            for (int mask : routingRow(s)) {
                levels.push_back((mask >> r) & 1 ? 100 : 0);
            }
            inputs.push_back(numbers(levels));
        }
        sources.push_back(list(inputs));
    }
    return list(sources);
}

std::string rowsOf(int value, int rows, int columns) {
    return list(std::vector<std::string>(rows, numbers(std::vector<int>(columns, value))));
}

std::string expectedFile() {
    std::vector<std::string> phaseRows(10, numbers(std::vector<int>(8, 0)));
    phaseRows[4] = numbers({0, 0, 0, 0, 0, 0, 0, 1});
    const std::string types = numbers({6, 12, 15, 18, 19, 20, 14, 17, 22, 23});
    return "{\"model\":94,\"model_name\":\"VTA3300.4-KM\",\"source\":2,\"mainVolume\":-12,"
           "\"acc\":3,\"subVolume\":4,\"mainVolumeMute\":1,\"channels\":" +
           expectedChannels() + ",\"inputs\":" + expectedRouting() +
           ",\"inputMixVolume\":" + expectedMix() + ",\"csmViceSource\":" + rowsOf(10, 10, 10) +
           ",\"csmViceCh\":" + rowsOf(0, 10, 10) + ",\"csmViceGain\":" + rowsOf(0, 10, 10) +
           ",\"outputs\":" + types + ",\"outputs_bk\":" + types +
           ",\"linkOutputs\":" + numbers({1, 0, -1, -1, -1, -1, -1, -1, -1, -1}) +
           ",\"bridgeOutputs\":" + numbers({0, 0, 1, 0, 0}) +
           ",\"showOutChEqualizer\":" + numbers(std::vector<int>(10, 0)) +
           ",\"currOutChannel\":3,\"linkMode\":0,\"lockMode\":0,\"inMixPhase\":" + list(phaseRows) +
           "}";
}

std::string readBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The profile that expectedFile() describes: a fresh one with a few edits.
std::unique_ptr<model::Profile> goldenProfile() {
    auto p = std::make_unique<model::Profile>();
    p->source = 2;
    p->mainVolume = -12;
    p->acc = 3;
    p->subVolume = 4;
    p->mainVolumeMute = 1;
    model::Channel& ch = p->channels[0];
    ch.gain = -3.5f;
    ch.delay = 1.25f;
    ch.mute = 1;
    ch.phase = 1;
    ch.bypass = false;
    p->eqArray(0)[0] = {-6.5f, 2.0f, 25, false, 0};
    p->linkOutputs[0] = 1;
    p->linkOutputs[1] = 0;
    p->bridgeOutputs[2] = 1;
    p->currOutChannel = 3;
    p->inMixPhase[4][7] = 1;
    return p;
}

TEST(ProfileFileEncoding, SceneProfileBytesMatchTheFormat) {
    auto p = goldenProfile();
    // Not part of the file: the device identity, KTV, compressor and curves.
    p->deviceModel = 94;
    p->micVolume = 10;
    p->curveMagnitude[0][0] = 3.0;

    testkit::TempDir dir;
    model::ProfileFile file;
    ASSERT_TRUE(file.writeSceneProfile(*p, dir / "scene.spf", false));
    const std::string written = readBytes(dir / "scene.spf");
    const std::string expected = expectedFile();
    // Compare piece by piece first so a difference points at its member.
    for (size_t at = 0; at < expected.size(); at += 200) {
        ASSERT_EQ(written.substr(at, 200), expected.substr(at, 200)) << "at byte " << at;
    }
    EXPECT_EQ(written, expected);
    EXPECT_FALSE(std::filesystem::exists(dir / "scene.spf.tmp"));
}

// Reading the format back: the hand-written file gives exactly the profile it
// was written from. Most entries of a saved file hold their defaults (-1 for
// "no link partner", 0 for an unbridged pair), so a reader that refuses a
// default would refuse nearly every file users have.
TEST(ProfileFileEncoding, TheFormatReadsBackIntoItsValues) {
    testkit::TempDir dir;
    {
        std::ofstream out(dir / "golden.spf", std::ios::binary);
        out << expectedFile();
    }
    auto loaded = std::make_unique<model::Profile>();
    loaded->source = 7;  // overwritten by the file
    model::ProfileFile file;
    ASSERT_TRUE(file.readSceneProfile(dir / "golden.spf", *loaded, false));
    EXPECT_TRUE(*loaded == *goldenProfile());
    EXPECT_EQ(loaded->source, 2);
    EXPECT_EQ(loaded->mainVolume, -12);
    EXPECT_EQ(loaded->linkOutputs[0], 1);
    EXPECT_EQ(loaded->linkOutputs[2], -1);
    EXPECT_EQ(loaded->linkOutputs[9], -1);
    EXPECT_EQ(loaded->bridgeOutputs[2], 1);
    EXPECT_EQ(loaded->bridgeOutputs[3], 0);
    EXPECT_EQ(loaded->currOutChannel, 3);
    EXPECT_FLOAT_EQ(loaded->channels[0].gain, -3.5f);
    EXPECT_FLOAT_EQ(loaded->channels[0].delay, 1.25f);
    EXPECT_EQ(loaded->eqArray(0)[0].freq, 25);
    EXPECT_FLOAT_EQ(loaded->eqArray(0)[0].eqGain, -6.5f);
    EXPECT_FALSE(loaded->eqArray(0)[0].enable);
    EXPECT_EQ(loaded->channels[8].crossover.lp.fs, 70);
    EXPECT_EQ(loaded->outputs[9], 23);
    EXPECT_EQ(loaded->inMixPhase[4][7], 1);
}

// A fresh profile saved as a scene and as a whole configuration loads back
// equal to a fresh one, over a profile whose every stored field was edited.
TEST(ProfileFileEncoding, FreshProfilesReadBackUnchanged) {
    model::ProfileFile file;
    const auto fresh = std::make_unique<model::Profile>();
    auto edited = std::make_unique<model::Profile>();
    model_test::fillNonDefault(*edited, 2, model_test::FileScope::SceneProfile);
    ASSERT_FALSE(*edited == *fresh);
    ASSERT_TRUE(file.readSceneProfileText(model::sceneProfileText(*fresh), *edited, false));
    EXPECT_TRUE(*edited == *fresh);

    std::vector<model::Profile> freshScenes(10);
    const std::array<model::SceneName, 10> noNames{};
    const std::string whole = model::wholeConfigText(
        *fresh, std::span<const model::Profile, 10>(freshScenes.data(), 10), noNames);
    auto live = std::make_unique<model::Profile>();
    model_test::fillNonDefault(*live, 4, model_test::FileScope::LiveOfConfig);
    std::vector<model::Profile> scenes(10);
    for (int i = 0; i < 10; ++i) {
        model_test::fillNonDefault(scenes[i], i, model_test::FileScope::SceneOfConfig);
    }
    std::array<model::SceneName, 10> names{};
    names[4].fill('N');
    ASSERT_TRUE(file.readWholeConfigText(whole, *live,
                                         std::span<model::Profile, 10>(scenes.data(), 10), names));
    EXPECT_TRUE(*live == *fresh);
    for (int i = 0; i < 10; ++i) {
        EXPECT_TRUE(scenes[i] == *fresh) << "scene " << i + 1;
    }
    EXPECT_EQ(names, noNames);
}

TEST(ProfileFileEncoding, EmptySceneNameIsSixteenZeroBytesInBase64) {
    auto live = std::make_unique<model::Profile>();
    std::vector<model::Profile> scenes(10);
    std::array<model::SceneName, 10> names{};
    const char* hall = "Concert Hall 16B";
    std::copy_n(hall, 16, names[3].begin());
    std::string text = model::wholeConfigText(
        *live, std::span<const model::Profile, 10>(scenes.data(), 10), names);
    EXPECT_EQ(text.find("\"sceneName\":[\"AAAAAAAAAAAAAAAAAAAAAA==\",\"AAAAAAAAAAAAAAAAAAAAAA==\","
                        "\"AAAAAAAAAAAAAAAAAAAAAA==\",\"Q29uY2VydCBIYWxsIDE2Qg==\","),
              text.find("\"sceneName\""));
    // Top-level order of a whole configuration.
    size_t last = 0;
    for (const char* key :
         {"\"model\"", "\"model_name\"", "\"source\"", "\"mainVolume\"", "\"acc\"", "\"subVolume\"",
          "\"mainVolumeMute\"", "\"sceneName\"", "\"csmViceSource\"", "\"csmViceCh\"",
          "\"csmViceGain\"", "\"currentProfile\"", "\"sceneArray\""}) {
        size_t at = text.find(key, last);
        ASSERT_NE(at, std::string::npos) << key;
        last = at;
    }
    // A scene object carries the cross-source arrays but no input phases.
    size_t scenesAt = text.find("\"sceneArray\"");
    EXPECT_EQ(text.find("\"inMixPhase\"", scenesAt), std::string::npos);
    EXPECT_NE(text.find("\"csmViceGain\"", scenesAt), std::string::npos);
    EXPECT_EQ(text.find("\"powerOffDelay\""), std::string::npos);
    EXPECT_EQ(text.find("\"inputThreshold\""), std::string::npos);
}

}  // namespace
