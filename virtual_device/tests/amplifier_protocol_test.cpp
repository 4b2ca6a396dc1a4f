// The amplifier's protocol from the wire: exactly one answer per command,
// none to PC control, answers that fit one report, and the demo tune.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <utility>
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
    explicit AmplifierProtocolTest(virtual_device::ProtocolOptions options = {}) {
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

    // The data bytes of the one answer to a command: [2] is the length L,
    // [3] type, [4] sub-command, [5] operation, then L - 3 data bytes.
    std::vector<uint8_t> AnswerData(uint8_t type, uint8_t sub, uint8_t operation,
                                    std::vector<uint8_t> data) {
        auto answers = Exchange(type, sub, operation, std::move(data));
        EXPECT_EQ(answers.size(), 1u);
        if (answers.size() != 1) {
            return {};
        }
        const auto& answer = answers[0];
        EXPECT_EQ(answer[3], type);
        EXPECT_EQ(answer[4], sub);
        return {answer.begin() + 6, answer.begin() + 3 + answer[2]};
    }
    std::vector<uint8_t> Get(uint8_t sub, std::vector<uint8_t> data) {
        return AnswerData(device::CMD_DSP, sub, device::OP_GET, std::move(data));
    }
    void Set(uint8_t sub, std::vector<uint8_t> data) {
        EXPECT_EQ(AnswerData(device::CMD_DSP, sub, device::OP_SET, std::move(data)),
                  std::vector<uint8_t>({device::ACK_READY}));
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
            if (operation == device::OP_SET) {
                EXPECT_EQ(answer[6], device::ACK_READY) << "a setting is always taken";
            }
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

TEST_F(AmplifierProtocolTest, AnImmediateSaveKeepsWhatWasSentToTheSceneItself) {
    Exchange(device::CMD_DSP, 0x04, device::OP_SET, {1});  // the working state muted
    // Trim of output 4 sent to scene 3 only: attenuation 7.
    Exchange(device::CMD_DSP, 0x08, device::OP_SET, {3, 0, 4, 4, 7});
    auto saved = Exchange(device::CMD_FLASH, 0x08, device::OP_SET, {3, 1});
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(saved[0][6], device::ACK_READY);
    EXPECT_EQ(mProtocol->State(3).channels[4].trimAttenuation, 7);
    EXPECT_EQ(mProtocol->State(3).mute, 0);  // not the working state's
    EXPECT_EQ(mProtocol->State(0).channels[4].trimAttenuation, 0);
    EXPECT_EQ(mProtocol->ValidMask(), 1 << 2);
    EXPECT_EQ(mProtocol->CurrentSceneId(), 0);
}

// What the amplifier keeps and reports, as bytes: each setting in the host's
// encoding, each report in the layout the link decodes (written out here by
// hand, independent of the link's decoders).
using Bytes = std::vector<uint8_t>;

TEST_F(AmplifierProtocolTest, MainVolumeIsReportedInDbBelowItsTop) {
    Set(0x02, {20});                          // an attenuation of 20 below +6 dB
    EXPECT_EQ(Get(0x02, {}), Bytes({0xF2}));  // -14 dB
}

TEST_F(AmplifierProtocolTest, CrossoverSectionsByFilterIndex) {
    Set(0x05, {0, 0, 2, 1, 2, 0x0F, 0xA0, 4});  // channel 2 low-pass: type 2, 4000 Hz, slope 4
    Set(0x05, {0, 0, 2, 2, 3, 0x00, 0x50, 3});  // channel 2 high-pass: type 3, 80 Hz, slope 3
    // clang-format off
    EXPECT_EQ(Get(0x05, {0, 0, 2, 2}), Bytes({0, 0, 2, 2,            // scene, source, channel 2
                                              3, 0x00, 0x50, 3,      // high-pass first
                                              2, 0x0F, 0xA0, 4}));   // then low-pass
    // clang-format on
}

TEST_F(AmplifierProtocolTest, EqBandQTenthsComeBackAsHundredths) {
    Set(0x06, {0, 0, 1, 5, 0x03, 0xE8, 1, 4, 0x2E, 7});  // Q 1.4, type 1, gain 14.7 - 18
    // clang-format off
    EXPECT_EQ(Get(0x06, {0, 0, 1, 5, 5}), Bytes({0, 0, 1, 5, 5,        // scene, source, channel, bands 5..5
                                                 0x03, 0xE8,           // 1000 Hz
                                                 1, 40,                // Q 1 and 40 hundredths
                                                 0x2E, 7}));           // gain byte, tenths
    // clang-format on
}

TEST_F(AmplifierProtocolTest, DelayTrimAndMixerMasks) {
    Set(0x07, {0, 0, 2, 2, 0x0C, 0x01, 0x2C});  // 12 ms and 300 thousandths
    EXPECT_EQ(Get(0x07, {0, 0, 2, 2}), Bytes({0, 0, 2, 2, 0x0C, 0x01, 0x2C}));
    Set(0x08, {0, 0, 4, 4, 3});                                     // attenuation 3
    EXPECT_EQ(Get(0x08, {0, 0, 4, 4}), Bytes({0, 0, 4, 4, 0xFD}));  // -3 dB
    Set(0x0B, {0, 4, 0, 1, 0x03, 0x01, 0x00, 0x02});  // ten inputs: two mask bytes per output
    EXPECT_EQ(Get(0x0B, {0, 4, 0, 1}), Bytes({0, 4, 0, 1, 0x03, 0x01, 0x00, 0x02}));
}

TEST_F(AmplifierProtocolTest, LinkPairsArePackedIntoNibbles) {
    Set(0x0E, {0, 1, 2, 0, 1, 4, 5});  // link on, pairs 0->1 and 4->5
    // Scene, link, then one byte per output pair of the ten outputs.
    EXPECT_EQ(Get(0x0E, {0}), Bytes({0, 1, 0x01, 0x45, 0, 0, 0}));
}

TEST_F(AmplifierProtocolTest, ScenesNamesAndReadBack) {
    Set(0x04, {1});
    AnswerData(device::CMD_FLASH, 0x08, device::OP_SET, {2, 0});  // save into slot 2
    Set(0x04, {0});
    // (2, 255) frames a read-back: the working state stays.
    AnswerData(device::CMD_FLASH, 0x09, device::OP_SET, {2, 255});
    EXPECT_EQ(Get(0x04, {}), Bytes({0}));
    // Requests addressed to the scene answer from its slot.
    Set(0x08, {0, 0, 4, 4, 9});
    EXPECT_EQ(Get(0x08, {2, 0, 4, 4}), Bytes({2, 0, 4, 4, 0x00}));
    EXPECT_EQ(Get(0x08, {0, 0, 4, 4}), Bytes({0, 0, 4, 4, 0xF7}));
    AnswerData(device::CMD_FLASH, 0x09, device::OP_SET, {2, 0});
    EXPECT_EQ(Get(0x04, {}), Bytes({1}));

    AnswerData(device::CMD_FLASH, 0x0B, device::OP_SET, {3, 4, 'a', 'b', 'c', 'd'});
    Bytes named = {3, 'a', 'b', 'c', 'd'};
    named.resize(17, 0);
    EXPECT_EQ(AnswerData(device::CMD_FLASH, 0x0B, device::OP_GET, {3}), named);
}

TEST_F(AmplifierProtocolTest, KaraokeEchoDelayIsKeptInSixteenBits) {
    AnswerData(device::CMD_KTV, 0x05, device::OP_SET, {0x01, 0x2C});
    EXPECT_EQ(AnswerData(device::CMD_KTV, 0x05, device::OP_GET, {}), Bytes({0x01, 0x2C}));
    EXPECT_EQ(mProtocol->KtvValue(0x05), 300);
}

TEST_F(AmplifierProtocolTest, KaraokeToneGainsAreSignedAndTheOthersUnsignedBytes) {
    AnswerData(device::CMD_KTV, 0x09, device::OP_SET, {0xF4});
    AnswerData(device::CMD_KTV, 0x0A, device::OP_SET, {0x07});
    AnswerData(device::CMD_KTV, 0x01, device::OP_SET, {0xC8});
    EXPECT_EQ(mProtocol->KtvValue(0x09), -12);
    EXPECT_EQ(mProtocol->KtvValue(0x0A), 7);
    EXPECT_EQ(mProtocol->KtvValue(0x01), 200);
    // Reported back in the byte they came in.
    EXPECT_EQ(AnswerData(device::CMD_KTV, 0x09, device::OP_GET, {}), Bytes({0xF4}));
    EXPECT_EQ(AnswerData(device::CMD_KTV, 0x01, device::OP_GET, {}), Bytes({0xC8}));
}

TEST_F(AmplifierProtocolTest, TheUpmixBlockLandsInTheSceneItNamesAndOnlyWhole) {
    Bytes block(52);
    for (size_t i = 1; i < block.size(); ++i) {
        block[i] = static_cast<uint8_t>(i);
    }
    block[0] = 2;
    Set(0x3D, block);
    EXPECT_TRUE(std::equal(block.begin(), block.end(), mProtocol->State(2).csAuto.begin()));
    const auto untouched = mProtocol->State(0).csAuto;
    EXPECT_TRUE(std::all_of(untouched.begin(), untouched.end(), [](uint8_t b) { return b == 0; }));
    // One cut short changes nothing.
    block[0] = 0;
    block.resize(30);
    Set(0x3D, block);
    EXPECT_EQ(mProtocol->State(0).csAuto, untouched);
}

class FineAmplifierProtocolTest : public AmplifierProtocolTest {
protected:
    static virtual_device::ProtocolOptions Fine() {
        virtual_device::ProtocolOptions options;
        options.floatTrim = true;
        options.eqPrecision = true;
        return options;
    }
    FineAmplifierProtocolTest() : AmplifierProtocolTest(Fine()) {}
};

TEST_F(FineAmplifierProtocolTest, TrimHundredthsAndQThousandths) {
    Set(0x08, {0, 0, 0, 0, 3, 50});
    EXPECT_EQ(Get(0x08, {0, 0, 0, 0}), Bytes({0, 0, 0, 0, 3, 50}));
    Set(0x06, {0, 0, 0, 0, 0x03, 0xE8, 1, 0x01, 0x90, 0x0F, 0});  // Q 1 and 400 thousandths
    EXPECT_EQ(Get(0x06, {0, 0, 0, 0, 0}),
              Bytes({0, 0, 0, 0, 0, 0x03, 0xE8, 1, 0x01, 0x90, 0x0F, 0}));
}

TEST_F(AmplifierProtocolTest, EachSourcePlaysAtItsOwnVolume) {
    auto volume = [&] {
        auto answer = Exchange(device::CMD_DSP, 0x02, device::OP_GET, {});
        EXPECT_EQ(answer.size(), 1u);
        return answer.empty() ? 0 : static_cast<int8_t>(answer[0][6]);
    };
    Exchange(device::CMD_DSP, 0x01, device::OP_SET, {85});  // low level
    Exchange(device::CMD_DSP, 0x02, device::OP_SET, {24});  // -18 dB
    Exchange(device::CMD_DSP, 0x01, device::OP_SET, {81});  // optical, not played yet
    EXPECT_EQ(volume(), 0);
    Exchange(device::CMD_DSP, 0x02, device::OP_SET, {36});  // -30 dB
    Exchange(device::CMD_DSP, 0x01, device::OP_SET, {85});
    EXPECT_EQ(volume(), -18);
    EXPECT_EQ(mProtocol->State(0).volumeAttenuation, 24);
    Exchange(device::CMD_DSP, 0x01, device::OP_SET, {81});
    EXPECT_EQ(volume(), -30);
    // A code the device does not know leaves the volume where it is.
    Exchange(device::CMD_DSP, 0x01, device::OP_SET, {120});
    EXPECT_EQ(volume(), -30);
    EXPECT_EQ(mProtocol->State(0).sourceCode, 120);
}

class PacedFlashProtocolTest : public AmplifierProtocolTest {
protected:
    static virtual_device::ProtocolOptions Paced() {
        virtual_device::ProtocolOptions options;
        options.sceneSaveTime = std::chrono::milliseconds(150);
        options.sceneLoadTime = std::chrono::milliseconds(60);
        options.sceneDeleteTime = std::chrono::milliseconds(100);
        return options;
    }
    PacedFlashProtocolTest() : AmplifierProtocolTest(Paced()) {}
    // Sends one command and reads its one answer, however long the device
    // is busy; returns the answer and how long it took.
    std::pair<std::vector<uint8_t>, std::chrono::milliseconds> Timed(uint8_t sub,
                                                                     std::vector<uint8_t> data) {
        device::OutputReport report = device::BuildOutputReport(
            device::CMD_FLASH, sub, device::OP_SET, data.data(), data.size());
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(mDevice->Write(report.data(), report.size()), 65);
        uint8_t buffer[64] = {};
        const int got = mDevice->ReadTimeout(buffer, sizeof buffer, 2000);
        const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - start);
        EXPECT_EQ(got, 64);
        return {std::vector<uint8_t>(buffer, buffer + 64), took};
    }
};

TEST_F(PacedFlashProtocolTest, FlashWorkIsAcknowledgedOnlyOnceTheFlashIsWritten) {
    // Nothing is readable at once: the amplifier is still writing its flash.
    EXPECT_TRUE(Exchange(device::CMD_FLASH, 0x08, device::OP_SET, {4, 0}).empty());
    uint8_t buffer[64];
    EXPECT_EQ(mDevice->ReadTimeout(buffer, sizeof buffer, 1000), 64);
    EXPECT_EQ(buffer[4], 0x08);
    EXPECT_EQ(buffer[6], device::ACK_READY);

    auto [saved, saveTime] = Timed(0x08, {5, 0});
    EXPECT_GE(saveTime.count(), 150);
    EXPECT_EQ(saved[7], 5) << "the acknowledgement names the slot";
    auto [loaded, loadTime] = Timed(0x09, {5, 0});
    EXPECT_GE(loadTime.count(), 60);
    auto [readBack, readBackTime] = Timed(0x09, {5, 255});
    EXPECT_LT(readBackTime.count(), 60) << "a read-back writes no flash";
    auto [deleted, deleteTime] = Timed(0x0A, {5});
    EXPECT_GE(deleteTime.count(), 100);
    EXPECT_EQ(deleted[4], 0x0A);
    EXPECT_EQ(deleted[6], device::ACK_READY);
    EXPECT_EQ(mProtocol->ValidMask(), 1 << 3);
}

TEST_F(PacedFlashProtocolTest, APulledCableLosesTheAcknowledgementItWasWritingFor) {
    EXPECT_TRUE(Exchange(device::CMD_FLASH, 0x08, device::OP_SET, {2, 0}).empty());
    mAmplifier->Unplug();
    uint8_t buffer[64];
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(mDevice->ReadTimeout(buffer, sizeof buffer, 1000), -1);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));
}

