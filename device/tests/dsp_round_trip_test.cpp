// Every family of DSP commands through the real link and the amplifier's
// protocol: the setter's frame, the amplifier's state, the request and the
// decoded message with its wParam and record.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "device/device_records.h"
#include "device/dsp_subcommands.h"
#include "device/window_messages.h"
#include "link_fixture.h"

namespace {

using namespace device;
using test_support::LinkFixture;
using test_support::RecordOf;
using Bytes = std::vector<uint8_t>;

class DspRoundTripTest : public LinkFixture {
protected:
    using LinkFixture::LinkFixture;

    // The DSP messages the last request posted, all to the main window.
    std::vector<platform::PostedMessage> Reports(uint8_t sub) {
        std::vector<platform::PostedMessage> found;
        for (auto& message : mMessages->Take()) {
            if (message.message == WM_READ_DSP_VALUE && message.wParam == sub) {
                found.push_back(std::move(message));
            }
        }
        return found;
    }
    intptr_t ValueOf(uint8_t sub) {
        auto reports = Reports(sub);
        EXPECT_EQ(reports.size(), 1u);
        return reports.empty() ? -999 : reports[0].lParam;
    }
    // The single record of type T that the last request posted.
    template <typename T>
    T RecordFrom(uint8_t sub) {
        auto reports = Reports(sub);
        EXPECT_EQ(reports.size(), 1u);
        const T* record = reports.empty() ? nullptr : RecordOf<T>(reports[0]);
        EXPECT_NE(record, nullptr);
        return record != nullptr ? *record : T{};
    }
    const virtual_device::ChannelState Channel(int scene, int channel) {
        return mProtocol->State(scene).channels[channel];
    }
};

TEST_F(DspRoundTripTest, SourceVolumeAndMute) {
    ASSERT_TRUE(mLink.Source_Switch_Ctrl(86, true));
    EXPECT_EQ(LastSentData(), Bytes({86}));
    ASSERT_TRUE(mLink.Main_Volume_Ctrl(24.75f, true));  // attenuation 24 below +6 dB
    EXPECT_EQ(LastSentData(), Bytes({24}));
    ASSERT_TRUE(mLink.Mute_Ctrl(1, true));
    EXPECT_EQ(mProtocol->State(0).volumeAttenuation, 24);
    mMessages->Take();

    ASSERT_TRUE(mLink.Get_Source());
    EXPECT_EQ(ValueOf(DSP_SOURCE_SWITCH), 86);
    ASSERT_TRUE(mLink.Get_Main_Volume());
    EXPECT_EQ(ValueOf(DSP_VOLUME), -18);
    ASSERT_TRUE(mLink.Get_Mute());
    EXPECT_EQ(ValueOf(DSP_MUTE), 1);
}

TEST_F(DspRoundTripTest, CrossoverSections) {
    ASSERT_TRUE(mLink.Filter_Ctrl(0, 0, 2, 2, 3, 120, 4, true));
    // clang-format off
    EXPECT_EQ(LastSentData(), Bytes({0, 0, 2,    // scene, source, channel
                                     2,          // high-pass
                                     3,          // filter type
                                     0x00, 0x78, // 120 Hz
                                     4}));       // slope
    // clang-format on
    ASSERT_TRUE(mLink.Filter_Ctrl(0, 0, 2, 1, 2, 5000, 3, true));
    EXPECT_EQ(Channel(0, 2).highPass.frequency, 120);
    EXPECT_EQ(Channel(0, 2).lowPass.frequency, 5000);
    mMessages->Take();
    ASSERT_TRUE(mLink.Get_Filter({0, 0, 2, 2}));
    const auto filter = RecordFrom<FilterRecord>(DSP_FILTER_SET);
    EXPECT_EQ(filter.channel, 2);
    EXPECT_EQ(filter.hp_type, 3);
    EXPECT_EQ(filter.hp_freq, 120);
    EXPECT_EQ(filter.hp_slope, 4);
    EXPECT_EQ(filter.lp_type, 2);
    EXPECT_EQ(filter.lp_freq, 5000);
    EXPECT_EQ(filter.lp_slope, 3);
}

TEST_F(DspRoundTripTest, EqBandWithFractionsRoundedToTheWire) {
    ASSERT_TRUE(mLink.EQ_Ctrl(0, 0, 1, 5, 1000, 1.4f, -3.3f, 0, true));
    // clang-format off
    EXPECT_EQ(LastSentData(), Bytes({0, 0, 1, 5,   // scene, source, channel, band
                                     0x03, 0xE8,   // 1000 Hz
                                     1, 4,         // Q 1.4
                                     14, 7}));     // gain + 18 = 14.7, type 0
    // clang-format on
    ASSERT_TRUE(mLink.EQ_Ctrl(0, 0, 1, 6, 1000, 1.4f, -3.0f, 0, true));
    EXPECT_EQ(LastSentData(), Bytes({0, 0, 1, 6, 0x03, 0xE8, 0x01, 0x04, 0x0F, 0x00}));
    ASSERT_TRUE(mLink.EQ_Ctrl(0, 0, 1, 7, 2500, 0.7f, 0.0f, 1, true));
    mMessages->Take();
    ASSERT_TRUE(mLink.Get_EQ(0, 0, 1, 5, 7));
    auto bands = Reports(DSP_EQ_CH);
    ASSERT_EQ(bands.size(), 3u);
    const auto* first = RecordOf<EqBandRecord>(bands[0]);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->band, 5);
    EXPECT_EQ(first->frequency, 1000);
    EXPECT_NEAR(first->q, 1.4f, 1e-5);
    EXPECT_NEAR(first->gain, -3.3f, 1e-5);
    EXPECT_EQ(first->type, 0);
    const auto* third = RecordOf<EqBandRecord>(bands[2]);
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(third->type, 1);
    EXPECT_NEAR(third->q, 0.7f, 1e-5);
}

