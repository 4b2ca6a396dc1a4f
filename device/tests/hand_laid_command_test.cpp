// What the setters write, compared with output reports laid out by hand from
// the frame layout: report id, sync, length, type, sub-command, operation,
// data and checksum, the rest zero. Independent of the virtual amplifier,
// which here only records the reports and acknowledges them.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "device/dsp_subcommands.h"
#include "device/mcu_subcommands.h"
#include "link_fixture.h"

namespace {

using namespace device;
using test_support::LinkFixture;
using Bytes = std::vector<uint8_t>;

class HandLaidCommandTest : public LinkFixture {
protected:
    // A hand-laid report, padded with zeros to the 65 bytes of an output report.
    static Bytes Report(Bytes head) {
        head.resize(kOutputReportSize, 0);
        return head;
    }
    void SetMixerInputs(int inputs) {
        ModelParams params = test_support::ThisBuildParams();
        params.mixerInputs = inputs;
        mLink.SetModelParams(params);
    }
};

// The width of the mixer's input masks follows the model's input count: one
// byte up to 8 inputs, two up to 16, three up to 24, four beyond.
TEST_F(HandLaidCommandTest, MixerMaskWidthAtEveryBoundary) {
    const uint32_t mask[] = {0x04030201};
    const struct {
        int inputs;
        Bytes maskBytes;
    } cases[] = {
        {1, {0x01}},
        {8, {0x01}},
        {9, {0x02, 0x01}},
        {16, {0x02, 0x01}},
        {17, {0x03, 0x02, 0x01}},
        {24, {0x03, 0x02, 0x01}},
        {25, {0x04, 0x03, 0x02, 0x01}},
        {32, {0x04, 0x03, 0x02, 0x01}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.inputs << " mixer inputs");
        SetMixerInputs(c.inputs);
        ASSERT_TRUE(mLink.Mix_Ch_Ctrl({0, 0, 5, 5}, mask, true));
        Bytes expected = {0, 0, 5, 5};  // scene, source, output 5 only
        expected.insert(expected.end(), c.maskBytes.begin(), c.maskBytes.end());
        EXPECT_EQ(LastSentData(), expected);
    }
}

TEST_F(HandLaidCommandTest, MixerMasksOfTwoOutputsForTenInputs) {
    const uint32_t masks[] = {0x0301, 0x0002};
    ASSERT_TRUE(mLink.Mix_Ch_Ctrl({0, 4, 0, 1}, masks, true));
    // clang-format off
    const auto expected = Report({0x00,                     // report id
                                  0xAA, 0x55,               // sync
                                  0x0B,                     // length: 3 + 8 data bytes
                                  0x01,                     // CMD_DSP
                                  0x0B,                     // DSP_MIX_CH
                                  0xBB,                     // OP_SET
                                  0x00, 0x04, 0x00, 0x01,   // scene 0, source 4, outputs 0..1
                                  0x03, 0x01,               // output 0: inputs 9, 8 and 0
                                  0x00, 0x02,               // output 1: input 1
                                  0x23});                   // checksum
    // clang-format on
    EXPECT_EQ(LastReport(), expected);
}

TEST_F(HandLaidCommandTest, EqBandInTenthsOfQ) {
    ASSERT_TRUE(mLink.EQ_Ctrl(1, 0, 2, 7, 1000, 1.4f, -2.5f, 1, true));
    // clang-format off
    const auto expected = Report({0x00,                     // report id
                                  0xAA, 0x55,               // sync
                                  0x0D,                     // length: 3 + 10 data bytes
                                  0x01,                     // CMD_DSP
                                  0x06,                     // DSP_EQ_CH
                                  0xBB,                     // OP_SET
                                  0x01, 0x00, 0x02, 0x07,   // scene 1, source 0, channel 2, band 7
                                  0x03, 0xE8,               // 1000 Hz
                                  0x01, 0x04,               // Q 1 and 4 tenths
                                  0x2F, 0x05,               // type 1 in the top 3 bits, gain 15.5 - 18
                                  0x03});                   // checksum
    // clang-format on
    EXPECT_EQ(LastReport(), expected);
}

TEST_F(HandLaidCommandTest, EqGainIsHeldWithinItsFiveBits) {
    ASSERT_TRUE(mLink.EQ_Ctrl(0, 0, 0, 0, 20, 0.5f, 20.0f, 2, true));
    // clang-format off
    const auto top = Report({0x00,                     // report id
                             0xAA, 0x55,               // sync
                             0x0D,                     // length: 3 + 10 data bytes
                             0x01,                     // CMD_DSP
                             0x06,                     // DSP_EQ_CH
                             0xBB,                     // OP_SET
                             0x00, 0x00, 0x00, 0x00,   // scene 0, source 0, channel 0, band 0
                             0x00, 0x14,               // 20 Hz
                             0x00, 0x05,               // Q 0 and 5 tenths
                             0x5F, 0x09,               // type 2, gain held at 31.9 - 18
                             0xB0});                   // checksum
    // clang-format on
    EXPECT_EQ(LastReport(), top);
    ASSERT_TRUE(mLink.EQ_Ctrl(0, 0, 0, 0, 20, 0.5f, -30.0f, 2, true));
    EXPECT_EQ(LastSentData(), Bytes({0, 0, 0, 0, 0x00, 0x14, 0, 5,
                                     0x40,  // type 2, gain held at 0 - 18
                                     0}));
}

TEST_F(HandLaidCommandTest, CrossoverSection) {
    ASSERT_TRUE(mLink.Filter_Ctrl(0, 0, 3, 1, 2, 4000, 4, true));
    // clang-format off
    const auto expected = Report({0x00,               // report id
                                  0xAA, 0x55,         // sync
                                  0x0B,               // length: 3 + 8 data bytes
                                  0x01,               // CMD_DSP
                                  0x05,               // DSP_FILTER_SET
                                  0xBB,               // OP_SET
                                  0x00, 0x00, 0x03,   // scene 0, source 0, channel 3
                                  0x01,               // the low-pass section
                                  0x02,               // type 2
                                  0x0F, 0xA0,         // 4000 Hz
                                  0x04,               // slope 4
                                  0x7B});             // checksum
    // clang-format on
    EXPECT_EQ(LastReport(), expected);
}

TEST_F(HandLaidCommandTest, DelayAndTrim) {
    const float delays[] = {12.3f};
    ASSERT_TRUE(mLink.Delay_Ctrl({0, 0, 5, 5}, delays, true));
    // clang-format off
    const auto delay = Report({0x00,                     // report id
                               0xAA, 0x55,               // sync
                               0x0A,                     // length: 3 + 7 data bytes
                               0x01,                     // CMD_DSP
                               0x07,                     // DSP_DELAY_CH
                               0xBB,                     // OP_SET
                               0x00, 0x00, 0x05, 0x05,   // scene 0, source 0, channel 5
                               0x0C, 0x01, 0x2C,         // 12 ms and 300 thousandths
                               0xF0});                   // checksum
    // clang-format on
    EXPECT_EQ(LastReport(), delay);

    const float trims[] = {-6.0f, 0.0f};
    ASSERT_TRUE(mLink.Trim_Ctrl({10, 0, 1, 2}, trims, true));
    // clang-format off
    const auto trim = Report({0x00,                     // report id
                              0xAA, 0x55,               // sync
                              0x09,                     // length: 3 + 6 data bytes
                              0x01,                     // CMD_DSP
                              0x08,                     // DSP_TRIM_CH
                              0xBB,                     // OP_SET
                              0x0A, 0x00, 0x01, 0x02,   // scene 10, source 0, channels 1..2
                              0x06, 0x00,               // attenuations 6 and 0
                              0x20});                   // checksum
    // clang-format on
    EXPECT_EQ(LastReport(), trim);
}

TEST_F(HandLaidCommandTest, RangeOfChannelSwitches) {
    const uint8_t mutes[] = {1, 0, 1};
    ASSERT_TRUE(mLink.Mute_Ch_Ctrl({4, 0, 6, 8}, mutes, true));
    // clang-format off
    const auto expected = Report({0x00,                     // report id
                                  0xAA, 0x55,               // sync
                                  0x0A,                     // length: 3 + 7 data bytes
                                  0x01,                     // CMD_DSP
                                  0x09,                     // DSP_MUTE_CH
                                  0xBB,                     // OP_SET
                                  0x04, 0x00, 0x06, 0x08,   // scene 4, source 0, channels 6..8
                                  0x01, 0x00, 0x01,         // muted, not, muted
                                  0x1D});                   // checksum
    // clang-format on
    EXPECT_EQ(LastReport(), expected);
}

TEST_F(HandLaidCommandTest, CompressorsInBothLayouts) {
    ASSERT_TRUE(mLink.Compressor_Ctrl(0, 0, 1, 0, -20.5f, 4.2f, 15, 300, 2.5f, true));
    // clang-format off
    const auto first = Report({0x00,                     // report id
                               0xAA, 0x55,               // sync
                               0x11,                     // length: 3 + 14 data bytes
                               0x01,                     // CMD_DSP
                               0x3E,                     // DSP_COMPRESSOR_SETTING
                               0xBB,                     // OP_SET
                               0x00, 0x00, 0x01, 0x00,   // scene 0, source 0, channel 1, not bypassed
                               0x4F, 0x05,               // threshold 79.5 - 100
                               0x04, 0x02,               // ratio 4.2
                               0x02, 0x05,               // knee 2.5
                               0x00, 0x0F,               // attack 15
                               0x01, 0x2C,               // release 300
                               0x57});                   // checksum
    // clang-format on
    EXPECT_EQ(LastReport(), first);

    const Compressor2Entry entry{-20.5f, 10, 1500};
    ASSERT_TRUE(mLink.Compressor_Ctrl2({0, 0, 3, 3}, std::span(&entry, 1), true));
    // clang-format off
    const auto second = Report({0x00,                     // report id
                                0xAA, 0x55,               // sync
                                0x0D,                     // length: 3 + 10 data bytes
                                0x01,                     // CMD_DSP
                                0x4A,                     // DSP_COMPRESSOR_SETTING2
                                0xBB,                     // OP_SET
                                0x00, 0x00, 0x03, 0x03,   // scene 0, source 0, channel 3
                                0xEC, 0xFB,               // threshold -20 and -5 tenths
                                0x00, 0x0A,               // attack 10
                                0x01, 0x05,               // release 1 s and 5 tenths
                                0xF0});                   // checksum
    // clang-format on
    EXPECT_EQ(LastReport(), second);
}

TEST_F(HandLaidCommandTest, MemoryWriteIsLittleEndian) {
    ASSERT_TRUE(mLink.Set_MemData(0x00012345, 0xCAFEF00D, true));
    // clang-format off
    const auto expected = Report({0x00,                     // report id
                                  0xAA, 0x55,               // sync
                                  0x0B,                     // length: 3 + 8 data bytes
                                  0x01,                     // CMD_DSP
                                  0x42,                     // DSP_MEM_DATA
                                  0xBB,                     // OP_SET
                                  0x45, 0x23, 0x01, 0x00,   // address 0x00012345, low byte first
                                  0x0D, 0xF0, 0xFE, 0xCA,   // value 0xCAFEF00D, low byte first
                                  0xC9});                   // checksum
    // clang-format on
    EXPECT_EQ(LastReport(), expected);
}

TEST_F(HandLaidCommandTest, MicrocontrollerSetters) {
    ASSERT_TRUE(mLink.Set_Power_Off_Time(3000, true));
    // clang-format off
    const auto delay = Report({0x00,         // report id
                               0xAA, 0x55,   // sync
                               0x05,         // length: 3 + 2 data bytes
                               0x03,         // CMD_MCU
                               0x91,         // MCU_POWER_OFF_DELAY
                               0xBB,         // OP_SET
                               0x0B, 0xB8,   // 3000 ms, high byte first
                               0xE9});       // checksum
    // clang-format on
    EXPECT_EQ(LastReport(), delay);

    ASSERT_TRUE(mLink.Set_Acc(7, true));
    // clang-format off
    const auto acc = Report({0x00,         // report id
                             0xAA, 0x55,   // sync
                             0x04,         // length: 3 + 1 data bytes
                             0x03,         // CMD_MCU
                             0x92,         // MCU_ACC
                             0xBB,         // OP_SET
                             0x07,         // ignition delay 7
                             0xA5});       // checksum
    // clang-format on
    EXPECT_EQ(LastReport(), acc);
}

TEST_F(HandLaidCommandTest, SceneFlashCommandsNameTheScene) {
    ASSERT_TRUE(mLink.SaveScene(10, 1));
    // clang-format off
    const auto save = Report({0x00,         // report id
                              0xAA, 0x55,   // sync
                              0x05,         // length: 3 + 2 data bytes
                              0x02,         // CMD_FLASH
                              0x08,         // FLASH_SCENE_SAVE
                              0xBB,         // OP_SET
                              0x0A, 0x01,   // scene 10, at once
                              0x2B});       // checksum
    // clang-format on
    EXPECT_EQ(LastReport(), save);

    ASSERT_TRUE(mLink.ReadScene(1, FLASH_READ_BACK));
    // clang-format off
    const auto read = Report({0x00,         // report id
                              0xAA, 0x55,   // sync
                              0x05,         // length: 3 + 2 data bytes
                              0x02,         // CMD_FLASH
                              0x09,         // FLASH_SCENE_READ
                              0xBB,         // OP_SET
                              0x01, 0xFF,   // scene 1, read back
                              0x35});       // checksum
    // clang-format on
    EXPECT_EQ(LastReport(), read);

    uint8_t name[16] = {};
    std::memcpy(name, "Last", 4);
    ASSERT_TRUE(mLink.SetSceneName(10, name, 16));
    // clang-format off
    const auto named = Report({0x00,                                                                                             // report id
                               0xAA, 0x55,                                                                                       // sync
                               0x15,                                                                                             // length: 3 + 18 data bytes
                               0x02,                                                                                             // CMD_FLASH
                               0x0B,                                                                                             // FLASH_SCENE_NAME
                               0xBB,                                                                                             // OP_SET
                               0x0A, 0x10,                                                                                       // scene 10, 16 name bytes
                               0x4C, 0x61, 0x73, 0x74, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,   // "Last"
                               0x75});                                                                                           // checksum
    // clang-format on
    EXPECT_EQ(LastReport(), named);
}

// A frame holds at most 57 data bytes: the last one ends at byte 63 of the
// report and the checksum fills byte 64.
TEST_F(HandLaidCommandTest, TheLongestCommandFillsTheReport) {
    ASSERT_TRUE(mLink.SubmitCommand(CMD_DSP, DSP_CS_AUTO_SETTING, OP_SET, Bytes(57, 0x11), true));
    Bytes expected = {0x00,        // report id
                      0xAA, 0x55,  // sync
                      0x3C,        // length: 3 + 57 data bytes
                      0x01,        // CMD_DSP
                      0x3D,        // DSP_CS_AUTO_SETTING
                      0xBB};       // OP_SET
    expected.insert(expected.end(), 57, 0x11);
    expected.push_back(0x02);  // checksum
    EXPECT_EQ(LastReport(), expected);

    const uint64_t sent = mAmplifier->ReceivedCount();
    EXPECT_FALSE(mLink.SubmitCommand(CMD_DSP, DSP_CS_AUTO_SETTING, OP_SET, Bytes(58, 0x11), true));
    EXPECT_EQ(mAmplifier->ReceivedCount(), sent) << "58 data bytes do not fit a frame";
}

TEST_F(HandLaidCommandTest, KaraokeEchoDelayTakesTwoBytes) {
    ASSERT_TRUE(mLink.KTV_Ctrl(KTV_ECHO_DELAY, 300, true));
    // clang-format off
    const auto expected = Report({0x00,         // report id
                                  0xAA, 0x55,   // sync
                                  0x05,         // length: 3 + 2 data bytes
                                  0x07,         // CMD_KTV
                                  0x05,         // KTV_ECHO_DELAY
                                  0xBB,         // OP_SET
                                  0x01, 0x2C,   // 300, high byte first
                                  0x07});       // checksum
    // clang-format on
    EXPECT_EQ(LastReport(), expected);
}

}  // namespace
