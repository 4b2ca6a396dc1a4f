// What the features this model switches off add to the conversations with
// the amplifier: nothing under this model's record, where the first
// synchronisation's frames are the recorded ones; under a record that
// switches them on, their requests, their reports reaching the working
// profile, and a scene saved and loaded keeping them.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/model_cfg.h"
#include "app/tests/features_on_record.h"
#include "controller_fixture.h"
#include "device/dsp_subcommands.h"
#include "device/mcu_subcommands.h"
#include "device/packet.h"
#include "testkit/build_paths.h"

namespace {

using test_support::ControllerTest;

const std::string kRecordedFirstSync = testkit::BuildPath("DATA_DIR") + "/first_sync_frames.txt";

// One line per frame the host sent: the report's length byte, packet type,
// sub-command, operation and data, in hex.
std::vector<std::string> FrameLines(const std::vector<std::vector<uint8_t>>& reports) {
    std::vector<std::string> lines;
    for (const auto& report : reports) {
        if (report.size() < 8) {
            continue;
        }
        const size_t end = std::min<size_t>(report.size(), 4 + report[3]);
        std::string line;
        char hex[4];
        for (size_t i = 3; i < end; ++i) {
            std::snprintf(hex, sizeof hex, i == 3 ? "%02x" : " %02x", report[i]);
            line += hex;
        }
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> ReadLines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty()) {
            lines.push_back(line);
        }
    }
    return lines;
}

TEST_F(ControllerTest, ThisModelsFirstSynchronisationSendsTheRecordedFrames) {
    mDemo.amplifier->ClearReceived();
    ASSERT_TRUE(ConnectAndSync());
    Settle();
    const std::vector<std::string> sent = FrameLines(mDemo.amplifier->ReceivedReports());
    if (const char* record = std::getenv("TQ_RECORD_FIRST_SYNC")) {
        std::ofstream out(record);
        for (const std::string& line : sent) {
            out << line << '\n';
        }
    }
    const std::vector<std::string> recorded = ReadLines(kRecordedFirstSync);
    ASSERT_GT(recorded.size(), 100u) << kRecordedFirstSync;
    ASSERT_EQ(sent.size(), recorded.size());
    for (size_t i = 0; i < sent.size(); ++i) {
        ASSERT_EQ(sent[i], recorded[i]) << "frame " << i;
    }
}

}  // namespace