TEST_F(DspRoundTripTest, EqResetRestoresTheDefaultBands) {
    ASSERT_TRUE(mLink.EQ_Ctrl(0, 0, 1, 2, 777, 2.0f, 6.0f, 0, true));
    ASSERT_EQ(Channel(0, 1).eq[2].frequency, 777);
    const uint8_t channels[] = {1};
    ASSERT_TRUE(mLink.PEQ_Reset_Ctrl(0, channels, true));
    EXPECT_EQ(LastSentData(), Bytes({0, 0, 1, 1}));
    EXPECT_EQ(Channel(0, 1).eq[2].frequency, 40);
}

TEST_F(DspRoundTripTest, DelayAndTrim) {
    const float delays[] = {2.5f, 0.01f};
    ASSERT_TRUE(mLink.Delay_Ctrl({0, 0, 2, 3}, delays, true));
    EXPECT_EQ(LastSentData(), Bytes({0, 0, 2, 3, 0x02, 0x01, 0xF4, 0x00, 0x00, 0x0A}));
    const float trims[] = {-3.5f};
    ASSERT_TRUE(mLink.Trim_Ctrl({0, 0, 4, 4}, trims, true));
    EXPECT_EQ(LastSentData(), Bytes({0, 0, 4, 4, 0x03}));
    EXPECT_EQ(Channel(0, 4).trimAttenuation, 3);
    mMessages->Take();

    ASSERT_TRUE(mLink.Get_Delay({0, 0, 2, 3}));
    auto delayReports = Reports(DSP_DELAY_CH);
    ASSERT_EQ(delayReports.size(), 2u);
    EXPECT_NEAR(RecordOf<ChannelFloatRecord>(delayReports[0])->value, 2.5f, 1e-5);
    EXPECT_EQ(RecordOf<ChannelFloatRecord>(delayReports[1])->channel, 3);
    EXPECT_NEAR(RecordOf<ChannelFloatRecord>(delayReports[1])->value, 0.01f, 1e-5);
    ASSERT_TRUE(mLink.Get_Trim({0, 0, 4, 4}));
    const auto trim = RecordFrom<ChannelFloatRecord>(DSP_TRIM_CH);
    EXPECT_EQ(trim.channel, 4);
    EXPECT_FLOAT_EQ(trim.value, -3.0f);
}

