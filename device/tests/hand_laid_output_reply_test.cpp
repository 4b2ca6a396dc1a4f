// Output-channel reports laid out by hand (see hand_laid_reply_fixture.h).
#include "hand_laid_reply_fixture.h"

namespace hand_laid {
namespace {

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

}  // namespace
}  // namespace hand_laid