TEST_F(AmplifierProtocolTest, DeletingEmptiesTheSlotItsNameAndItsBitAndTakesAnyName) {
    AnswerData(device::CMD_FLASH, 0x08, device::OP_SET, {3, 0});
    AnswerData(device::CMD_FLASH, 0x08, device::OP_SET, {7, 0});
    mProtocol->SetName(3, "Road");
    // The same name for a second slot is taken as it is.
    EXPECT_EQ(AnswerData(device::CMD_FLASH, 0x0B, device::OP_SET, {7, 4, 'R', 'o', 'a', 'd'}),
              Bytes({device::ACK_READY, 7}));
    EXPECT_EQ(mProtocol->Name(7)[0], 'R');
    EXPECT_EQ(mProtocol->ValidMask(), (1 << 2) | (1 << 6));
    EXPECT_EQ(AnswerData(device::CMD_FLASH, 0x0A, device::OP_SET, {3}),
              Bytes({device::ACK_READY, 3}));
    EXPECT_EQ(mProtocol->ValidMask(), 1 << 6);
    Bytes erased = {3};
    erased.resize(17, 0xFF);
    EXPECT_EQ(AnswerData(device::CMD_FLASH, 0x0B, device::OP_GET, {3}), erased);
    EXPECT_EQ(AnswerData(device::CMD_FLASH, 0x0E, device::OP_GET, {}), Bytes({7}))
        << "the last saved scene stays current";
    EXPECT_EQ(AnswerData(device::CMD_FLASH, 0x0A, device::OP_SET, {0}),
              Bytes({device::ACK_NOT_READY, 0}))
        << "the working state is no slot";
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