// One-byte-per-channel families: mute, phase, solo, type, EQ bypass and
// compressor on, each in a stored scene so the scene byte is honoured.
TEST_F(DspRoundTripTest, ChannelSwitches) {
    struct Family {
        uint8_t sub;
        bool (device::DeviceLink::*set)(const ChannelRange&, std::span<const uint8_t>, bool);
        bool (device::DeviceLink::*get)(const ChannelRange&);
        uint8_t virtual_device::ChannelState::*field;
    };
    const Family families[] = {
        {DSP_MUTE_CH, &DeviceLink::Mute_Ch_Ctrl, &DeviceLink::Get_Mute_Ch,
         &virtual_device::ChannelState::mute},
        {DSP_PHASE_CH, &DeviceLink::Phase_Ctrl, &DeviceLink::Get_Phase,
         &virtual_device::ChannelState::phase},
        {DSP_CH_SOLO, &DeviceLink::Solo_Ctrl, &DeviceLink::Get_Ch_Solo,
         &virtual_device::ChannelState::solo},
        {DSP_CH_TYPE, &DeviceLink::CH_Type_Ctrl, &DeviceLink::Get_CH_Type,
         &virtual_device::ChannelState::type},
        {DSP_EQ_BYPASS, &DeviceLink::PEQ_Bypass_Ctrl, &DeviceLink::Get_PEQ_Bypass,
         &virtual_device::ChannelState::eqBypass},
        {DSP_COMPRESSOR_ON_CH, &DeviceLink::Compressor_Ch_Ctrl, &DeviceLink::Get_Compressor_Ch_On,
         &virtual_device::ChannelState::compressorOn},
    };
    const std::array<uint8_t, 3> values = {1, 0, 7};
    for (const Family& family : families) {
        SCOPED_TRACE(DspSubCommandLogName(family.sub));
        ASSERT_TRUE((mLink.*family.set)({5, 0, 1, 3}, std::span<const uint8_t>(values), true));
        EXPECT_EQ(LastSentData(), Bytes({5, 0, 1, 3, 1, 0, 7}));
        EXPECT_EQ(Channel(5, 3).*family.field, 7);
        mMessages->Take();
        ASSERT_TRUE((mLink.*family.get)({5, 0, 1, 3}));
        auto reports = Reports(family.sub);
        ASSERT_EQ(reports.size(), 3u);
        for (int i = 0; i < 3; ++i) {
            const auto* record = RecordOf<ChannelValueRecord>(reports[i]);
            ASSERT_NE(record, nullptr);
            EXPECT_EQ(record->scene, 5);
            EXPECT_EQ(record->channel, 1 + i);
            EXPECT_EQ(record->value, values[i]);
        }
    }
}

TEST_F(DspRoundTripTest, RangeBelowItsFirstChannelSendsThePrefixOnly) {
    const uint8_t none[] = {0};
    ASSERT_TRUE(mLink.Mute_Ch_Ctrl({0, 0, 4, 2}, none, true));
    EXPECT_EQ(LastSentData(), Bytes({0, 0, 4, 2}));
}

TEST_F(DspRoundTripTest, MixerMasksTakeTwoBytesForTenInputs) {
    const uint32_t masks[] = {0x0301, 0x0002};
    ASSERT_TRUE(mLink.Mix_Ch_Ctrl({0, 4, 0, 1}, masks, true));
    EXPECT_EQ(LastSentData(), Bytes({0, 4, 0, 1, 0x03, 0x01, 0x00, 0x02}));
    mMessages->Take();
    ASSERT_TRUE(mLink.Get_Mix_Ch({0, 4, 0, 1}));
    auto reports = Reports(DSP_MIX_CH);
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(RecordOf<MixMaskRecord>(reports[0])->mask, 0x0301u);
    EXPECT_EQ(RecordOf<MixMaskRecord>(reports[0])->source, 4);
    EXPECT_EQ(RecordOf<MixMaskRecord>(reports[1])->mask, 0x0002u);
}

