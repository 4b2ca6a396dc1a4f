// Reports straight from the device's byte stream: the decoding examples, and
// the mends for frames that lie about their ranges, their lengths or their
// channels.
#include <gtest/gtest.h>

#include <vector>

#include "device/device_records.h"
#include "device/dsp_subcommands.h"
#include "device/mcu_subcommands.h"
#include "device/window_messages.h"
#include "link_fixture.h"

namespace {

using namespace device;
using test_support::LinkFixture;
using test_support::RecordOf;

class UntrustedReplyTest : public LinkFixture {
protected:
    // The device speaks on its own; the link reads until the stream is dry.
    std::vector<platform::PostedMessage> Receive(uint8_t type, uint8_t sub,
                                                 std::vector<uint8_t> data,
                                                 uint8_t operation = OP_UPDATE) {
        mAmplifier->SendFrame(type, sub, operation, data);
        uint8_t buffer[kOutputReportSize];
        while (mAmplifier->PendingInputReports() > 0) {
            mLink.ReadHIDData(buffer, 100);
        }
        return mMessages->Take();
    }
};

TEST_F(UntrustedReplyTest, DelayReportOfTwoChannels) {
    auto messages = Receive(CMD_DSP, DSP_DELAY_CH, {0, 0, 2, 3, 0x01, 0x01, 0xF4, 0, 0, 0x0A});
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(RecordOf<ChannelFloatRecord>(messages[0])->channel, 2);
    EXPECT_FLOAT_EQ(RecordOf<ChannelFloatRecord>(messages[0])->value, 1.5f);
    EXPECT_EQ(RecordOf<ChannelFloatRecord>(messages[1])->channel, 3);
    EXPECT_FLOAT_EQ(RecordOf<ChannelFloatRecord>(messages[1])->value, 0.01f);
}

TEST_F(UntrustedReplyTest, EqBandReportWithItsType) {
    auto messages =
        Receive(CMD_DSP, DSP_EQ_CH, {0, 0, 1, 4, 4, 0x03, 0xE8, 0x01, 0x28, 0x2F, 0x05});
    ASSERT_EQ(messages.size(), 1u);
    const auto* band = RecordOf<EqBandRecord>(messages[0]);
    ASSERT_NE(band, nullptr);
    EXPECT_EQ(band->frequency, 1000);
    EXPECT_FLOAT_EQ(band->q, 1.4f);
    EXPECT_EQ(band->type, 1);
    EXPECT_FLOAT_EQ(band->gain, -2.5f);
}

TEST_F(UntrustedReplyTest, CompressorReportOfFourChannels) {
    std::vector<uint8_t> data = {0, 0, 0, 3};
    for (uint8_t c = 0; c < 4; ++c) {
        data.insert(data.end(), {c, 80, 0, 4, 0, 6, 0, 0, static_cast<uint8_t>(10 + c), 0, 50});
    }
    auto messages = Receive(CMD_DSP, DSP_COMPRESSOR_SETTING, data);
    ASSERT_EQ(messages.size(), 4u);
    for (int c = 0; c < 4; ++c) {
        const auto* record = RecordOf<CompressorRecord>(messages[c]);
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(record->channel, c);
        EXPECT_EQ(record->bypass, c);
        EXPECT_EQ(record->attack, 10 + c);
        EXPECT_FLOAT_EQ(record->threshold, -20.0f);
    }
}

TEST_F(UntrustedReplyTest, CalibrationFailureReasons) {
    auto known = Receive(CMD_DSP, DSP_IRC_CTRL, {11, 0, 0, 40, 1});
    ASSERT_EQ(known.size(), 1u);
    EXPECT_EQ(known[0].target, test_support::kAutoCalWnd);
    EXPECT_EQ(known[0].wParam, 11u);
    EXPECT_EQ(known[0].lParam, 1);
    auto unknown = Receive(CMD_DSP, DSP_IRC_CTRL, {11, 0, 0, 40, 9});
    ASSERT_EQ(unknown.size(), 1u);
    EXPECT_EQ(unknown[0].wParam, 11u);
    EXPECT_EQ(unknown[0].lParam, 9);
    // Cut short before the reason: nothing.
    EXPECT_TRUE(Receive(CMD_DSP, DSP_IRC_CTRL, {11, 0, 0, 40}).empty());
}

TEST_F(UntrustedReplyTest, LinkReportCopiesOneBytePerOutputPair) {
    auto messages = Receive(CMD_DSP, DSP_CH_LINK, {0, 1, 0x01, 0x23, 0x45, 0x67, 0x89, 0xAB});
    ASSERT_EQ(messages.size(), 1u);
    const auto* link = RecordOf<LinkRecord>(messages[0]);
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->pairCount, 5);
    EXPECT_EQ(link->pairs[4], 0x89);
    EXPECT_EQ(link->pairs[5], 0x00);
}

