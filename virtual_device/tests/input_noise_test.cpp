// The amplifier's input noise and noise settings from the wire: levels that
// differ per input, wander and burst over time, follow the current source's
// inputs, repeat for the same seed and clock; the noise gate and the input
// threshold kept as sent.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <set>
#include <vector>

#include "device/dsp_subcommands.h"
#include "device/packet.h"
#include "virtual_device/amplifier_protocol.h"
#include "virtual_device/input_noise.h"
#include "virtual_device/virtual_amplifier.h"
#include "virtual_device/virtual_hid_backend.h"

namespace {

using virtual_device::AmplifierProtocol;
using virtual_device::VirtualAmplifier;

constexpr uint8_t kLowLevel = 85;
constexpr uint8_t kBluetooth = 83;
constexpr uint8_t kCoaxial = 82;

class InputNoise : public ::testing::Test {
protected:
    void SetUp() override { Install({}); }

    void Install(virtual_device::ProtocolOptions options) {
        options.rebootOnFactoryDefault = false;
        mAmplifier = std::make_shared<VirtualAmplifier>(L"N-1");
        mProtocol = AmplifierProtocol::InstallOn(mAmplifier, options);
        mProtocol->SetNoiseClock([this] { return mNowMs; });
        mBackend = std::make_unique<virtual_device::VirtualHidBackend>();
        mBackend->Add(mAmplifier);
        mDevice = mBackend->Open(0x0483, 0x5750);
        ASSERT_NE(mDevice, nullptr);
    }

    // The data bytes of the one answer to a DSP command.
    std::vector<uint8_t> Dsp(uint8_t sub, uint8_t operation, std::vector<uint8_t> data) {
        device::OutputReport report =
            device::BuildOutputReport(device::CMD_DSP, sub, operation, data.data(), data.size());
        EXPECT_EQ(mDevice->Write(report.data(), report.size()), 65);
        std::vector<std::vector<uint8_t>> answers;
        uint8_t buffer[64];
        while (mDevice->ReadTimeout(buffer, sizeof buffer, 0) > 0) {
            answers.emplace_back(buffer, buffer + 64);
        }
        EXPECT_EQ(answers.size(), 1u);
        if (answers.size() != 1) {
            return {};
        }
        const auto& a = answers[0];
        EXPECT_EQ(a[4], sub);
        return {a.begin() + 6, a.begin() + 3 + a[2]};
    }

    // The levels the amplifier reports for inputs first..last, decoded as
    // the program reads them.
    std::vector<float> Levels(uint8_t first, uint8_t last) {
        const auto data = Dsp(device::DSP_INPUT_NOISE, device::OP_GET, {first, last});
        std::vector<float> levels;
        EXPECT_GE(data.size(), 2u);
        if (data.size() < 2) {
            return levels;
        }
        EXPECT_EQ(data[0], first);
        EXPECT_EQ(data[1], last);
        for (size_t at = 2; at + 1 < data.size(); at += 2) {
            levels.push_back(static_cast<float>(data[at]) - 100.0f + data[at + 1] / 10.0f);
        }
        return levels;
    }

    void UseSource(uint8_t code) {
        EXPECT_EQ(Dsp(0x01, device::OP_SET, {code}), std::vector<uint8_t>{device::ACK_READY});
    }

    int64_t mNowMs = 0;
    std::shared_ptr<VirtualAmplifier> mAmplifier;
    std::shared_ptr<AmplifierProtocol> mProtocol;
    std::unique_ptr<virtual_device::VirtualHidBackend> mBackend;
    std::unique_ptr<device::HidDevice> mDevice;
};

TEST_F(InputNoise, EachInputOfTheSourceHasANoiseFloorOfItsOwn) {
    UseSource(kLowLevel);
    mNowMs = 12345;
    const std::vector<float> levels = Levels(0, 7);
    ASSERT_EQ(levels.size(), 8u);
    std::set<int> distinct;
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(levels[i], mProtocol->NoiseModel().LevelDb(i, mNowMs), 0.051);
        EXPECT_NEAR(levels[i], mProtocol->InputNoiseDb(i), 0.051);
        // A real input: above silence, below full scale.
        EXPECT_GT(levels[i], -95.0f);
        EXPECT_LT(levels[i], -20.0f);
        distinct.insert(static_cast<int>(levels[i] * 10));
    }
    EXPECT_GE(distinct.size(), 6u) << "the inputs are not all alike";
}