TEST_F(DspRoundTripTest, LinksAndLock) {
    const std::pair<uint8_t, uint8_t> pairs[] = {{0, 1}, {4, 5}};
    ASSERT_TRUE(mLink.CH_Link_Ctrl(0, 1, pairs, true));
    EXPECT_EQ(LastSentData(), Bytes({0, 1, 2, 0, 1, 4, 5}));
    ASSERT_TRUE(mLink.CH_Lock_Ctrl(0, 1, true));
    mMessages->Take();
    ASSERT_TRUE(mLink.Get_CH_Link(0));
    const auto link = RecordFrom<LinkRecord>(DSP_CH_LINK);
    EXPECT_EQ(link.link, 1);
    EXPECT_EQ(link.pairCount, 5);  // one byte per output pair of ten outputs
    EXPECT_EQ(link.pairs[0], 0x01);
    EXPECT_EQ(link.pairs[1], 0x45);
    ASSERT_TRUE(mLink.Get_CH_Lock(0));
    EXPECT_EQ(RecordFrom<LockRecord>(DSP_CH_LOCK).lock, 1);
}

TEST_F(DspRoundTripTest, InputSide) {
    const uint8_t phases[] = {1, 0};
    ASSERT_TRUE(mLink.Input_Phase_Ctrl({0, 4, 0, 1}, phases, true));
    EXPECT_EQ(mProtocol->State(0).sources[4].inputPhase[0], 1);
    const uint8_t trims[] = {80, 0, 55};
    ASSERT_TRUE(mLink.Input_Mix_Trim_Ctrl(0, 4, 1, 2, 4, trims, true));
    EXPECT_EQ(LastSentData(), Bytes({0, 4, 1, 2, 4, 80, 0, 55}));
    ASSERT_TRUE(mLink.Input_Ch_Threshold_Ctrl(-40, true));
    EXPECT_EQ(LastSentData(), Bytes({0xD8}));
    mMessages->Take();

    ASSERT_TRUE(mLink.Get_Input_Mix_CH_Trim(0, 4, 1, 2, 4));
    const auto mix = RecordFrom<InputMixTrimRecord>(DSP_INPUT_MIX_CH_TRIM);
    EXPECT_EQ(mix.inputChannel, 1);
    EXPECT_EQ(mix.trims[0], 80);
    EXPECT_EQ(mix.trims[2], 55);
    ASSERT_TRUE(mLink.Get_Input_Threshold(0, 4, true));
    EXPECT_EQ(ValueOf(DSP_INPUT_THRESHOLD), -40);
    ASSERT_TRUE(mLink.Get_Input_Noise(0, 1, true));
    auto noise = mMessages->Take();
    ASSERT_EQ(noise.size(), 1u);
    EXPECT_EQ(noise[0].target, test_support::kNoiseWnd);
    EXPECT_NE(RecordOf<InputNoiseRecord>(noise[0]), nullptr);
}

TEST_F(DspRoundTripTest, CrossSourceMixInBothLayouts) {
    ASSERT_TRUE(mLink.Cross_Source_Mix_Ctrl(0, 4, 1, 83, 0, 40, true));
    mMessages->Take();
    ASSERT_TRUE(mLink.Get_Mix_Source2(0, 4, 1));
    EXPECT_EQ(LastSentData(), Bytes({0, 4, 1, 0, 0, 0}));
    const auto plain = RecordFrom<CrossMixRecord>(DSP_CROSS_SOURCE_MIX);
    EXPECT_EQ(plain.channel, 1);
    EXPECT_EQ(plain.viceSource, 83);
    EXPECT_EQ(plain.viceGain, 40);

    ASSERT_TRUE(mLink.Cross_Source_Mix_Ctrl_CS47048(0, 4, 84, 1, 9, true));
    EXPECT_EQ(LastSentData(), Bytes({0, 4, 84, 1, 9}));
    mMessages->Take();
    ASSERT_TRUE(mLink.Get_Mix_Source2_CS47048(0, 4, 9));
    EXPECT_EQ(LastSentData(), Bytes({0, 4, 0, 0, 9}));
    const auto cs = RecordFrom<CrossMixRecord>(DSP_CROSS_SOURCE_MIX_CS47048);
    EXPECT_EQ(cs.channel, 9);
    EXPECT_EQ(cs.viceSource, 84);
    EXPECT_EQ(cs.viceChannel, 1);
}

