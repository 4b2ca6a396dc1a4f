// Plain values, input-side, calibration and fine-encoding reports laid out by hand.
#include "hand_laid_reply_fixture.h"

namespace hand_laid {
namespace {

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

TEST_F(HandLaidReplyTest, CalibrationFailuresReachTheWindowWithTheirReason) {
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
    // Still a failure: the run is over whatever the reason.
    EXPECT_EQ(OnlyValue(unknown, kAutoCalWnd, WM_READ_IRC_VALUE, 11), 6);
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

}  // namespace
}  // namespace hand_laid
