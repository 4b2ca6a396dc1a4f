// Frames out and in: the worked frames byte for byte, and the reassembly of
// the device's byte stream across input reports, garbage and bad frames.
#include <gtest/gtest.h>

#include <vector>

#include "device/dsp_subcommands.h"
#include "device/window_messages.h"
#include "link_fixture.h"
#include "virtual_device/virtual_amplifier.h"

namespace {

using device::CMD_DSP;
using device::OP_UPDATE;
using test_support::LinkFixture;
using virtual_device::EncodeDeviceFrame;

std::vector<uint8_t> Padded(std::vector<uint8_t> head) {
    head.resize(device::kOutputReportSize, 0);
    return head;
}

// A volume report: the smallest frame that posts a message.
std::vector<uint8_t> VolumeReport(int8_t volume) {
    return EncodeDeviceFrame(CMD_DSP, device::DSP_VOLUME, OP_UPDATE,
                             {static_cast<uint8_t>(volume)});
}

class FramingTest : public LinkFixture {
protected:
    FramingTest() {
        mLink.SetFrameTap([this](const device::Frame& frame) { mFrames.push_back(frame); });
    }

    // Reads every report the amplifier holds.
    void ReadAll() {
        uint8_t buffer[device::kOutputReportSize];
        while (mAmplifier->PendingInputReports() > 0) {
            mLink.ReadHIDData(buffer, 100);
        }
    }

    std::vector<intptr_t> PostedVolumes() {
        std::vector<intptr_t> volumes;
        for (const auto& message : mMessages->Take()) {
            if (message.message == device::WM_READ_DSP_VALUE &&
                message.wParam == device::DSP_VOLUME) {
                volumes.push_back(message.lParam);
            }
        }
        return volumes;
    }