TEST_F(DspRoundTripTest, Compressors) {
    ASSERT_TRUE(mLink.Compressor_Ctrl(0, 0, 2, 0, -20.5f, 4.2f, 15, 300, 2.5f, true));
    // clang-format off
    EXPECT_EQ(LastSentData(), Bytes({0, 0, 2, 0,
                                     79, 5,        // threshold + 100 = 79.5
                                     4, 2,         // ratio 4.2
                                     2, 5,         // knee 2.5
                                     0x00, 0x0F,   // attack
                                     0x01, 0x2C}));// release
    // clang-format on
    const Compressor2Entry entry{-20.5f, 10, 1500};
    ASSERT_TRUE(mLink.Compressor_Ctrl2({0, 0, 3, 3}, std::span(&entry, 1), true));
    EXPECT_EQ(LastSentData(), Bytes({0, 0, 3, 3, 0xEC, 0xFB, 0x00, 0x0A, 0x01, 0x05}));
    mMessages->Take();

    ASSERT_TRUE(mLink.Get_Compressor({0, 0, 2, 2}));
    const auto first = RecordFrom<CompressorRecord>(DSP_COMPRESSOR_SETTING);
    EXPECT_NEAR(first.threshold, -20.5f, 1e-4);
    EXPECT_NEAR(first.ratio, 4.2f, 1e-5);
    EXPECT_NEAR(first.knee, 2.5f, 1e-5);
    EXPECT_EQ(first.attack, 15);
    EXPECT_EQ(first.release, 300);
    ASSERT_TRUE(mLink.Get_Compressor2({0, 0, 3, 3}));
    const auto second = RecordFrom<CompressorRecord>(DSP_COMPRESSOR_SETTING2);
    EXPECT_NEAR(second.threshold, -20.5f, 1e-5);
    EXPECT_EQ(second.attack, 10);
    EXPECT_EQ(second.release, 1500);
}

TEST_F(DspRoundTripTest, AmplifierSwitches) {
    ASSERT_TRUE(mLink.Amp_Mute_Ctrl(1, true));
    ASSERT_TRUE(mLink.Rem_Out_Ctrl(0, 1, true));
    ASSERT_TRUE(mLink.Spk_Ohm_Ctrl(0, true));
    ASSERT_TRUE(mLink.Spk_Ohm13_21_Ctrl(0, 1, true));
    ASSERT_TRUE(mLink.Noise_Gate_Ctrl(1, true));
    ASSERT_TRUE(mLink.Noise_Gate_Drc_Gain_Ctrl(60, true));
    EXPECT_EQ(LastSentData(), Bytes({0, 48}));
    ASSERT_TRUE(mLink.Noise_Gate_Threshold_Ctrl(20, true));
    ASSERT_TRUE(mLink.Auto_On_Ctrl(0, 1, true));
    mMessages->Take();

    ASSERT_TRUE(mLink.Get_Amp_Mute());
    EXPECT_EQ(ValueOf(DSP_AMP_MUTE), 1);
    ASSERT_TRUE(mLink.Get_Rem_Out());
    const auto rem = RecordFrom<RemOutRecord>(DSP_REM_OUT);
    EXPECT_EQ(rem.remOut1, 0);
    EXPECT_EQ(rem.remOut2, 1);
    ASSERT_TRUE(mLink.Get_Spk_Ohm());
    EXPECT_EQ(ValueOf(DSP_SPK_OHM), 0);
    ASSERT_TRUE(mLink.Get_Spk_Ohm13_21());
    EXPECT_EQ(RecordFrom<SpkOhm13_21Record>(DSP_SPK_OHM13_21).ohm21, 1);
    ASSERT_TRUE(mLink.Get_Noise_Gate());
    EXPECT_EQ(ValueOf(DSP_NOISE_GATE), 1);
    ASSERT_TRUE(mLink.Get_Noise_Gate_Gain());
    EXPECT_EQ(ValueOf(DSP_NOISE_GATE_DRC_GAIN), 48);
    ASSERT_TRUE(mLink.Get_Noise_Gate_Threshold());
    EXPECT_EQ(ValueOf(DSP_NOISE_GATE_THRESHOLD), 20);
    ASSERT_TRUE(mLink.Get_AUTO_ON());
    EXPECT_EQ(ValueOf(DSP_AUTO_EFFECTION_ON_OFF_CONTROL), 1);
}

