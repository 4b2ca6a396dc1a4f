// Device frames laid out by hand, byte group by byte group, fed to the link as
// raw input reports: the decoders are checked against the frame layout itself,
// not against the virtual amplifier's encoding of it. A fault shared by the
// link and the amplifier (a field read at the wrong offset, in the wrong unit
// or byte order) fails here. Checksums: the negated 8-bit sum of every byte
// from the length up to the byte before the checksum.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "device/device_records.h"
#include "device/dsp_subcommands.h"
#include "device/mcu_subcommands.h"
#include "device/window_messages.h"
#include "link_fixture.h"

namespace {

using namespace device;
using test_support::kAutoCalWnd;
using test_support::kMainWnd;
using test_support::kMemWnd;
using test_support::kNoiseWnd;
using test_support::kSceneWnd;
using test_support::LinkFixture;
using test_support::RecordOf;
using Messages = std::vector<platform::PostedMessage>;

class HandLaidReplyTest : public LinkFixture {
protected:
    using LinkFixture::LinkFixture;

    // Delivers one input report as the device would send it and returns the
    // messages its frames posted.
    Messages Feed(std::vector<uint8_t> report) {
        mAmplifier->SendRawReport(std::move(report));
        uint8_t buffer[kOutputReportSize];
        while (mAmplifier->PendingInputReports() > 0) {
            mLink.ReadHIDData(buffer, 100);
        }
        return mMessages->Take();
    }

