// The amplifier's clip detectors from the wire: what the mixer routes, at
// what level, from an input playing how hot, decides which inputs and outputs
// report clipping; the mixer's own settings answer as they were set.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "device/packet.h"
#include "virtual_device/amplifier_protocol.h"
#include "virtual_device/demo_amplifier.h"
#include "virtual_device/virtual_amplifier.h"
#include "virtual_device/virtual_hid_backend.h"

namespace {

using Bytes = std::vector<uint8_t>;

constexpr uint8_t kLow = 4;  // the low-level source
constexpr uint8_t kInputClip = 0x40;
constexpr uint8_t kOutputClip = 0x41;
constexpr uint8_t kMixMask = 0x0B;
constexpr uint8_t kMixLevel = 0x24;

class AmplifierClippingTest : public ::testing::Test {
protected:
    AmplifierClippingTest() {
        virtual_device::ProtocolOptions options;
        options.rebootOnFactoryDefault = false;
        mProtocol = virtual_device::AmplifierProtocol::InstallOn(mAmplifier, options);
        mBackend.Add(mAmplifier);
        mDevice = mBackend.Open(0x0483, 0x5750);
    }

    // The data of the one answer to a DSP command.
    Bytes Answer(uint8_t sub, uint8_t operation, Bytes data) {
        device::OutputReport report =
            device::BuildOutputReport(device::CMD_DSP, sub, operation, data.data(), data.size());
        EXPECT_EQ(mDevice->Write(report.data(), report.size()), 65);
        std::vector<Bytes> answers;
        uint8_t buffer[64];
        while (mDevice->ReadTimeout(buffer, sizeof buffer, 0) > 0) {
            answers.emplace_back(buffer, buffer + 64);
        }
        EXPECT_EQ(answers.size(), 1u);
        if (answers.size() != 1) {
            return {};
        }
        return {answers[0].begin() + 6, answers[0].begin() + 3 + answers[0][2]};
    }
    void Set(uint8_t sub, Bytes data) {
        EXPECT_EQ(Answer(sub, device::OP_SET, std::move(data)), Bytes({device::ACK_READY}));
    }
    // Routes exactly these inputs (a mask) of the low-level source to an output.
    void Route(uint8_t output, uint16_t mask) {
        Set(kMixMask,
            {0, kLow, output, output, static_cast<uint8_t>(mask >> 8), static_cast<uint8_t>(mask)});
    }
    void Level(uint8_t input, uint8_t output, uint8_t level) {
        Set(kMixLevel, {0, kLow, input, output, output, level});
    }
    // The clip bytes of inputs or outputs first..last of the low-level source.
    Bytes Clips(uint8_t sub, uint8_t first, uint8_t last) {
        Bytes answer = Answer(sub, device::OP_GET, {0, kLow, first, last});
        EXPECT_GE(answer.size(), 3u);
        if (answer.size() < 3) {
            return {};
        }
        EXPECT_EQ(answer[0], kLow);
        EXPECT_EQ(answer[1], first);
        EXPECT_EQ(answer[2], last);
        return {answer.begin() + 3, answer.end()};
    }