TEST_F(DspRoundTripTest, BridgesAndMemory) {
    const uint8_t bridges[] = {1, 0, 1, 0, 0};
    ASSERT_TRUE(mLink.Output_Bridge_Ctrl(0, 0, bridges, true));
    EXPECT_EQ(LastSentData(), Bytes({0, 0, 5, 1, 0, 1, 0, 0}));
    ASSERT_TRUE(mLink.Set_MemData(0x00012345, 0xCAFEF00D, true));
    EXPECT_EQ(LastSentData(), Bytes({0x45, 0x23, 0x01, 0x00, 0x0D, 0xF0, 0xFE, 0xCA}));
    mMessages->Take();

    ASSERT_TRUE(mLink.Get_Ouput_Bridge(0, 0, 5));
    const auto bridge = RecordFrom<BridgeRecord>(DSP_OUPUT_BRIDGE);
    EXPECT_EQ(bridge.count, 5);
    EXPECT_EQ(bridge.bridges[2], 1);
    ASSERT_TRUE(mLink.Get_MemData(0x00012345));
    auto memory = mMessages->Take();
    ASSERT_EQ(memory.size(), 1u);
    EXPECT_EQ(memory[0].target, test_support::kMemWnd);
    EXPECT_EQ(memory[0].message, WM_READ_MEM_VALUE);
    ASSERT_NE(RecordOf<MemDataRecord>(memory[0]), nullptr);
    EXPECT_EQ(RecordOf<MemDataRecord>(memory[0])->value, 0xCAFEF00Du);
}

// A memory window that closes lets go of the memory reports; one that
// closes after another window took them leaves them with that window.
TEST_F(DspRoundTripTest, AClosedMemoryWindowNoLongerReceivesMemoryReports) {
    constexpr platform::WindowHandle kOtherWnd = 0x2001;
    ASSERT_TRUE(mLink.Set_MemData(0x40, 0x1234, true));
    mMessages->Take();

    mLink.ReleaseMemWnd(kOtherWnd);  // not the window that holds them
    EXPECT_EQ(mLink.MemWnd(), test_support::kMemWnd);
    ASSERT_TRUE(mLink.Get_MemData(0x40));
    auto kept = mMessages->Take();
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0].target, test_support::kMemWnd);

    mLink.ReleaseMemWnd(test_support::kMemWnd);
    EXPECT_EQ(mLink.MemWnd(), platform::kNoWindow);
    ASSERT_TRUE(mLink.Get_MemData(0x40));
    for (const auto& message : mMessages->Take()) {
        EXPECT_NE(message.message, WM_READ_MEM_VALUE) << "a late report reached a closed window";
    }

    mLink.SetMemWnd(kOtherWnd);
    mLink.ReleaseMemWnd(test_support::kMemWnd);  // the old window closing late
    EXPECT_EQ(mLink.MemWnd(), kOtherWnd);
}

