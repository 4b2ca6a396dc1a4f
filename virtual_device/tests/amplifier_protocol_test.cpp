// The amplifier's protocol from the wire: exactly one answer per command,
// none to PC control, answers that fit one report, and the demo tune.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "device/packet.h"
#include "virtual_device/amplifier_protocol.h"
#include "virtual_device/demo_amplifier.h"
#include "virtual_device/virtual_amplifier.h"
#include "virtual_device/virtual_hid_backend.h"

namespace {

using virtual_device::AmplifierProtocol;
using virtual_device::VirtualAmplifier;

class AmplifierProtocolTest : public ::testing::Test {
protected:
    AmplifierProtocolTest() {
        virtual_device::ProtocolOptions options;
        options.rebootOnFactoryDefault = false;
        mProtocol = AmplifierProtocol::InstallOn(mAmplifier, options);
        mBackend.Add(mAmplifier);
        mDevice = mBackend.Open(0x0483, 0x5750);
    }

    // Sends one command; returns the reports that came back.
    std::vector<std::vector<uint8_t>> Exchange(uint8_t type, uint8_t sub, uint8_t operation,
                                               std::vector<uint8_t> data) {
        device::OutputReport report =
            device::BuildOutputReport(type, sub, operation, data.data(), data.size());
        EXPECT_EQ(mDevice->Write(report.data(), report.size()), 65);
        std::vector<std::vector<uint8_t>> answers;
        uint8_t buffer[64];
        while (mDevice->ReadTimeout(buffer, sizeof buffer, 0) > 0) {
            answers.emplace_back(buffer, buffer + 64);
        }
        return answers;
    }

    std::shared_ptr<VirtualAmplifier> mAmplifier = std::make_shared<VirtualAmplifier>(L"P-1");
    std::shared_ptr<AmplifierProtocol> mProtocol;
    virtual_device::VirtualHidBackend mBackend;
    std::unique_ptr<device::HidDevice> mDevice;
};

TEST_F(AmplifierProtocolTest, EveryDspCommandGetsExactlyOneWellFormedAnswer) {
    // Widest requests: ranges over 0..255, every band.
    const std::vector<uint8_t> wide = {0, 0, 0, 255, 255, 0, 0, 0};
    for (int sub = 0; sub <= 0x83; ++sub) {
        for (uint8_t operation : {device::OP_GET, device::OP_SET}) {
            SCOPED_TRACE(testing::Message() << "sub " << sub << " op " << int(operation));
            auto answers = Exchange(device::CMD_DSP, static_cast<uint8_t>(sub), operation, wide);
            ASSERT_EQ(answers.size(), 1u);
            const auto& answer = answers[0];
            ASSERT_EQ(answer[0], 0xAA);
            ASSERT_EQ(answer[1], 0x55);
            ASSERT_LE(4 + answer[2], 64) << "the whole frame fits one input report";
            EXPECT_EQ(answer[4], sub);
            EXPECT_EQ(answer[5], operation == device::OP_GET ? device::OP_UPDATE : device::OP_ACK);
            uint8_t sum = 0;
            for (int i = 2; i <= 3 + answer[2]; ++i) {
                sum = static_cast<uint8_t>(sum + answer[i]);
            }
            EXPECT_EQ(sum, 0) << "checksum";
        }
    }
}

TEST_F(AmplifierProtocolTest, PcControlIsNeverAnswered) {
    EXPECT_TRUE(Exchange(device::CMD_MCU, 0x1F, device::OP_SET, {1}).empty());
    auto handshake = Exchange(device::CMD_MCU, 0x08, device::OP_SET, {});
    ASSERT_EQ(handshake.size(), 1u);
    // AA 55 07 03 08 DD 00 5E 01 20
    EXPECT_EQ(handshake[0][5], device::OP_UPDATE);
    EXPECT_EQ(handshake[0][7], 94);
    EXPECT_EQ(handshake[0][8], 1);
    EXPECT_EQ(handshake[0][9], 32);
}

TEST_F(AmplifierProtocolTest, SavingCopiesTheWorkingStateIntoTheSlot) {
    Exchange(device::CMD_DSP, 0x04, device::OP_SET, {1});
    auto saved = Exchange(device::CMD_FLASH, 0x08, device::OP_SET, {10, 0});
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(saved[0][6], device::ACK_READY);
    EXPECT_EQ(saved[0][7], 10);
    EXPECT_EQ(mProtocol->State(10).mute, 1);
    EXPECT_EQ(mProtocol->ValidMask(), 1 << 9);
    auto refused = Exchange(device::CMD_FLASH, 0x08, device::OP_SET, {11, 0});
    EXPECT_EQ(refused[0][6], device::ACK_NOT_READY);
}

TEST(DemoAmplifier, StartsWithATuneAndNamedScenes) {
    auto demo = virtual_device::MakeDemoAmplifier();
    ASSERT_NE(demo.amplifier, nullptr);
    EXPECT_EQ(demo.protocol->ValidMask(), 0x0003);
    EXPECT_EQ(demo.protocol->Name(1)[0], 'D');
    const auto state = demo.protocol->State(0);
    EXPECT_EQ(state.channels[0].type, 6);
    EXPECT_EQ(state.channels[9].type, 23);
    EXPECT_EQ(state.channels[8].lowPass.frequency, 70);
    EXPECT_EQ(state.channels[0].eqBypass, 0);
    EXPECT_NE(state.channels[0].eq[13].gainByte, 18) << "a band is set";
}

}  // namespace