namespace {

// The record is in place before the fixture builds the program and goes
// only after the program is gone.
struct UnderFeaturesOnRecord {
    explicit UnderFeaturesOnRecord(const app::ModelCfg& record) : mRecord(record) {}
    app::ScopedModelCfg mRecord;
};

app::ModelCfg FirstTypeRecord() {
    app::ModelCfg record = test_support::FeaturesOnRecord();
    record.mENABLE_COMPRESSOR2 = false;
    return record;
}

app::ModelCfg SecondTypeRecord() {
    app::ModelCfg record = test_support::FeaturesOnRecord();
    record.mENABLE_COMPRESSOR = false;
    return record;
}

class FirstTypeTest : public UnderFeaturesOnRecord, public ControllerTest {
protected:
    FirstTypeTest() : UnderFeaturesOnRecord(FirstTypeRecord()) {}
};

class SecondTypeTest : public UnderFeaturesOnRecord, public ControllerTest {
protected:
    SecondTypeTest() : UnderFeaturesOnRecord(SecondTypeRecord()) {}
};

bool IsFeatureFrame(const std::vector<uint8_t>& report) {
    const uint8_t type = report[4];
    const uint8_t sub = report[5];
    return type == device::CMD_KTV ||
           (type == device::CMD_DSP &&
            (sub == device::DSP_COMPRESSOR_SETTING || sub == device::DSP_COMPRESSOR_ON_CH ||
             sub == device::DSP_COMPRESSOR_SETTING2 || sub == device::DSP_CS_AUTO_SETTING));
}

int CountOf(const std::vector<std::vector<uint8_t>>& reports, uint8_t type, uint8_t sub) {
    int count = 0;
    for (const auto& report : reports) {
        count += report.size() >= 8 && report[4] == type && report[5] == sub ? 1 : 0;
    }
    return count;
}

TEST_F(FirstTypeTest, TheSwitchesAddTheirRequestsAndNothingElseToTheFirstSynchronisation) {
    mDemo.amplifier->ClearReceived();
    ASSERT_TRUE(ConnectAndSync());
    Settle();
    const auto reports = mDemo.amplifier->ReceivedReports();
    std::vector<std::vector<uint8_t>> others;
    for (const auto& report : reports) {
        if (report.size() >= 8 && !IsFeatureFrame(report)) {
            others.push_back(report);
        }
    }
    EXPECT_EQ(FrameLines(others), ReadLines(kRecordedFirstSync));
    EXPECT_EQ(CountOf(reports, device::CMD_DSP, device::DSP_COMPRESSOR_SETTING), 3)
        << "ten outputs in blocks of four";
    EXPECT_EQ(CountOf(reports, device::CMD_DSP, device::DSP_COMPRESSOR_ON_CH), 1);
    EXPECT_EQ(CountOf(reports, device::CMD_DSP, device::DSP_COMPRESSOR_SETTING2), 0);
    EXPECT_EQ(CountOf(reports, device::CMD_DSP, device::DSP_CS_AUTO_SETTING), 0)
        << "the upmix block is sent only when the user changes it";
    for (uint8_t sub = 1; sub <= 10; ++sub) {
        EXPECT_EQ(CountOf(reports, device::CMD_KTV, sub), 1) << "karaoke value " << int(sub);
    }
}

TEST_F(FirstTypeTest, TheFirstSynchronisationReadsTheCompressorsAndTheKaraokeValues) {
    auto working = Amp();
    virtual_device::CompressorState& k = working.channels[2].compressor;
    k = {0, 79, 5, 4, 2, 2, 5, 15, 300};
    working.channels[6].compressorOn = 0;
    mDemo.protocol->SetState(0, working);
    mDemo.protocol->SetKtvValue(device::KTV_MIC_VOL, 45);
    mDemo.protocol->SetKtvValue(device::KTV_ECHO_DELAY, 280);
    mDemo.protocol->SetKtvValue(device::KTV_BASS_GAIN, 0xFB);  // -5 as the device sends it
    mDemo.protocol->SetKtvValue(device::KTV_TREBLE_GAIN, 3);
    ASSERT_TRUE(ConnectAndSync());
    Settle();

    const model::Profile& p = mManager->WorkingProfile();
    EXPECT_EQ(p.compressorBypass[2], 0);
    EXPECT_NEAR(p.compressorNoise[2], -20.5f, 1e-4);
    EXPECT_NEAR(p.compressorRatio[2], 4.2f, 1e-4);
    EXPECT_NEAR(p.compressorSoftKnee[2], 2.5f, 1e-4);
    EXPECT_EQ(p.compressorAttack[2], 15);
    EXPECT_EQ(p.compressorRelease[2], 300);
    EXPECT_EQ(p.compressorBypass[1], 1) << "the amplifier's default";
    EXPECT_NEAR(p.compressorNoise[1], 64.0f, 1e-4);
    EXPECT_FALSE(p.channels[6].compressorOn);
    EXPECT_TRUE(p.channels[5].compressorOn);
    EXPECT_EQ(p.micVolume, 45);
    EXPECT_EQ(p.echoDelay, 280);
    EXPECT_EQ(p.bass, -5);
    EXPECT_EQ(p.treble, 3);
    EXPECT_EQ(p.bgmusicVolume, 60);
}

TEST_F(SecondTypeTest, TheSecondTypesReportKeepsTheBypassRatioAndKneeItDoesNotCarry) {
    auto working = Amp();
    working.channels[3].compressor2 = {-12, -5, 50, 2, 3};
    mDemo.protocol->SetState(0, working);
    mDemo.amplifier->ClearReceived();
    ASSERT_TRUE(ConnectAndSync());
    Settle();

    const auto reports = mDemo.amplifier->ReceivedReports();
    EXPECT_EQ(CountOf(reports, device::CMD_DSP, device::DSP_COMPRESSOR_SETTING2), 10)
        << "one output at a time";
    EXPECT_EQ(CountOf(reports, device::CMD_DSP, device::DSP_COMPRESSOR_SETTING), 0);
    const model::Profile& p = mManager->WorkingProfile();
    EXPECT_NEAR(p.compressorNoise[3], -12.5f, 1e-4);
    EXPECT_EQ(p.compressorAttack[3], 50);
    EXPECT_EQ(p.compressorRelease[3], 2300);
    EXPECT_EQ(p.compressorBypass[3], 1);
    EXPECT_NEAR(p.compressorRatio[3], 100.0f, 1e-4);
    EXPECT_NEAR(p.compressorSoftKnee[3], 24.0f, 1e-4);
}

class SceneKeepingTest : public SecondTypeTest {
protected:
    void SetUp() override {
        SecondTypeTest::SetUp();
        ASSERT_TRUE(ConnectAndSync());
        mManager->Link().SetSceneWnd(1);
    }
    bool RunJob(void (controller::EqualizerManager::*start)()) {
        const int hidden = mUi.mLoadingHidden;
        (mManager.get()->*start)();
        return Pump([&] { return mUi.mLoadingHidden > hidden; }, std::chrono::seconds(10));
    }
    // What the compressor window sends for one output.
    void SetCompressor(int c, float threshold, int attack, int releaseMs) {
        model::Profile& p = mManager->WorkingProfile();
        p.compressorNoise[c] = threshold;
        p.compressorAttack[c] = attack;
        p.compressorRelease[c] = releaseMs;
        const device::Compressor2Entry entry{threshold, attack, static_cast<uint32_t>(releaseMs)};
        const auto channel = static_cast<uint8_t>(c);
        mManager->Link().Compressor_Ctrl2({0, 0, channel, channel}, std::span(&entry, 1), false);
    }
};

TEST_F(SceneKeepingTest, ASceneSavedAndLoadedKeepsTheCompressors) {
    mManager->SetCompressorOn(4, false);
    SetCompressor(7, -30.0f, 120, 1500);
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Amp().channels[4].compressorOn, 0);
    EXPECT_EQ(Amp().channels[7].compressor2.thresholdInteger, -30);

    mManager->SetSceneId(6);
    ASSERT_TRUE(RunJob(&controller::EqualizerManager::StartSaveSenceThread));
    EXPECT_EQ(Amp(6).channels[4].compressorOn, 0);
    EXPECT_EQ(Amp(6).channels[7].compressor2.attack, 120);

    mManager->SetCompressorOn(4, true);
    SetCompressor(7, -5.0f, 10, 500);
    ASSERT_TRUE(WaitQueueIdle());
    mManager->SetSceneId(6);
    ASSERT_TRUE(RunJob(&controller::EqualizerManager::StartLoadSenceThread));
    Settle();

    const model::Profile& p = mManager->WorkingProfile();
    EXPECT_FALSE(p.channels[4].compressorOn);
    EXPECT_NEAR(p.compressorNoise[7], -30.0f, 1e-4);
    EXPECT_EQ(p.compressorAttack[7], 120);
    EXPECT_EQ(p.compressorRelease[7], 1500);
}

}  // namespace