    // The record of the only message, which must go to `target` as `message`
    // with the sub-command as wParam.
    template <typename T>
    static T Only(const Messages& messages, platform::WindowHandle target, uint32_t message,
                  uintptr_t wParam) {
        EXPECT_EQ(messages.size(), 1u);
        if (messages.size() != 1) {
            return T{};
        }
        EXPECT_EQ(messages[0].target, target);
        EXPECT_EQ(messages[0].message, message);
        EXPECT_EQ(messages[0].wParam, wParam);
        const T* record = RecordOf<T>(messages[0]);
        EXPECT_NE(record, nullptr);
        return record != nullptr ? *record : T{};
    }
    template <typename T>
    static T OnlyDsp(const Messages& messages, uint8_t sub) {
        return Only<T>(messages, kMainWnd, WM_READ_DSP_VALUE, sub);
    }
    // The value of the only message.
    static intptr_t OnlyValue(const Messages& messages, platform::WindowHandle target,
                              uint32_t message, uintptr_t wParam) {
        EXPECT_EQ(messages.size(), 1u);
        if (messages.size() != 1) {
            return -999;
        }
        EXPECT_EQ(messages[0].target, target);
        EXPECT_EQ(messages[0].message, message);
        EXPECT_EQ(messages[0].wParam, wParam);
        return messages[0].lParam;
    }
};

// ---- output-channel reports ----

TEST_F(HandLaidReplyTest, CrossoverReportCarriesHighPassThenLowPassPerChannel) {
    // clang-format off
    const auto messages = Feed({0xAA, 0x55,               // sync
                                0x17,                     // length: 3 + 20 data bytes
                                0x01,                     // CMD_DSP
                                0x05,                     // DSP_FILTER_SET
                                0xDD,                     // OP_UPDATE
                                0x0A, 0x00, 0x03, 0x04,   // scene 10, source 0, channels 3..4
                                0x02, 0x00, 0x50, 0x04,   // channel 3 high-pass: type 2, 80 Hz, slope 4
                                0x01, 0x0F, 0xA0, 0x02,   // channel 3 low-pass: type 1, 4000 Hz, slope 2
                                0x03, 0x01, 0xF4, 0x03,   // channel 4 high-pass: type 3, 500 Hz, slope 3
                                0x03, 0x4E, 0x20, 0x00,   // channel 4 low-pass: type 3, 20000 Hz, slope 0
                                0x81});                   // checksum
    // clang-format on
    ASSERT_EQ(messages.size(), 2u);
    const auto* first = RecordOf<FilterRecord>(messages[0]);
    const auto* second = RecordOf<FilterRecord>(messages[1]);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(first->scene, 10);
    EXPECT_EQ(first->channel, 3);
    EXPECT_EQ(first->hp_type, 2);
    EXPECT_EQ(first->hp_freq, 80);
    EXPECT_EQ(first->hp_slope, 4);
    EXPECT_EQ(first->lp_type, 1);
    EXPECT_EQ(first->lp_freq, 4000);
    EXPECT_EQ(first->lp_slope, 2);
    EXPECT_EQ(second->channel, 4);
    EXPECT_EQ(second->hp_freq, 500);
    EXPECT_EQ(second->hp_slope, 3);
    EXPECT_EQ(second->lp_freq, 20000);
    EXPECT_EQ(second->lp_slope, 0);
}

TEST_F(HandLaidReplyTest, EqBandReportCarriesQHundredthsAndTheTypeInTheGainByte) {
    // Without the EQ-precision flag the Q fraction comes back in hundredths,
    // although the host sends it in tenths.
    // clang-format off
    const auto messages = Feed({0xAA, 0x55,                     // sync
                                0x14,                           // length: 3 + 17 data bytes
                                0x01,                           // CMD_DSP
                                0x06,                           // DSP_EQ_CH
                                0xDD,                           // OP_UPDATE
                                0x01, 0x00, 0x02, 0x07, 0x08,   // scene 1, source 0, channel 2, bands 7..8
                                0x03, 0xE8,                     // band 7: 1000 Hz
                                0x01, 0x28,                     // Q 1 and 40 hundredths
                                0x2F, 0x05,                     // type 1, gain 15.5 - 18
                                0x00, 0x64,                     // band 8: 100 Hz
                                0x02, 0x05,                     // Q 2 and 5 hundredths
                                0x5F, 0x09,                     // type 2, gain 31.9 - 18
                                0xDB});                         // checksum
    // clang-format on
    ASSERT_EQ(messages.size(), 2u);
    const auto* first = RecordOf<EqBandRecord>(messages[0]);
    const auto* second = RecordOf<EqBandRecord>(messages[1]);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(first->scene, 1);
    EXPECT_EQ(first->channel, 2);
    EXPECT_EQ(first->band, 7);
    EXPECT_EQ(first->frequency, 1000);
    EXPECT_FLOAT_EQ(first->q, 1.4f);
    EXPECT_FLOAT_EQ(first->gain, -2.5f);
    EXPECT_EQ(first->type, 1);
    EXPECT_EQ(second->band, 8);
    EXPECT_EQ(second->frequency, 100);
    EXPECT_FLOAT_EQ(second->q, 2.05f);
    EXPECT_NEAR(second->gain, 13.9f, 1e-5);
    EXPECT_EQ(second->type, 2);
}

TEST_F(HandLaidReplyTest, DelayReportCarriesMillisecondsAndThousandths) {
    // clang-format off
    const auto messages = Feed({0xAA, 0x55,               // sync
                                0x0D,                     // length: 3 + 10 data bytes
                                0x01,                     // CMD_DSP
                                0x07,                     // DSP_DELAY_CH
                                0xDD,                     // OP_UPDATE
                                0x00, 0x00, 0x05, 0x06,   // scene 0, source 0, channels 5..6
                                0x0C, 0x01, 0x2C,         // channel 5: 12 ms and 300 thousandths
                                0x00, 0x03, 0xE7,         // channel 6: 0 ms and 999 thousandths
                                0xE0});                   // checksum
    // clang-format on
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(RecordOf<ChannelFloatRecord>(messages[0])->channel, 5);
    EXPECT_NEAR(RecordOf<ChannelFloatRecord>(messages[0])->value, 12.3f, 1e-5);
    EXPECT_EQ(RecordOf<ChannelFloatRecord>(messages[1])->channel, 6);
    EXPECT_NEAR(RecordOf<ChannelFloatRecord>(messages[1])->value, 0.999f, 1e-5);
}

TEST_F(HandLaidReplyTest, WholeDbTrimReportIsASignedByte) {
    // clang-format off
    const auto messages = Feed({0xAA, 0x55,               // sync
                                0x09,                     // length: 3 + 6 data bytes
                                0x01,                     // CMD_DSP
                                0x08,                     // DSP_TRIM_CH
                                0xDD,                     // OP_UPDATE
                                0x0A, 0x00, 0x01, 0x02,   // scene 10, source 0, channels 1..2
                                0xFA,                     // channel 1: -6 dB
                                0x00,                     // channel 2: 0 dB
                                0x0A});                   // checksum
    // clang-format on
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(RecordOf<ChannelFloatRecord>(messages[0])->scene, 10);
    EXPECT_FLOAT_EQ(RecordOf<ChannelFloatRecord>(messages[0])->value, -6.0f);
    EXPECT_EQ(RecordOf<ChannelFloatRecord>(messages[1])->channel, 2);
    EXPECT_FLOAT_EQ(RecordOf<ChannelFloatRecord>(messages[1])->value, 0.0f);
}

TEST_F(HandLaidReplyTest, ChannelSwitchReportsOneBytePerChannel) {
    // clang-format off
    const auto mutes = Feed({0xAA, 0x55,               // sync
                             0x09,                     // length: 3 + 6 data bytes
                             0x01,                     // CMD_DSP
                             0x09,                     // DSP_MUTE_CH
                             0xDD,                     // OP_UPDATE
                             0x04, 0x00, 0x06, 0x07,   // scene 4, source 0, channels 6..7
                             0x01, 0x00,               // channel 6 muted, channel 7 not
                             0xFE});                   // checksum
    // clang-format on
    ASSERT_EQ(mutes.size(), 2u);
    EXPECT_EQ(RecordOf<ChannelValueRecord>(mutes[0])->scene, 4);
    EXPECT_EQ(RecordOf<ChannelValueRecord>(mutes[0])->channel, 6);
    EXPECT_EQ(RecordOf<ChannelValueRecord>(mutes[0])->value, 1);
    EXPECT_EQ(RecordOf<ChannelValueRecord>(mutes[1])->value, 0);

    // clang-format off
    const auto types = Feed({0xAA, 0x55,               // sync
                             0x08,                     // length: 3 + 5 data bytes
                             0x01,                     // CMD_DSP
                             0x0D,                     // DSP_CH_TYPE
                             0xDD,                     // OP_UPDATE
                             0x00, 0x00, 0x09, 0x09,   // scene 0, source 0, channel 9
                             0x17,                     // output type 23
                             0xE4});                   // checksum
    // clang-format on
    const auto type = OnlyDsp<ChannelValueRecord>(types, DSP_CH_TYPE);
    EXPECT_EQ(type.channel, 9);
    EXPECT_EQ(type.value, 23);
}

TEST_F(HandLaidReplyTest, MixerReportOfTenInputsCarriesTwoMaskBytesPerOutput) {
    // clang-format off
    const auto messages = Feed({0xAA, 0x55,               // sync
                                0x0B,                     // length: 3 + 8 data bytes
                                0x01,                     // CMD_DSP
                                0x0B,                     // DSP_MIX_CH
                                0xDD,                     // OP_UPDATE
                                0x00, 0x04, 0x00, 0x01,   // scene 0, source 4, outputs 0..1
                                0x03, 0x01,               // output 0: inputs 9, 8 and 0
                                0x00, 0x02,               // output 1: input 1
                                0x01});                   // checksum
    // clang-format on
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(RecordOf<MixMaskRecord>(messages[0])->source, 4);
    EXPECT_EQ(RecordOf<MixMaskRecord>(messages[0])->channel, 0);
    EXPECT_EQ(RecordOf<MixMaskRecord>(messages[0])->mask, 0x0301u);
    EXPECT_EQ(RecordOf<MixMaskRecord>(messages[1])->channel, 1);
    EXPECT_EQ(RecordOf<MixMaskRecord>(messages[1])->mask, 0x0002u);
}

TEST_F(HandLaidReplyTest, LinkAndLockReports) {
    // clang-format off
    const auto links = Feed({0xAA, 0x55,                     // sync
                             0x0A,                           // length: 3 + 7 data bytes
                             0x01,                           // CMD_DSP
                             0x0E,                           // DSP_CH_LINK
                             0xDD,                           // OP_UPDATE
                             0x00, 0x01,                     // scene 0, link on
                             0x01, 0x23, 0x45, 0x67, 0x89,   // one byte per output pair of ten outputs
                             0xB0});                         // checksum
    // clang-format on
    const auto link = OnlyDsp<LinkRecord>(links, DSP_CH_LINK);
    EXPECT_EQ(link.link, 1);
    EXPECT_EQ(link.pairCount, 5);
    EXPECT_EQ(link.pairs[0], 0x01);
    EXPECT_EQ(link.pairs[4], 0x89);

    // clang-format off
    const auto locks = Feed({0xAA, 0x55,   // sync
                             0x05,         // length: 3 + 2 data bytes
                             0x01,         // CMD_DSP
                             0x0F,         // DSP_CH_LOCK
                             0xDD,         // OP_UPDATE
                             0x03, 0x01,   // scene 3, locked
                             0x0A});       // checksum
    // clang-format on
    const auto lock = OnlyDsp<LockRecord>(locks, DSP_CH_LOCK);
    EXPECT_EQ(lock.scene, 3);
    EXPECT_EQ(lock.lock, 1);
}

TEST_F(HandLaidReplyTest, QFactorModeReportIsKeptByAbsoluteChannel) {
    // clang-format off
    const auto messages = Feed({0xAA, 0x55,               // sync
                                0x09,                     // length: 3 + 6 data bytes
                                0x01,                     // CMD_DSP
                                0x37,                     // DSP_HPF_Q_FACT_MODE
                                0xDD,                     // OP_UPDATE
                                0x00, 0x00, 0x02, 0x03,   // scene 0, source 0, channels 2..3
                                0x01, 0x02,               // modes of channels 2 and 3
                                0xDA});                   // checksum
    // clang-format on
    const auto modes = OnlyDsp<ChannelByteRecord>(messages, DSP_HPF_Q_FACT_MODE);
    EXPECT_EQ(modes.first, 2);
    EXPECT_EQ(modes.last, 3);
    EXPECT_EQ(modes.modes[2], 1);
    EXPECT_EQ(modes.modes[3], 2);
    EXPECT_EQ(modes.modes[0], 0);
}

TEST_F(HandLaidReplyTest, CompressorReportsInBothLayouts) {
    // clang-format off
    const auto first = Feed({0xAA, 0x55,               // sync
                             0x12,                     // length: 3 + 15 data bytes
                             0x01,                     // CMD_DSP
                             0x3E,                     // DSP_COMPRESSOR_SETTING
                             0xDD,                     // OP_UPDATE
                             0x00, 0x00, 0x01, 0x01,   // scene 0, source 0, channel 1
                             0x00,                     // not bypassed
                             0x4F, 0x05,               // threshold 79.5 - 100
                             0x04, 0x02,               // ratio 4.2
                             0x02, 0x05,               // knee 2.5
                             0x00, 0x0F,               // attack 15
                             0x01, 0x2C,               // release 300
                             0x33});                   // checksum
    // clang-format on
    const auto plain = OnlyDsp<CompressorRecord>(first, DSP_COMPRESSOR_SETTING);
    EXPECT_EQ(plain.channel, 1);
    EXPECT_EQ(plain.bypass, 0);
    EXPECT_NEAR(plain.threshold, -20.5f, 1e-4);
    EXPECT_NEAR(plain.ratio, 4.2f, 1e-5);
    EXPECT_NEAR(plain.knee, 2.5f, 1e-5);
    EXPECT_EQ(plain.attack, 15);
    EXPECT_EQ(plain.release, 300);

    // clang-format off
    const auto second = Feed({0xAA, 0x55,               // sync
                              0x0D,                     // length: 3 + 10 data bytes
                              0x01,                     // CMD_DSP
                              0x4A,                     // DSP_COMPRESSOR_SETTING2
                              0xDD,                     // OP_UPDATE
                              0x00, 0x00, 0x03, 0x03,   // scene 0, source 0, channel 3
                              0xEC, 0xFB,               // threshold -20 and -5 tenths
                              0x00, 0x0A,               // attack 10
                              0x01, 0x05,               // release 1 s and 5 tenths
                              0xCE});                   // checksum
    // clang-format on
    const auto wide = OnlyDsp<CompressorRecord>(second, DSP_COMPRESSOR_SETTING2);
    EXPECT_EQ(wide.channel, 3);
    EXPECT_NEAR(wide.threshold, -20.5f, 1e-5);
    EXPECT_EQ(wide.attack, 10);
    EXPECT_EQ(wide.release, 1500);
}

TEST_F(HandLaidReplyTest, DistortionAndSpeakerDistanceReports) {
    // clang-format off
    const auto clipping = Feed({0xAA, 0x55,         // sync
                                0x08,               // length: 3 + 5 data bytes
                                0x01,               // CMD_DSP
                                0x41,               // DSP_OUTPUT_CH_DISTORT
                                0xDD,               // OP_UPDATE
                                0x00, 0x00, 0x01,   // source 0, channels 0..1
                                0x00, 0x01,         // channel 1 clips
                                0xD7});             // checksum
    // clang-format on
    const auto clip = OnlyDsp<OutputDistortRecord>(clipping, DSP_OUTPUT_CH_DISTORT);
    EXPECT_EQ(clip.last, 1);
    EXPECT_EQ(clip.values[0], 0);
    EXPECT_EQ(clip.values[1], 1);

    // clang-format off
    const auto distances = Feed({0xAA, 0x55,               // sync
                                 0x09,                     // length: 3 + 6 data bytes
                                 0x01,                     // CMD_DSP
                                 0x43,                     // DSP_SPK_DIST
                                 0xDD,                     // OP_UPDATE
                                 0x00, 0x00, 0x01, 0x01,   // scene 0, source 0, channel 1
                                 0x01, 0xF4,               // 500 hundredths
                                 0xDF});                   // checksum
    // clang-format on
    const auto distance = OnlyDsp<SpkDistRecord>(distances, DSP_SPK_DIST);
    EXPECT_EQ(distance.distances[1], 500);
    EXPECT_EQ(distance.distances[0], 0);
}

TEST_F(HandLaidReplyTest, MixTypeCrossMixAndBridgeReports) {
    // clang-format off
    const auto types = Feed({0xAA, 0x55,         // sync
                             0x06,               // length: 3 + 3 data bytes
                             0x01,               // CMD_DSP
                             0x36,               // DSP_MIX_TYPE
                             0xDD,               // OP_UPDATE
                             0x01, 0x02, 0x03,   // scene 1, source 2, mix type 3
                             0xE0});             // checksum
    // clang-format on
    const auto type = OnlyDsp<MixTypeRecord>(types, DSP_MIX_TYPE);
    EXPECT_EQ(type.scene, 1);
    EXPECT_EQ(type.source, 2);
    EXPECT_EQ(type.type, 3);

    // clang-format off
    const auto plain = Feed({0xAA, 0x55,         // sync
                             0x09,               // length: 3 + 6 data bytes
                             0x01,               // CMD_DSP
                             0x47,               // DSP_CROSS_SOURCE_MIX
                             0xDD,               // OP_UPDATE
                             0x00, 0x04, 0x01,   // scene 0, source 4, input 1
                             0x53, 0x00, 0x28,   // second source 0x53, its input 0, gain 40
                             0x52});             // checksum
    // clang-format on
    const auto mix = OnlyDsp<CrossMixRecord>(plain, DSP_CROSS_SOURCE_MIX);
    EXPECT_EQ(mix.source, 4);
    EXPECT_EQ(mix.channel, 1);
    EXPECT_EQ(mix.viceSource, 0x53);
    EXPECT_EQ(mix.viceChannel, 0);
    EXPECT_EQ(mix.viceGain, 40);

    // clang-format off
    const auto reordered = Feed({0xAA, 0x55,   // sync
                                 0x08,         // length: 3 + 5 data bytes
                                 0x01,         // CMD_DSP
                                 0x4D,         // DSP_CROSS_SOURCE_MIX_CS47048
                                 0xDD,         // OP_UPDATE
                                 0x00, 0x04,   // scene 0, source 4
                                 0x54, 0x01,   // second source 0x54, its input 1
                                 0x09,         // input 9
                                 0x6B});       // checksum
    // clang-format on
    const auto cs = OnlyDsp<CrossMixRecord>(reordered, DSP_CROSS_SOURCE_MIX_CS47048);
    EXPECT_EQ(cs.channel, 9);
    EXPECT_EQ(cs.viceSource, 0x54);
    EXPECT_EQ(cs.viceChannel, 1);
    EXPECT_EQ(cs.viceGain, 0);

    // clang-format off
    const auto bridges = Feed({0xAA, 0x55,                     // sync
                               0x0B,                           // length: 3 + 8 data bytes
                               0x01,                           // CMD_DSP
                               0x4C,                           // DSP_OUPUT_BRIDGE
                               0xDD,                           // OP_UPDATE
                               0x00, 0x00, 0x05,               // scene 0, source 0, five bridge bytes
                               0x01, 0x00, 0x01, 0x00, 0x00,   // pairs 0 and 2 bridged
                               0xC4});                         // checksum
    // clang-format on
    const auto bridge = OnlyDsp<BridgeRecord>(bridges, DSP_OUPUT_BRIDGE);
    EXPECT_EQ(bridge.count, 5);
    EXPECT_EQ(bridge.bridges[0], 1);
    EXPECT_EQ(bridge.bridges[1], 0);
    EXPECT_EQ(bridge.bridges[2], 1);
}

// ---- plain values ----

TEST_F(HandLaidReplyTest, OneValueReports) {
    // clang-format off
    const auto volume = Feed({0xAA, 0x55,   // sync
                              0x04,         // length: 3 + 1 data bytes
                              0x01,         // CMD_DSP
                              0x02,         // DSP_VOLUME
                              0xDD,         // OP_UPDATE
                              0xF2,         // -14 dB
                              0x2A});       // checksum
    // clang-format on
    EXPECT_EQ(OnlyValue(volume, kMainWnd, WM_READ_DSP_VALUE, DSP_VOLUME), -14);

    // clang-format off
    const auto source = Feed({0xAA, 0x55,   // sync
                              0x04,         // length: 3 + 1 data bytes
                              0x01,         // CMD_DSP
                              0x01,         // DSP_SOURCE_SWITCH
                              0xDD,         // OP_UPDATE
                              0x55,         // source code 85
                              0xC8});       // checksum
    // clang-format on
    EXPECT_EQ(OnlyValue(source, kMainWnd, WM_READ_DSP_VALUE, DSP_SOURCE_SWITCH), 85);

    // clang-format off
    const auto threshold = Feed({0xAA, 0x55,   // sync
                                 0x04,         // length: 3 + 1 data bytes
                                 0x01,         // CMD_DSP
                                 0x26,         // DSP_INPUT_THRESHOLD
                                 0xDD,         // OP_UPDATE
                                 0xD8,         // -40 dB
                                 0x20});       // checksum
    // clang-format on
    EXPECT_EQ(OnlyValue(threshold, kMainWnd, WM_READ_DSP_VALUE, DSP_INPUT_THRESHOLD), -40);

    // clang-format off
    const auto remote = Feed({0xAA, 0x55,   // sync
                              0x05,         // length: 3 + 2 data bytes
                              0x01,         // CMD_DSP
                              0x32,         // DSP_SEL_REMOTE_CH
                              0xDD,         // OP_UPDATE
                              0x01, 0x02,   // 16 bits, high byte first
                              0xE8});       // checksum
    // clang-format on
    EXPECT_EQ(OnlyValue(remote, kMainWnd, WM_READ_DSP_VALUE, DSP_SEL_REMOTE_CH), 0x0102);

    // clang-format off
    const auto gate = Feed({0xAA, 0x55,   // sync
                            0x05,         // length: 3 + 2 data bytes
                            0x01,         // CMD_DSP
                            0x4F,         // DSP_NOISE_GATE_DRC_GAIN
                            0xDD,         // OP_UPDATE
                            0x00,         // gate 0
                            0x30,         // gain index 48
                            0x9E});       // checksum
    // clang-format on
    EXPECT_EQ(OnlyValue(gate, kMainWnd, WM_READ_DSP_VALUE, DSP_NOISE_GATE_DRC_GAIN), 48);
}

TEST_F(HandLaidReplyTest, SmallRecordReports) {
    // clang-format off
    const auto config = Feed({0xAA, 0x55,   // sync
                              0x04,         // length: 3 + 1 data bytes
                              0x01,         // CMD_DSP
                              0x35,         // DSP_SPK_CH_CONFIG
                              0xDD,         // OP_UPDATE
                              0x07,         // speaker configuration
                              0xE2});       // checksum
    // clang-format on
    EXPECT_EQ(OnlyDsp<SpeakerConfigRecord>(config, DSP_SPK_CH_CONFIG).config, 7);

    // clang-format off
    const auto remote = Feed({0xAA, 0x55,   // sync
                              0x05,         // length: 3 + 2 data bytes
                              0x01,         // CMD_DSP
                              0x45,         // DSP_REM_OUT
                              0xDD,         // OP_UPDATE
                              0x00, 0x01,   // remote output 1 off, 2 on
                              0xD7});       // checksum
    // clang-format on
    const auto rem = OnlyDsp<RemOutRecord>(remote, DSP_REM_OUT);
    EXPECT_EQ(rem.remOut1, 0);
    EXPECT_EQ(rem.remOut2, 1);

    // clang-format off
    const auto ohms = Feed({0xAA, 0x55,   // sync
                            0x05,         // length: 3 + 2 data bytes
                            0x01,         // CMD_DSP
                            0x51,         // DSP_SPK_OHM13_21
                            0xDD,         // OP_UPDATE
                            0x02, 0x01,   // selectors of outputs 13 and 21
                            0xC9});       // checksum
    // clang-format on
    const auto ohm = OnlyDsp<SpkOhm13_21Record>(ohms, DSP_SPK_OHM13_21);
    EXPECT_EQ(ohm.ohm13, 2);
    EXPECT_EQ(ohm.ohm21, 1);
}

TEST_F(HandLaidReplyTest, MemoryReportIsLittleEndianAndGoesToTheMemoryWindow) {
    // clang-format off
    const auto messages = Feed({0xAA, 0x55,               // sync
                                0x0B,                     // length: 3 + 8 data bytes
                                0x01,                     // CMD_DSP
                                0x42,                     // DSP_MEM_DATA
                                0xDD,                     // OP_UPDATE
                                0x45, 0x23, 0x01, 0x00,   // address 0x00012345, low byte first
                                0x0D, 0xF0, 0xFE, 0xCA,   // value 0xCAFEF00D, low byte first
                                0xA7});                   // checksum
    // clang-format on
    const auto memory = Only<MemDataRecord>(messages, kMemWnd, WM_READ_MEM_VALUE, DSP_MEM_DATA);
    EXPECT_EQ(memory.address, 0x00012345u);
    EXPECT_EQ(memory.value, 0xCAFEF00Du);
}

// ---- input-side reports ----

TEST_F(HandLaidReplyTest, InputChannelAndMixTrimReports) {
    // clang-format off
    const auto trims = Feed({0xAA, 0x55,               // sync
                             0x09,                     // length: 3 + 6 data bytes
                             0x01,                     // CMD_DSP
                             0x20,                     // DSP_INPUT_TRIM_CH
                             0xDD,                     // OP_UPDATE
                             0x00, 0x04, 0x00, 0x01,   // scene 0, source 4, inputs 0..1
                             0x50, 0x00,               // 80 and 0
                             0xA4});                   // checksum
    // clang-format on
    const auto input = OnlyDsp<InputChannelRecord>(trims, DSP_INPUT_TRIM_CH);
    EXPECT_EQ(input.source, 4);
    EXPECT_EQ(input.last, 1);
    EXPECT_EQ(input.values[0], 80);
    EXPECT_EQ(input.values[1], 0);

    // clang-format off
    const auto mix = Feed({0xAA, 0x55,                     // sync
                           0x0B,                           // length: 3 + 8 data bytes
                           0x01,                           // CMD_DSP
                           0x24,                           // DSP_INPUT_MIX_CH_TRIM
                           0xDD,                           // OP_UPDATE
                           0x00, 0x04, 0x01, 0x02, 0x04,   // scene 0, source 4, input 1, outputs 2..4
                           0x50, 0xF6, 0x37,               // 80, -10, 55
                           0x6B});                         // checksum
    // clang-format on
    const auto levels = OnlyDsp<InputMixTrimRecord>(mix, DSP_INPUT_MIX_CH_TRIM);
    EXPECT_EQ(levels.inputChannel, 1);
    EXPECT_EQ(levels.firstOutput, 2);
    EXPECT_EQ(levels.lastOutput, 4);
    EXPECT_EQ(levels.trims[0], 80);
    EXPECT_EQ(levels.trims[1], -10);
    EXPECT_EQ(levels.trims[2], 55);
}

TEST_F(HandLaidReplyTest, InputEqReportCarriesQHundredths) {
    // clang-format off
    const auto messages = Feed({0xAA, 0x55,                     // sync
                                0x0E,                           // length: 3 + 11 data bytes
                                0x01,                           // CMD_DSP
                                0x23,                           // DSP_INPUT_EQ_CH
                                0xDD,                           // OP_UPDATE
                                0x00, 0x04, 0x01, 0x02, 0x02,   // scene 0, source 4, input 1, band 2
                                0x00, 0x64,                     // 100 Hz
                                0x02, 0x05,                     // Q 2 and 5 hundredths
                                0x1B, 0x03,                     // gain 27.3 - 18
                                0x5F});                         // checksum
    // clang-format on
    const auto band = OnlyDsp<EqBandRecord>(messages, DSP_INPUT_EQ_CH);
    EXPECT_EQ(band.channel, 1);
    EXPECT_EQ(band.band, 2);
    EXPECT_EQ(band.frequency, 100);
    EXPECT_FLOAT_EQ(band.q, 2.05f);
    EXPECT_NEAR(band.gain, 9.3f, 1e-5);
    EXPECT_EQ(band.type, 0);
}

TEST_F(HandLaidReplyTest, NoiseReportGoesToTheNoiseWindow) {
    // clang-format off
    const auto messages = Feed({0xAA, 0x55,   // sync
                                0x09,         // length: 3 + 6 data bytes
                                0x01,         // CMD_DSP
                                0x27,         // DSP_INPUT_NOISE
                                0xDD,         // OP_UPDATE
                                0x00, 0x01,   // inputs 0..1
                                0x1E, 0x05,   // input 0: 30 - 100 and 5 tenths
                                0x28, 0x00,   // input 1: 40 - 100
                                0xA6});       // checksum
    // clang-format on
    const auto noise =
        Only<InputNoiseRecord>(messages, kNoiseWnd, WM_READ_DSP_VALUE, DSP_INPUT_NOISE);
    EXPECT_EQ(noise.last, 1);
    EXPECT_FLOAT_EQ(noise.noise[0], -69.5f);
    EXPECT_FLOAT_EQ(noise.noise[1], -60.0f);
}

TEST_F(HandLaidReplyTest, InputDistortionReport) {
    // clang-format off
    const auto messages = Feed({0xAA, 0x55,         // sync
                                0x08,               // length: 3 + 5 data bytes
                                0x01,               // CMD_DSP
                                0x40,               // DSP_INPUT_CH_DISTORT
                                0xDD,               // OP_UPDATE
                                0x04, 0x00, 0x01,   // source 4, inputs 0..1
                                0x01, 0x00,         // input 0 clips
                                0xD4});             // checksum
    // clang-format on
    const auto clip = OnlyDsp<InputDistortRecord>(messages, DSP_INPUT_CH_DISTORT);
    EXPECT_EQ(clip.source, 4);
    EXPECT_EQ(clip.values[0], 1);
    EXPECT_EQ(clip.values[1], 0);
}

// ---- calibration reports, to the calibration window ----

TEST_F(HandLaidReplyTest, CalibrationStatusCarriesProgressOrItsValue) {
    // clang-format off
    const auto running = Feed({0xAA, 0x55,   // sync
                               0x08,         // length: 3 + 5 data bytes
                               0x01,         // CMD_DSP
                               0x13,         // DSP_IRC_CTRL
                               0xDD,         // OP_UPDATE
                               0x03,         // status: delay test
                               0x00, 0x00,   // extra value, unused
                               0x28,         // progress 40
                               0x00,         // no failure
                               0xDC});       // checksum
    // clang-format on
    EXPECT_EQ(OnlyValue(running, kAutoCalWnd, WM_READ_IRC_VALUE, 3), 40);

    // clang-format off
    const auto update = Feed({0xAA, 0x55,   // sync
                              0x05,         // length: 3 + 2 data bytes
                              0x01,         // CMD_DSP
                              0x13,         // DSP_IRC_CTRL
                              0xDD,         // OP_UPDATE
                              0x07,         // status: speaker RTA update
                              0x05,         // its value
                              0xFE});       // checksum
    // clang-format on
    EXPECT_EQ(OnlyValue(update, kAutoCalWnd, WM_READ_IRC_VALUE, 7), 5);
}

TEST_F(HandLaidReplyTest, CalibrationFailureReasonsEndAtTheLastName) {
    // clang-format off
    const auto last = Feed({0xAA, 0x55,         // sync
                            0x08,               // length: 3 + 5 data bytes
                            0x01,               // CMD_DSP
                            0x13,               // DSP_IRC_CTRL
                            0xDD,               // OP_UPDATE
                            0x0B,               // status: test failed
                            0x00, 0x00, 0x00,   // extra value and progress, unused
                            0x05,               // reason 5, the EQ step: the last known
                            0xF7});             // checksum
    // clang-format on
    EXPECT_EQ(OnlyValue(last, kAutoCalWnd, WM_READ_IRC_VALUE, 11), 5);

    // clang-format off
    const auto unknown = Feed({0xAA, 0x55,         // sync
                               0x08,               // length: 3 + 5 data bytes
                               0x01,               // CMD_DSP
                               0x13,               // DSP_IRC_CTRL
                               0xDD,               // OP_UPDATE
                               0x0B,               // status: test failed
                               0x00, 0x00, 0x00,   // extra value and progress, unused
                               0x06,               // reason 6, unknown
                               0xF6});             // checksum
    // clang-format on
    EXPECT_TRUE(unknown.empty());
}

TEST_F(HandLaidReplyTest, CalibrationMeasurements) {
    // clang-format off
    const auto distances = Feed({0xAA, 0x55,   // sync
                                 0x07,         // length: 3 + 4 data bytes
                                 0x01,         // CMD_DSP
                                 0x14,         // DSP_IRC_DISTANCE
                                 0xDD,         // OP_UPDATE
                                 0x00, 0x00,   // channel 0
                                 0x02, 0x19,   // 2 and 25 hundredths
                                 0xEC});       // checksum
    // clang-format on
    const auto distance =
        Only<IrcDistanceRecord>(distances, kAutoCalWnd, WM_READ_IRC_VALUE, DSP_IRC_DISTANCE);
    EXPECT_FLOAT_EQ(distance.distance, 2.25f);

    // clang-format off
    const auto trims = Feed({0xAA, 0x55,   // sync
                             0x06,         // length: 3 + 3 data bytes
                             0x01,         // CMD_DSP
                             0x15,         // DSP_IRC_TRIM
                             0xDD,         // OP_UPDATE
                             0x01, 0x01,   // channel 1
                             0x06,         // 6
                             0xFF});       // checksum
    // clang-format on
    const auto trim = Only<IrcTrimRecord>(trims, kAutoCalWnd, WM_READ_IRC_VALUE, DSP_IRC_TRIM);
    EXPECT_EQ(trim.channel, 1);
    EXPECT_FLOAT_EQ(trim.trim, 6.0f);

    // clang-format off
    const auto sizes = Feed({0xAA, 0x55,   // sync
                             0x06,         // length: 3 + 3 data bytes
                             0x01,         // CMD_DSP
                             0x17,         // DSP_IRC_SPK_SIZE
                             0xDD,         // OP_UPDATE
                             0x02, 0x02,   // channel 2
                             0x03,         // size 3
                             0xFE});       // checksum
    // clang-format on
    const auto size =
        Only<IrcChannelValueRecord>(sizes, kAutoCalWnd, WM_READ_IRC_VALUE, DSP_IRC_SPK_SIZE);
    EXPECT_EQ(size.channel, 2);
    EXPECT_EQ(size.value, 3);
}

TEST_F(HandLaidReplyTest, CalibrationEqAndSpectrum) {
    // clang-format off
    const auto bands = Feed({0xAA, 0x55,         // sync
                             0x0C,               // length: 3 + 9 data bytes
                             0x01,               // CMD_DSP
                             0x16,               // DSP_IRC_EQ
                             0xDD,               // OP_UPDATE
                             0x02, 0x04, 0x04,   // channel 2, band 4
                             0x03, 0xE8,         // 1000 Hz
                             0x05, 0x50,         // Q 5 and 80 hundredths
                             0x14, 0x05,         // gain 20.5 - 18
                             0x9D});             // checksum
    // clang-format on
    const auto band = Only<IrcEqRecord>(bands, kAutoCalWnd, WM_READ_IRC_VALUE, DSP_IRC_EQ);
    EXPECT_EQ(band.channel, 2);
    EXPECT_EQ(band.band, 4);
    EXPECT_EQ(band.frequency, 1000);
    EXPECT_FLOAT_EQ(band.q, 5.8f);
    EXPECT_FLOAT_EQ(band.gain, 2.5f);

    // clang-format off
    const auto spectrum = Feed({0xAA, 0x55,         // sync
                                0x0B,               // length: 3 + 8 data bytes
                                0x01,               // CMD_DSP
                                0x1A,               // DSP_IRC_SPECTRUM
                                0xDD,               // OP_UPDATE
                                0x01, 0x00, 0x00,   // channel 1, band 0
                                0x00, 0x64, 0x19,   // 100 Hz and 25 hundredths
                                0xFD, 0xF6,         // gain -3 and -10 hundredths
                                0x8C});             // checksum
    // clang-format on
    const auto point =
        Only<IrcSpectrumRecord>(spectrum, kAutoCalWnd, WM_READ_IRC_VALUE, DSP_IRC_SPECTRUM);
    EXPECT_EQ(point.channel, 1);
    EXPECT_FLOAT_EQ(point.frequency, 100.25f);
    EXPECT_FLOAT_EQ(point.gain, -3.1f);
}

// ---- the fine encodings: hundredths of trim, thousandths of Q ----

class HandLaidFineReplyTest : public HandLaidReplyTest {
protected:
    static ModelParams FineParams() {
        ModelParams params = test_support::ThisBuildParams();
        params.floatTrim = true;
        params.eqPrecision = true;
        return params;
    }
    HandLaidFineReplyTest() : HandLaidReplyTest({}, FineParams()) {}
};

TEST_F(HandLaidFineReplyTest, TrimReportCarriesTheAttenuationAndItsHundredths) {
    // clang-format off
    const auto messages = Feed({0xAA, 0x55,               // sync
                                0x09,                     // length: 3 + 6 data bytes
                                0x01,                     // CMD_DSP
                                0x08,                     // DSP_TRIM_CH
                                0xDD,                     // OP_UPDATE
                                0x00, 0x00, 0x00, 0x00,   // scene 0, source 0, channel 0
                                0x03, 0x32,               // attenuation 3 and 50 hundredths
                                0xDC});                   // checksum
    // clang-format on
    EXPECT_FLOAT_EQ(OnlyDsp<ChannelFloatRecord>(messages, DSP_TRIM_CH).value, -3.5f);
}

TEST_F(HandLaidFineReplyTest, EqBandReportCarriesQThousandths) {
    // clang-format off
    const auto messages = Feed({0xAA, 0x55,                     // sync
                                0x0F,                           // length: 3 + 12 data bytes
                                0x01,                           // CMD_DSP
                                0x06,                           // DSP_EQ_CH
                                0xDD,                           // OP_UPDATE
                                0x00, 0x00, 0x00, 0x00, 0x00,   // scene 0, source 0, channel 0, band 0
                                0x03, 0xE8,                     // 1000 Hz
                                0x01, 0x01, 0x90,               // Q 1 and 400 thousandths
                                0x0F, 0x00,                     // type 0, gain 15.0 - 18
                                0x81});                         // checksum
    // clang-format on
    const auto band = OnlyDsp<EqBandRecord>(messages, DSP_EQ_CH);
    EXPECT_FLOAT_EQ(band.q, 1.4f);
    EXPECT_FLOAT_EQ(band.gain, -3.0f);
    EXPECT_EQ(band.type, 0);
}

// ---- microcontroller reports ----

TEST_F(HandLaidReplyTest, HandshakeReportsModelAndVersions) {
    // clang-format off
    const auto messages = Feed({0xAA, 0x55,   // sync
                                0x07,         // length: 3 + 4 data bytes
                                0x03,         // CMD_MCU
                                0x08,         // MCU_HANDSHAKE
                                0xDD,         // OP_UPDATE
                                0x00,         // normal operation
                                0x5E,         // model 94
                                0x02, 0x21,   // master version 2, slave version 33
                                0x90});       // checksum
    // clang-format on
    const auto handshake =
        Only<HandshakeRecord>(messages, kMainWnd, WM_READ_MCU_VALUE, MCU_HANDSHAKE);
    EXPECT_EQ(handshake.model, 94);
    EXPECT_EQ(handshake.masterVersion, 2);
    EXPECT_EQ(handshake.slaveVersion, 33);
    EXPECT_EQ(mLink.ModelId(), 94);
    EXPECT_TRUE(mLink.IsMcuNormalMode());

    // clang-format off
    const auto upgrade = Feed({0xAA, 0x55,               // sync
                               0x07,                     // length: 3 + 4 data bytes
                               0x03,                     // CMD_MCU
                               0x08,                     // MCU_HANDSHAKE
                               0xDD,                     // OP_UPDATE
                               0xF0, 0x00, 0x00, 0x00,   // the upgrade program runs
                               0x21});                   // checksum
    // clang-format on
    ASSERT_EQ(upgrade.size(), 1u);
    EXPECT_EQ(upgrade[0].message, WM_DEVICE_STATUS_UNNORMAL);
    EXPECT_FALSE(mLink.IsMcuNormalMode());
    EXPECT_EQ(mLink.ModelId(), 94);
}

TEST_F(HandLaidReplyTest, VersionAndStringReports) {
    // clang-format off
    const auto versions = Feed({0xAA, 0x55,               // sync
                                0x07,                     // length: 3 + 4 data bytes
                                0x03,                     // CMD_MCU
                                0x0B,                     // MCU_GET_DSPFLASH_VER
                                0xDD,                     // OP_UPDATE
                                0x01, 0x00, 0x03, 0x02,   // version 01.00.03.02
                                0x08});                   // checksum
    // clang-format on
    const auto flash =
        Only<FlashVersionRecord>(versions, kMainWnd, WM_READ_MCU_VALUE, MCU_GET_DSPFLASH_VER);
    EXPECT_EQ(flash.version, (std::array<int32_t, 4>{1, 0, 3, 2}));
    EXPECT_EQ(flash.reserved, (std::array<int32_t, 4>{}));

    // clang-format off
    const auto bootloader = Feed({0xAA, 0x55,   // sync
                                  0x04,         // length: 3 + 1 data bytes
                                  0x03,         // CMD_MCU
                                  0x0C,         // MCU_BOOTLOADER_VER
                                  0xDD,         // OP_UPDATE
                                  0x07,         // bootloader version 7
                                  0x09});       // checksum
    // clang-format on
    EXPECT_TRUE(bootloader.empty());
    EXPECT_EQ(mLink.BootloaderVersion(), 7);

    // clang-format off
    const auto strings = Feed({0xAA, 0x55,         // sync
                               0x07,               // length: 3 + 4 data bytes
                               0x03,               // CMD_MCU
                               0x41,               // MCU_STRING
                               0xDD,               // OP_UPDATE
                               0x03,               // length 3
                               0x41, 0x42, 0x43,   // "ABC"
                               0x0F});             // checksum
    // clang-format on
    const auto text = Only<McuStringRecord>(strings, kMainWnd, WM_READ_MCU_VALUE, MCU_STRING);
    EXPECT_EQ(text.length, 3);
    EXPECT_EQ(text.bytes[0], 'A');
    EXPECT_EQ(text.bytes[2], 'C');
    EXPECT_EQ(text.bytes[3], 0);
}

TEST_F(HandLaidReplyTest, MicrocontrollerValues) {
    // clang-format off
    const auto delay = Feed({0xAA, 0x55,   // sync
                             0x05,         // length: 3 + 2 data bytes
                             0x03,         // CMD_MCU
                             0x91,         // MCU_POWER_OFF_DELAY
                             0xDD,         // OP_UPDATE
                             0x0B, 0xB8,   // 3000 ms, high byte first
                             0xC7});       // checksum
    // clang-format on
    EXPECT_EQ(OnlyValue(delay, kMainWnd, WM_READ_MCU_VALUE, MCU_POWER_OFF_DELAY), 3000);

    // clang-format off
    const auto acc = Feed({0xAA, 0x55,   // sync
                           0x04,         // length: 3 + 1 data bytes
                           0x03,         // CMD_MCU
                           0x92,         // MCU_ACC
                           0xDD,         // OP_UPDATE
                           0xFE,         // -2, a signed byte
                           0x8C});       // checksum
    // clang-format on
    EXPECT_EQ(OnlyValue(acc, kMainWnd, WM_READ_MCU_VALUE, MCU_ACC), -2);

    // clang-format off
    const auto usb = Feed({0xAA, 0x55,   // sync
                           0x04,         // length: 3 + 1 data bytes
                           0x03,         // CMD_MCU
                           0x95,         // MCU_USB_POWER_PIN
                           0xDD,         // OP_UPDATE
                           0x01,         // option 1
                           0x86});       // checksum
    // clang-format on
    EXPECT_EQ(OnlyValue(usb, kMainWnd, WM_READ_MCU_VALUE, MCU_USB_POWER_PIN), 1);
}

// ---- scene flash: stored scenes are 1..10 ----

TEST_F(HandLaidReplyTest, SaveAndDeleteAcknowledgementsNameTheScene) {
    // clang-format off
    const auto saved = Feed({0xAA, 0x55,   // sync
                             0x05,         // length: 3 + 2 data bytes
                             0x02,         // CMD_FLASH
                             0x08,         // FLASH_SCENE_SAVE
                             0xEE,         // OP_ACK
                             0x0A,         // ready
                             0x0A,         // scene 10
                             0xEF});       // checksum
    // clang-format on
    EXPECT_EQ(OnlyValue(saved, kSceneWnd, WM_READ_FLASH_VALUE, 10), 0);

    // clang-format off
    const auto deleted = Feed({0xAA, 0x55,   // sync
                               0x05,         // length: 3 + 2 data bytes
                               0x02,         // CMD_FLASH
                               0x0A,         // FLASH_SCENE_DELETE
                               0xEE,         // OP_ACK
                               0x0A,         // ready
                               0x01,         // scene 1
                               0xF6});       // checksum
    // clang-format on
    EXPECT_EQ(OnlyValue(deleted, kSceneWnd, WM_FLASH_SCENE_DELETED, 1), 0);

    // clang-format off
    const auto refused = Feed({0xAA, 0x55,   // sync
                               0x05,         // length: 3 + 2 data bytes
                               0x02,         // CMD_FLASH
                               0x08,         // FLASH_SCENE_SAVE
                               0xEE,         // OP_ACK
                               0x60,         // not ready
                               0x0B,         // scene 11
                               0x98});       // checksum
    // clang-format on
    EXPECT_TRUE(refused.empty());
}

TEST_F(HandLaidReplyTest, SceneNamesOfTheFirstAndTheLastScene) {
    // clang-format off
    const auto first = Feed({0xAA, 0x55,                                                                                       // sync
                             0x14,                                                                                             // length: 3 + 17 data bytes
                             0x02,                                                                                             // CMD_FLASH
                             0x0B,                                                                                             // FLASH_SCENE_NAME
                             0xDD,                                                                                             // OP_UPDATE
                             0x01,                                                                                             // scene 1
                             0x46, 0x69, 0x72, 0x73, 0x74, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,   // "First"
                             0xF9});                                                                                           // checksum
    // clang-format on
    const auto one = Only<SceneNameRecord>(first, kMainWnd, WM_READ_FLASH_VALUE, FLASH_SCENE_NAME);
    EXPECT_EQ(one.sceneIndex, 0);
    EXPECT_EQ(one.name[0], 'F');
    EXPECT_EQ(one.name[4], 't');

    // clang-format off
    const auto last = Feed({0xAA, 0x55,                                                                                       // sync
                            0x14,                                                                                             // length: 3 + 17 data bytes
                            0x02,                                                                                             // CMD_FLASH
                            0x0B,                                                                                             // FLASH_SCENE_NAME
                            0xDD,                                                                                             // OP_UPDATE
                            0x0A,                                                                                             // scene 10
                            0x4C, 0x61, 0x73, 0x74, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,   // "Last"
                            0x64});                                                                                           // checksum
    // clang-format on
    const auto ten = Only<SceneNameRecord>(last, kMainWnd, WM_READ_FLASH_VALUE, FLASH_SCENE_NAME);
    EXPECT_EQ(ten.sceneIndex, 9);
    EXPECT_EQ(ten.name[0], 'L');
}

TEST_F(HandLaidReplyTest, SceneNamesBeyondTheTenScenesAreRefused) {
    // clang-format off
    const auto eleven = Feed({0xAA, 0x55,                                                                                       // sync
                              0x14,                                                                                             // length: 3 + 17 data bytes
                              0x02,                                                                                             // CMD_FLASH
                              0x0B,                                                                                             // FLASH_SCENE_NAME
                              0xDD,                                                                                             // OP_UPDATE
                              0x0B,                                                                                             // scene 11
                              0x4E, 0x6F, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,   // "No"
                              0x3A});                                                                                           // checksum
    // clang-format on
    EXPECT_TRUE(eleven.empty());

    // clang-format off
    const auto erasedNumber = Feed({0xAA, 0x55,                                                                                       // sync
                                    0x14,                                                                                             // length: 3 + 17 data bytes
                                    0x02,                                                                                             // CMD_FLASH
                                    0x0B,                                                                                             // FLASH_SCENE_NAME
                                    0xDD,                                                                                             // OP_UPDATE
                                    0xFF,                                                                                             // scene byte of an erased page
                                    0x4E, 0x6F, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,   // "No"
                                    0x46});                                                                                           // checksum
    // clang-format on
    EXPECT_TRUE(erasedNumber.empty());

    // clang-format off
    const auto working = Feed({0xAA, 0x55,                                                                                       // sync
                               0x14,                                                                                             // length: 3 + 17 data bytes
                               0x02,                                                                                             // CMD_FLASH
                               0x0B,                                                                                             // FLASH_SCENE_NAME
                               0xDD,                                                                                             // OP_UPDATE
                               0x00,                                                                                             // the working state has no stored name
                               0x4E, 0x6F, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,   // "No"
                               0x45});                                                                                           // checksum
    // clang-format on
    EXPECT_TRUE(working.empty());
}

TEST_F(HandLaidReplyTest, CurrentSceneAndStoredScenes) {
    // clang-format off
    const auto current = Feed({0xAA, 0x55,   // sync
                               0x04,         // length: 3 + 1 data bytes
                               0x02,         // CMD_FLASH
                               0x0E,         // FLASH_SCENE_ID
                               0xDD,         // OP_UPDATE
                               0x0A,         // scene 10
                               0x05});       // checksum
    // clang-format on
    EXPECT_EQ(OnlyValue(current, kSceneWnd, WM_FLASH_SCENE_ID, FLASH_SCENE_ID), 10);

    // clang-format off
    const auto stored = Feed({0xAA, 0x55,   // sync
                              0x05,         // length: 3 + 2 data bytes
                              0x02,         // CMD_FLASH
                              0x0F,         // FLASH_SCENE_VALID
                              0xDD,         // OP_UPDATE
                              0x02, 0x01,   // scenes 10 and 1, high byte first
                              0x0A});       // checksum
    // clang-format on
    const auto valid =
        Only<SceneValidRecord>(stored, kMainWnd, WM_READ_FLASH_VALUE, FLASH_SCENE_VALID);
    EXPECT_EQ(valid.mask, 0x0201);
}

// ---- karaoke effects ----

TEST_F(HandLaidReplyTest, KaraokeValues) {
    // clang-format off
    const auto bass = Feed({0xAA, 0x55,   // sync
                            0x04,         // length: 3 + 1 data bytes
                            0x07,         // CMD_KTV
                            0x09,         // KTV_BASS_GAIN
                            0xDD,         // OP_UPDATE
                            0xFB,         // -5 dB, a signed byte
                            0x14});       // checksum
    // clang-format on
    EXPECT_EQ(OnlyValue(bass, kMainWnd, WM_READ_KTV_VALUE, KTV_BASS_GAIN), -5);

    // clang-format off
    const auto echo = Feed({0xAA, 0x55,   // sync
                            0x05,         // length: 3 + 2 data bytes
                            0x07,         // CMD_KTV
                            0x05,         // KTV_ECHO_DELAY
                            0xDD,         // OP_UPDATE
                            0x01, 0x2C,   // 300, high byte first
                            0xE5});       // checksum
    // clang-format on
    EXPECT_EQ(OnlyValue(echo, kMainWnd, WM_READ_KTV_VALUE, KTV_ECHO_DELAY), 300);

    // clang-format off
    const auto mic = Feed({0xAA, 0x55,   // sync
                           0x04,         // length: 3 + 1 data bytes
                           0x07,         // CMD_KTV
                           0x01,         // KTV_MIC_VOL
                           0xDD,         // OP_UPDATE
                           0xC8,         // 200, unsigned
                           0x4F});       // checksum
    // clang-format on
    EXPECT_EQ(OnlyValue(mic, kMainWnd, WM_READ_KTV_VALUE, KTV_MIC_VOL), 200);
}

}  // namespace