TEST_F(InputNoise, LevelsWanderSlowlyAndBurstNowAndThen) {
    UseSource(kLowLevel);
    for (int input = 0; input < 4; ++input) {
        SCOPED_TRACE(input);
        const float floorDb = mProtocol->NoiseModel().FloorDb(input);
        float lowest = 0;
        float highest = -100;
        int bursts = 0;
        float previous = -100;
        int steadySteps = 0;
        for (mNowMs = 0; mNowMs < 60000; mNowMs += 500) {
            const float level = Levels(static_cast<uint8_t>(input), static_cast<uint8_t>(input))[0];
            lowest = std::min(lowest, level);
            highest = std::max(highest, level);
            if (level > floorDb + 8.0f) {
                ++bursts;
            } else if (mNowMs > 0 && level - previous < 3.0f && previous - level < 3.0f) {
                ++steadySteps;  // between bursts a level moves by little at a time
            }
            previous = level;
        }
        EXPECT_GT(highest - lowest, 5.0f) << "the level moves";
        EXPECT_GE(bursts, 2) << "a burst now and then";
        EXPECT_LE(bursts, 40) << "but mostly the floor";
        EXPECT_GE(steadySteps, 40);
    }
}

TEST_F(InputNoise, TheSameSeedAndClockGiveTheSameLevelsAnotherSeedOthers) {
    UseSource(kLowLevel);
    mNowMs = 777;
    const std::vector<float> first = Levels(0, 7);
    EXPECT_EQ(Levels(0, 7), first) << "the same moment reads the same";
    Install({});
    UseSource(kLowLevel);
    mNowMs = 777;
    EXPECT_EQ(Levels(0, 7), first);
    virtual_device::ProtocolOptions other;
    other.noiseSeed = 99;
    Install(other);
    UseSource(kLowLevel);
    mNowMs = 777;
    EXPECT_NE(Levels(0, 7), first);
}

TEST_F(InputNoise, InputsTheSourceLacksReadAsSilence) {
    UseSource(kBluetooth);  // two inputs
    mNowMs = 5000;
    const std::vector<float> levels = Levels(0, 7);
    ASSERT_EQ(levels.size(), 8u);
    EXPECT_GT(levels[0], -95.0f);
    EXPECT_GT(levels[1], -95.0f);
    for (int i = 2; i < 8; ++i) {
        EXPECT_FLOAT_EQ(levels[i], virtual_device::kSilentInputDb) << i;
    }
    UseSource(kCoaxial);  // none in this model
    for (float level : Levels(0, 1)) {
        EXPECT_FLOAT_EQ(level, virtual_device::kSilentInputDb);
    }
    UseSource(kLowLevel);
    EXPECT_GT(Levels(7, 7)[0], -95.0f);
}

TEST_F(InputNoise, ALevelTravelsInWholeDbAndTenths) {
    using virtual_device::EncodeNoiseLevel;
    for (float level : {-72.3f, -72.0f, -0.1f, 0.0f, -100.0f, -58.9f}) {
        const auto bytes = EncodeNoiseLevel(level);
        EXPECT_NEAR(bytes.whole - 100.0f + bytes.tenths / 10.0f, level, 0.001) << level;
        EXPECT_LE(bytes.tenths, 9) << level;
    }
    EXPECT_EQ(EncodeNoiseLevel(-150.0f).whole, 0) << "below silence is silence";
    EXPECT_EQ(EncodeNoiseLevel(12.0f).whole, 100) << "above full scale is full scale";
}

TEST_F(InputNoise, TheNoiseGateAndTheInputThresholdAreKeptAsSent) {
    const std::vector<uint8_t> ack{device::ACK_READY};
    EXPECT_EQ(Dsp(device::DSP_NOISE_GATE, device::OP_SET, {1}), ack);
    EXPECT_EQ(Dsp(device::DSP_NOISE_GATE_THRESHOLD, device::OP_SET, {0, 7}), ack);
    EXPECT_EQ(Dsp(device::DSP_NOISE_GATE_DRC_GAIN, device::OP_SET, {0, 28}), ack);
    EXPECT_EQ(Dsp(device::DSP_INPUT_THRESHOLD, device::OP_SET, {static_cast<uint8_t>(-45)}), ack);
    const auto state = mProtocol->State(0);
    EXPECT_EQ(state.noiseGate, 1);
    EXPECT_EQ(state.noiseGateThresholdIndex, 7);
    EXPECT_EQ(state.noiseGateGainIndex, 28);
    EXPECT_EQ(state.inputThreshold, -45);
    EXPECT_EQ(Dsp(device::DSP_NOISE_GATE_THRESHOLD, device::OP_GET, {}),
              (std::vector<uint8_t>{0, 7}));
    EXPECT_EQ(Dsp(device::DSP_NOISE_GATE_DRC_GAIN, device::OP_GET, {}),
              (std::vector<uint8_t>{0, 28}));
    EXPECT_EQ(Dsp(device::DSP_INPUT_THRESHOLD, device::OP_GET, {}),
              (std::vector<uint8_t>{static_cast<uint8_t>(-45)}));
    // Indices beyond the device's range are held at its ends.
    EXPECT_EQ(Dsp(device::DSP_NOISE_GATE_THRESHOLD, device::OP_SET, {0, 200}), ack);
    EXPECT_EQ(mProtocol->State(0).noiseGateThresholdIndex, 31);
}

}  // namespace