TEST_F(DspRoundTripTest, CalibrationControlAndStatus) {
    ASSERT_TRUE(mLink.IRC_Ctrl(1, 0x03FF, 2, true));
    EXPECT_EQ(LastSentData(), Bytes({1, 0x03, 0xFF, 2}));
    mMessages->Take();
    ASSERT_TRUE(mLink.IRC_Get());
    auto status = mMessages->Take();
    ASSERT_EQ(status.size(), 1u);
    EXPECT_EQ(status[0].target, test_support::kAutoCalWnd);
    EXPECT_EQ(status[0].message, WM_READ_IRC_VALUE);
    EXPECT_EQ(status[0].wParam, 0u);  // the run has started
}

TEST_F(DspRoundTripTest, StoredSceneKeepsItsOwnValues) {
    const float trims[] = {-6.0f};
    ASSERT_TRUE(mLink.Trim_Ctrl({7, 0, 0, 0}, trims, true));
    EXPECT_EQ(Channel(7, 0).trimAttenuation, 6);
    EXPECT_EQ(Channel(0, 0).trimAttenuation, 0);
    mMessages->Take();
    ASSERT_TRUE(mLink.Get_Trim({7, 0, 0, 0}));
    const auto trim = RecordFrom<ChannelFloatRecord>(DSP_TRIM_CH);
    EXPECT_EQ(trim.scene, 7);
    EXPECT_FLOAT_EQ(trim.value, -6.0f);
}

TEST_F(DspRoundTripTest, RequestBeyondTheModelIsAnsweredWithDefaults) {
    ASSERT_TRUE(mLink.Get_Mute_Ch({0, 0, 30, 40}));
    auto reports = Reports(DSP_MUTE_CH);
    ASSERT_EQ(reports.size(), 11u);
    EXPECT_EQ(RecordOf<ChannelValueRecord>(reports.back())->channel, 40);
    EXPECT_EQ(RecordOf<ChannelValueRecord>(reports.back())->value, 0);
}

// The same families with the fine encodings: hundredths of trim, thousandths
// of Q.
class FineEncodingTest : public DspRoundTripTest {
protected:
    static virtual_device::ProtocolOptions Fine() {
        virtual_device::ProtocolOptions options;
        options.floatTrim = true;
        options.eqPrecision = true;
        return options;
    }
    static ModelParams FineParams() {
        ModelParams params = test_support::ThisBuildParams();
        params.floatTrim = true;
        params.eqPrecision = true;
        return params;
    }
    FineEncodingTest() : DspRoundTripTest(Fine(), FineParams()) {}
};

TEST_F(FineEncodingTest, TrimCarriesHundredths) {
    const float trims[] = {-3.5f, -3.3f};
    ASSERT_TRUE(mLink.Trim_Ctrl({0, 0, 0, 1}, trims, true));
    EXPECT_EQ(LastSentData(), Bytes({0, 0, 0, 1, 3, 50, 3, 30}));
    mMessages->Take();
    ASSERT_TRUE(mLink.Get_Trim({0, 0, 0, 1}));
    auto reports = Reports(DSP_TRIM_CH);
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_NEAR(RecordOf<ChannelFloatRecord>(reports[0])->value, -3.5f, 1e-5);
    EXPECT_NEAR(RecordOf<ChannelFloatRecord>(reports[1])->value, -3.3f, 1e-5);
}

TEST_F(FineEncodingTest, QCarriesThousandths) {
    ASSERT_TRUE(mLink.EQ_Ctrl(0, 0, 0, 0, 1000, 1.4f, -3.0f, 0, true));
    EXPECT_EQ(LastSentData(), Bytes({0, 0, 0, 0, 0x03, 0xE8, 0x01, 0x01, 0x90, 0x0F, 0x00}));
    mMessages->Take();
    ASSERT_TRUE(mLink.Get_EQ(0, 0, 0, 0, 0));
    const auto band = RecordFrom<EqBandRecord>(DSP_EQ_CH);
    EXPECT_NEAR(band.q, 1.4f, 1e-5);
    EXPECT_NEAR(band.gain, -3.0f, 1e-5);
}

}  // namespace