TEST_F(UntrustedReplyTest, LastChannel255EndsTheRange) {
    auto messages = Receive(CMD_DSP, DSP_MUTE_CH, {0, 0, 250, 255, 1, 1, 1, 1, 1, 1});
    ASSERT_EQ(messages.size(), 6u);
    EXPECT_EQ(RecordOf<ChannelValueRecord>(messages.back())->channel, 255);
}

TEST_F(UntrustedReplyTest, RangeLongerThanTheFrameStopsAtItsData) {
    // Channels 0..255 announced, three entries sent.
    auto messages = Receive(CMD_DSP, DSP_TRIM_CH, {0, 0, 0, 255, 0xFD, 0xFA, 0x00});
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_FLOAT_EQ(RecordOf<ChannelFloatRecord>(messages[1])->value, -6.0f);
}

TEST_F(UntrustedReplyTest, ChannelsBeyondTheRecordArraysAreDropped) {
    std::vector<uint8_t> modes = {0, 0, 28, 40};
    for (int c = 28; c <= 40; ++c) {
        modes.push_back(static_cast<uint8_t>(c));
    }
    auto qModes = Receive(CMD_DSP, DSP_HPF_Q_FACT_MODE, modes);
    ASSERT_EQ(qModes.size(), 1u);
    const auto* record = RecordOf<ChannelByteRecord>(qModes[0]);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->modes[31], 31);
    EXPECT_EQ(record->last, 40);

    std::vector<uint8_t> noise = {10, 30};
    for (int c = 10; c <= 30; ++c) {
        noise.insert(noise.end(), {40, 5});
    }
    auto levels = Receive(CMD_DSP, DSP_INPUT_NOISE, noise);
    ASSERT_EQ(levels.size(), 1u);
    const auto* noiseRecord = RecordOf<InputNoiseRecord>(levels[0]);
    ASSERT_NE(noiseRecord, nullptr);
    EXPECT_FLOAT_EQ(noiseRecord->noise[15], -59.5f);
}

TEST_F(UntrustedReplyTest, ShortFramesPostNothingFromStaleBytes) {
    Receive(CMD_DSP, DSP_VOLUME, {0x05});
    EXPECT_TRUE(Receive(CMD_DSP, DSP_VOLUME, {}).empty());
    EXPECT_TRUE(Receive(CMD_DSP, DSP_MEM_DATA, {1, 2, 3}).empty());
    EXPECT_TRUE(Receive(CMD_MCU, MCU_HANDSHAKE, {0x00, 94}).empty());
    EXPECT_EQ(mLink.ModelId(), -1);
    EXPECT_TRUE(Receive(CMD_FLASH, FLASH_SCENE_NAME, {1, 'a', 'b'}).empty());
}

TEST_F(UntrustedReplyTest, OtherOperationsAreIgnored) {
    EXPECT_TRUE(Receive(CMD_DSP, DSP_VOLUME, {0x05}, OP_ACK).empty());
    EXPECT_TRUE(mLog.Contains("DSP_VOLUME OP_ACK\n"));
    EXPECT_TRUE(Receive(CMD_DSP, DSP_MUTE, {1}, OP_SET).empty());
    EXPECT_TRUE(Receive(CMD_DSP, 0x60, {1}).empty());
    EXPECT_TRUE(mLog.Contains("!!! NOT SUPPORT MSG\n"));
}

TEST_F(UntrustedReplyTest, SceneNamesAndScenesFromTheFlash) {
    std::vector<uint8_t> erased = {4};
    erased.insert(erased.end(), 16, 0xFF);
    auto blank = Receive(CMD_FLASH, FLASH_SCENE_NAME, erased);
    ASSERT_EQ(blank.size(), 1u);
    EXPECT_EQ(RecordOf<SceneNameRecord>(blank[0])->name, (std::array<uint8_t, 16>{}));
    EXPECT_EQ(RecordOf<SceneNameRecord>(blank[0])->sceneIndex, 3);

    std::vector<uint8_t> odd = {4};
    odd.insert(odd.end(), 15, 0xFF);
    odd.push_back(0x42);  // one even byte: a real name
    auto named = Receive(CMD_FLASH, FLASH_SCENE_NAME, odd);
    ASSERT_EQ(named.size(), 1u);
    EXPECT_EQ(RecordOf<SceneNameRecord>(named[0])->name[15], 0x42);
    EXPECT_EQ(RecordOf<SceneNameRecord>(named[0])->name[0], 0xFF);
}

TEST_F(UntrustedReplyTest, KaraokeEchoDelayIsSixteenBits) {
    auto messages = Receive(CMD_KTV, KTV_ECHO_DELAY, {0x01, 0x2C});
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].message, WM_READ_KTV_VALUE);
    EXPECT_EQ(messages[0].lParam, 300);
}

TEST_F(UntrustedReplyTest, PingTakesTheDeviceOutOfNormalMode) {
    mLink.Hand_Connect();
    ASSERT_TRUE(mLink.IsMcuNormalMode());
    mMessages->Take();
    auto messages = Receive(CMD_MCU, MCU_PING, {});
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].wParam, MCU_PING);
    EXPECT_FALSE(mLink.IsMcuNormalMode());
}

}  // namespace
