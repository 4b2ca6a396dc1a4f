// The amplifier's DSP memory and microcontroller values from the wire: words
// kept where they were written, the bus ignoring the two low address bits,
// nothing above the memory, the words the DSP plays from read-only.
#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "device/packet.h"
#include "virtual_device/amplifier_protocol.h"
#include "virtual_device/dsp_memory.h"
#include "virtual_device/virtual_amplifier.h"
#include "virtual_device/virtual_hid_backend.h"

namespace {

using virtual_device::AmplifierProtocol;
using virtual_device::VirtualAmplifier;
using Bytes = std::vector<uint8_t>;

constexpr uint8_t kMemData = 0x42;
constexpr uint8_t kPowerOffDelay = 0x91;
constexpr uint8_t kUsbPowerPin = 0x95;

Bytes LittleEndian(uint32_t word) {
    return {static_cast<uint8_t>(word), static_cast<uint8_t>(word >> 8),
            static_cast<uint8_t>(word >> 16), static_cast<uint8_t>(word >> 24)};
}

class DspMemoryTest : public ::testing::Test {
protected:
    DspMemoryTest() {
        mProtocol = AmplifierProtocol::InstallOn(mAmplifier);
        mBackend.Add(mAmplifier);
        mDevice = mBackend.Open(0x0483, 0x5750);
    }

    // The data bytes of the one answer to a command.
    Bytes Answer(uint8_t type, uint8_t sub, uint8_t operation, Bytes data) {
        device::OutputReport report =
            device::BuildOutputReport(type, sub, operation, data.data(), data.size());
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
        EXPECT_EQ(answers[0][3], type);
        EXPECT_EQ(answers[0][4], sub);
        return {answers[0].begin() + 6, answers[0].begin() + 3 + answers[0][2]};
    }
    void Write(uint32_t address, uint32_t value) {
        Bytes data = LittleEndian(address);
        const Bytes word = LittleEndian(value);
        data.insert(data.end(), word.begin(), word.end());
        EXPECT_EQ(Answer(device::CMD_DSP, kMemData, device::OP_SET, data),
                  Bytes({device::ACK_READY}));
    }
    // The word the amplifier answers for this address; the answer repeats
    // the address as it was asked.
    uint32_t Read(uint32_t address) {
        Bytes asked = LittleEndian(address);
        asked.resize(8, 0);
        const Bytes data = Answer(device::CMD_DSP, kMemData, device::OP_GET, asked);
        EXPECT_EQ(data.size(), 8u);
        if (data.size() != 8) {
            return 0xDEADBEEF;
        }
        EXPECT_EQ(Bytes(data.begin(), data.begin() + 4), LittleEndian(address));
        return static_cast<uint32_t>(data[4] | data[5] << 8 | data[6] << 16) |
               static_cast<uint32_t>(data[7]) << 24;
    }

    std::shared_ptr<VirtualAmplifier> mAmplifier = std::make_shared<VirtualAmplifier>(L"M-1");
    std::shared_ptr<AmplifierProtocol> mProtocol;
    virtual_device::VirtualHidBackend mBackend;
    std::unique_ptr<device::HidDevice> mDevice;
};

TEST_F(DspMemoryTest, AWordReadsBackWhereItWasWrittenAndOthersReadZero) {
    EXPECT_EQ(Read(0x100), 0u);
    Write(0x100, 0xCAFEF00D);
    Write(0x104, 7);
    EXPECT_EQ(Read(0x100), 0xCAFEF00Du);
    EXPECT_EQ(Read(0x104), 7u);
    EXPECT_EQ(Read(0x108), 0u);
    EXPECT_EQ(mProtocol->Memory(0x100), 0xCAFEF00Du);
    Write(0x100, 0);
    EXPECT_EQ(Read(0x100), 0u);
}

TEST_F(DspMemoryTest, AnUnalignedAddressNamesTheWordItFallsIn) {
    Write(0x0A, 0x12345678);
    for (uint32_t address : {0x08u, 0x09u, 0x0Au, 0x0Bu}) {
        EXPECT_EQ(Read(address), 0x12345678u) << address;
    }
    EXPECT_EQ(Read(0x0C), 0u);
    EXPECT_EQ(Read(0x07), 0u);
}

TEST_F(DspMemoryTest, AboveTheMemoryWritesAreDroppedAndReadsAnswerZero) {
    const uint32_t top = virtual_device::kDspMemoryBytes;
    Write(top - 0x200, 0x11);
    Write(top, 0x22);
    Write(0xFFFFFFFC, 0x33);
    EXPECT_EQ(Read(top - 0x200), 0x11u);
    EXPECT_EQ(Read(top), 0u);
    EXPECT_EQ(Read(0xFFFFFFFC), 0u);
    // The bus does not wrap: the word at 0 is not the one above the top.
    EXPECT_EQ(Read(0), 0u);
}

TEST_F(DspMemoryTest, TheWordsTheDspPlaysFromFollowItsStateAndRefuseWrites) {
    virtual_device::AmplifierState state = mProtocol->State(0);
    state.sourceCode = 88;
    state.volumeAttenuation = 20;
    state.mute = 1;
    state.channels[3].trimAttenuation = 9;
    mProtocol->SetState(0, state);
    EXPECT_EQ(Read(virtual_device::kDspStateSource), 88u);
    EXPECT_EQ(Read(virtual_device::kDspStateVolume), 20u);
    EXPECT_EQ(Read(virtual_device::kDspStateMute), 1u);
    EXPECT_EQ(Read(virtual_device::kDspStateTrims + 3 * 4), 9u);
    EXPECT_EQ(Read(virtual_device::kDspStateTrims + 2 * 4), 0u);

    Write(virtual_device::kDspStateSource, 81);
    EXPECT_EQ(Read(virtual_device::kDspStateSource), 88u);
    EXPECT_EQ(mProtocol->State(0).sourceCode, 88);
}

TEST_F(DspMemoryTest, AFactoryResetEmptiesTheMemory) {
    Write(0x40, 5);
    mProtocol->FactoryReset();
    EXPECT_EQ(Read(0x40), 0u);
}

TEST_F(DspMemoryTest, TheMicrocontrollerKeepsThePowerOffDelayAndTheUsbOption) {
    EXPECT_EQ(Answer(device::CMD_MCU, kPowerOffDelay, device::OP_SET, {0x03, 0xE8}),
              Bytes({device::ACK_READY}));
    EXPECT_EQ(Answer(device::CMD_MCU, kPowerOffDelay, device::OP_GET, {}), Bytes({0x03, 0xE8}));
    EXPECT_EQ(mProtocol->Mcu().powerOffDelayMs, 1000);
    for (uint8_t option : {uint8_t{1}, uint8_t{0}}) {
        EXPECT_EQ(Answer(device::CMD_MCU, kUsbPowerPin, device::OP_SET, {option}),
                  Bytes({device::ACK_READY}));
        EXPECT_EQ(Answer(device::CMD_MCU, kUsbPowerPin, device::OP_GET, {}), Bytes({option}));
        EXPECT_EQ(mProtocol->Mcu().usbPowerOption, option);
    }
}

}  // namespace