    std::vector<device::Frame> mFrames;  // read on this thread only
};

TEST_F(FramingTest, WorkedFramesGoOutByteForByte) {
    mProtocol->SetNormalMode(true);
    mLink.Get_Main_Volume();
    // clang-format off
    EXPECT_EQ(LastReport(), Padded({0x00,        // report id
                                    0xAA, 0x55,  // sync
                                    0x03,        // length
                                    0x01,        // CMD_DSP
                                    0x02,        // DSP_VOLUME
                                    0x66,        // OP_GET
                                    0x94}));     // checksum
    mLink.Hand_Connect();
    EXPECT_EQ(LastReport(), Padded({0x00, 0xAA, 0x55, 0x03,
                                    0x03,        // CMD_MCU
                                    0x08,        // handshake
                                    0xBB,        // OP_SET
                                    0x37}));
    mLink.Main_Volume_Ctrl(-10.0f, true);
    EXPECT_EQ(LastReport(), Padded({0x00, 0xAA, 0x55, 0x04, 0x01, 0x02, 0xBB,
                                    0xF6,        // -10 dB
                                    0x48}));
    // clang-format on
}

TEST_F(FramingTest, RequestsAreLoggedByName) {
    mLink.Get_Main_Volume();
    mLink.Get_Mix_Source2(0, 4, 1);
    mLink.SubmitCommand(CMD_DSP, device::DSP_MIX_TYPE2, device::OP_GET, {}, true, 50);
    mLink.SubmitCommand(CMD_DSP, 0x60, device::OP_GET, {}, true, 50);
    const std::string log = mLog.Text();
    EXPECT_NE(log.find(", DSP_VOLUME\n"), std::string::npos);
    EXPECT_NE(log.find(", DSP_CROSS_SOURCE_MIX\n"), std::string::npos);
    EXPECT_NE(log.find(", DSP_MIX_TYPE2\n"), std::string::npos);
    EXPECT_NE(log.find(", 96\n"), std::string::npos);
}

TEST_F(FramingTest, FrameSplitOverTwoReportsIsDecodedOnce) {
    std::vector<uint8_t> frame = VolumeReport(-7);
    // Sync and length at the end of one report, the rest in the next.
    std::vector<uint8_t> first(61, 0x00);
    first.insert(first.end(), frame.begin(), frame.begin() + 3);
    mAmplifier->SendRawReport(first);
    mAmplifier->SendRawReport({frame.begin() + 3, frame.end()});
    ReadAll();
    EXPECT_EQ(PostedVolumes(), std::vector<intptr_t>({-7}));
}

// The receive ring wraps every 1024 bytes (16 input reports). Split frames
// land with their split at every multiple of 64 bytes in the ring, the wrap
// and its quarters included, and each arrives whole and in order.
TEST_F(FramingTest, SplitFramesSurviveTheRingWrapping) {
    std::vector<intptr_t> expected;
    for (int i = 0; i < 20; ++i) {
        const auto volume = static_cast<int8_t>(i - 10);
        std::vector<uint8_t> frame = VolumeReport(volume);
        std::vector<uint8_t> first(61, 0x00);
        first.insert(first.end(), frame.begin(), frame.begin() + 3);
        mAmplifier->SendRawReport(first);
        mAmplifier->SendRawReport({frame.begin() + 3, frame.end()});
        mAmplifier->SendRawReport({});  // a report of zeros moves the next split on
        expected.push_back(volume);
    }
    ReadAll();
    EXPECT_EQ(PostedVolumes(), expected);
}

TEST_F(FramingTest, TwoFramesInOneReportAreDecodedInOrder) {
    std::vector<uint8_t> report = VolumeReport(3);
    std::vector<uint8_t> second = VolumeReport(-4);
    report.insert(report.end(), second.begin(), second.end());
    mAmplifier->SendRawReport(report);
    ReadAll();
    EXPECT_EQ(PostedVolumes(), std::vector<intptr_t>({3, -4}));
}

TEST_F(FramingTest, BytesBetweenSyncBytesAreSkipped) {
    std::vector<uint8_t> frame = VolumeReport(5);
    frame.insert(frame.begin() + 1, 0x00);  // AA 00 55 ...
    mAmplifier->SendRawReport(frame);
    ReadAll();
    EXPECT_EQ(PostedVolumes(), std::vector<intptr_t>({5}));
}

TEST_F(FramingTest, LongestFrameIsAcceptedAndLongerIsAbandoned) {
    std::vector<uint8_t> longest = EncodeDeviceFrame(CMD_DSP, device::DSP_SOURCE_CONFIG, OP_UPDATE,
                                                     std::vector<uint8_t>(58, 0x01));
    ASSERT_EQ(longest[2], 61);
    // 65 bytes: one more than a report holds.
    mAmplifier->SendRawReport({longest.begin(), longest.begin() + 64});
    mAmplifier->SendRawReport({longest.begin() + 64, longest.end()});
    ReadAll();
    ASSERT_EQ(mFrames.size(), 1u);
    EXPECT_EQ(mFrames[0].length, 61);

    std::vector<uint8_t> tooLong = EncodeDeviceFrame(CMD_DSP, device::DSP_SOURCE_CONFIG, OP_UPDATE,
                                                     std::vector<uint8_t>(59, 0x01));
    ASSERT_EQ(tooLong[2], 62);
    mAmplifier->SendRawReport({tooLong.begin(), tooLong.begin() + 64});
    mAmplifier->SendRawReport({tooLong.begin() + 64, tooLong.end()});
    // The abandoned frame swallows what follows it up to its 64th position;
    // the parser then finds the next frame.
    mAmplifier->SendRawReport(VolumeReport(1));
    ReadAll();
    EXPECT_EQ(mFrames.size(), 2u);
    EXPECT_EQ(PostedVolumes(), std::vector<intptr_t>({1}));
}

TEST_F(FramingTest, BadChecksumDropsTheFrameAndTheNextOneArrives) {
    std::vector<uint8_t> corrupt = VolumeReport(9);
    corrupt.back() ^= 0x01;
    std::vector<uint8_t> report = corrupt;
    std::vector<uint8_t> good = VolumeReport(2);
    report.insert(report.end(), good.begin(), good.end());
    mAmplifier->SendRawReport(report);
    ReadAll();
    EXPECT_EQ(PostedVolumes(), std::vector<intptr_t>({2}));
    EXPECT_TRUE(mLog.Contains("packet_checksum: temp_sum("));
}

TEST_F(FramingTest, FrameTooShortForItsHeaderIsNotDispatched) {
    mAmplifier->SendRawReport(VolumeReport(8));
    // L = 2: a type and one byte; a correct checksum, but no operation byte.
    mAmplifier->SendRawReport({0xAA, 0x55, 0x02, 0x01, 0x02, static_cast<uint8_t>(-(2 + 1 + 2))});
    ReadAll();
    EXPECT_EQ(mFrames.size(), 1u);
    EXPECT_EQ(PostedVolumes(), std::vector<intptr_t>({8}));
}

TEST_F(FramingTest, SplitAnswersWithGarbageStillDecode) {
    mAmplifier->SplitAnswers(true);
    mAmplifier->GarbageBeforeAnswers(true);
    mProtocol->SetState(0, [&] {
        auto state = mProtocol->State(0);
        state.volumeAttenuation = 20;
        return state;
    }());
    // One report is read per request, so the second half arrives with the
    // next read.
    mLink.Get_Main_Volume();
    ReadAll();
    EXPECT_EQ(PostedVolumes(), std::vector<intptr_t>({-14}));
}

}  // namespace