    std::shared_ptr<virtual_device::VirtualAmplifier> mAmplifier =
        std::make_shared<virtual_device::VirtualAmplifier>(L"CLIP-1");
    std::shared_ptr<virtual_device::AmplifierProtocol> mProtocol;
    virtual_device::VirtualHidBackend mBackend;
    std::unique_ptr<device::HidDevice> mDevice;
};

TEST_F(AmplifierClippingTest, AHotInputClipsOnlyWhileItsRoutedLevelTakesItPastFullScale) {
    EXPECT_EQ(Clips(kInputClip, 0, 3), Bytes({0, 0, 0, 0})) << "silence clips nowhere";
    mProtocol->SetInputPeak(kLow, 0, 120);
    EXPECT_EQ(mProtocol->InputPeak(kLow, 0), 120);
    for (uint8_t o = 2; o < 10; ++o) {
        Route(o, 0x0000);  // input 1 reaches output 1 only
    }
    Route(0, 0x0001);
    Route(1, 0x0002);
    Level(0, 0, 100);
    EXPECT_EQ(Clips(kInputClip, 0, 1), Bytes({1, 0}));
    EXPECT_EQ(Clips(kOutputClip, 0, 1), Bytes({1, 0}));

    Level(0, 0, 84);  // 120 % x 0.84 = 100.8 %: still over
    EXPECT_EQ(Clips(kInputClip, 0, 0), Bytes({1}));
    Level(0, 0, 83);  // 99.6 %: under full scale
    EXPECT_EQ(Clips(kInputClip, 0, 0), Bytes({0}));
    EXPECT_EQ(Clips(kOutputClip, 0, 0), Bytes({0}));

    Level(0, 0, 100);
    Route(0, 0x0000);  // a hot input that reaches no output clips nothing
    EXPECT_EQ(Clips(kInputClip, 0, 0), Bytes({0}));
    EXPECT_EQ(Clips(kOutputClip, 0, 0), Bytes({0}));
}

TEST_F(AmplifierClippingTest, AnOutputClipsFromTheSumOfItsInputs) {
    mProtocol->SetInputPeak(kLow, 0, 60);
    mProtocol->SetInputPeak(kLow, 1, 60);
    Route(2, 0x0003);
    Level(0, 2, 100);
    Level(1, 2, 100);
    EXPECT_EQ(Clips(kInputClip, 0, 1), Bytes({0, 0})) << "each input alone stays under";
    EXPECT_EQ(Clips(kOutputClip, 2, 2), Bytes({1}));
    Level(1, 2, 60);  // 60 + 36 = 96 %
    EXPECT_EQ(Clips(kOutputClip, 2, 2), Bytes({0}));
    EXPECT_EQ(Clips(kOutputClip, 0, 9).size(), 10u);
}

TEST_F(AmplifierClippingTest, AnotherSourcesSignalDoesNotReachThisOne) {
    mProtocol->SetInputPeak(kLow + 1, 0, 200);
    Route(0, 0x0001);
    Level(0, 0, 100);
    EXPECT_EQ(Clips(kInputClip, 0, 0), Bytes({0}));
    mProtocol->SetInputPeak(kLow, 40, 200);  // no such input: ignored
    EXPECT_EQ(mProtocol->InputPeak(kLow, 40), 0);
}

TEST_F(AmplifierClippingTest, MixerLevelsInputPhasesAndCrossSourceChoicesAreKept) {
    Set(kMixLevel, {0, kLow, 3, 0, 2, 10, 20, 30});
    EXPECT_EQ(Answer(kMixLevel, device::OP_GET, {0, kLow, 3, 0, 2}),
              Bytes({0, kLow, 3, 0, 2, 10, 20, 30}));
    Set(0x22, {0, kLow, 1, 2, 1, 0});
    EXPECT_EQ(mProtocol->State(0).sources[kLow].inputPhase[1], 1);
    EXPECT_EQ(mProtocol->State(0).sources[kLow].inputPhase[2], 0);
    Set(0x4D, {0, kLow, 1, 5, 9});  // row 9 takes channel 5 of source 1
    EXPECT_EQ(Answer(0x4D, device::OP_GET, {0, kLow, 0, 0, 9}), Bytes({0, kLow, 1, 5, 9}));
}

TEST(DemoAmplifierSignal, FeedsTheLowLevelSourceHot) {
    auto demo = virtual_device::MakeDemoAmplifier();
    EXPECT_GT(demo.protocol->InputPeak(kLow, 0), 100);
    EXPECT_LT(demo.protocol->InputPeak(kLow, 1), 100);
    EXPECT_GT(demo.protocol->InputPeak(0, 1), 0);
}

}  // namespace
