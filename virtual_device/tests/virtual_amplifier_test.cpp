// The virtual amplifier as the host sees it through the HID seam: identity,
// enumeration, handlers, pacing and injected faults.
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <memory>
#include <thread>
#include <vector>

#include "virtual_device/virtual_amplifier.h"
#include "virtual_device/virtual_hid_backend.h"

namespace {

using namespace std::chrono_literals;
using virtual_device::EncodeDeviceFrame;
using virtual_device::HostFrame;
using virtual_device::Replies;
using virtual_device::VirtualAmplifier;
using virtual_device::VirtualHidBackend;

// A host frame in a 65-byte output report.
std::vector<uint8_t> HostReport(uint8_t type, uint8_t sub, uint8_t op,
                                const std::vector<uint8_t>& data) {
    std::vector<uint8_t> frame = EncodeDeviceFrame(type, sub, op, data);
    std::vector<uint8_t> report(65, 0);
    std::copy(frame.begin(), frame.end(), report.begin() + 1);
    return report;
}

class VirtualAmplifierTest : public ::testing::Test {
protected:
    VirtualAmplifierTest() {
        mPath = mBackend->Add(mAmplifier);
        // An echo handler: answers (1, 0x02) with an update carrying the data.
        mAmplifier->SetHandler(1, 0x02, [](const HostFrame& frame, Replies& replies) {
            replies.Frame(1, 0x02, 0xDD, frame.data);
        });
        mDevice = mBackend->OpenPath(mPath);
    }

    std::vector<uint8_t> Read(int timeoutMs = 1000) {
        std::vector<uint8_t> buffer(64, 0);
        int n = mDevice->ReadTimeout(buffer.data(), buffer.size(), timeoutMs);
        buffer.resize(n > 0 ? static_cast<size_t>(n) : 0);
        return buffer;
    }

    std::shared_ptr<VirtualHidBackend> mBackend = std::make_shared<VirtualHidBackend>();
    std::shared_ptr<VirtualAmplifier> mAmplifier = std::make_shared<VirtualAmplifier>(L"SN-42");
    std::string mPath;
    std::unique_ptr<device::HidDevice> mDevice;
    std::vector<uint8_t> mRequest = HostReport(1, 0x02, 0xBB, {0xF6});
};

TEST_F(VirtualAmplifierTest, IsListedWithTheAmplifiersIdentity) {
    EXPECT_EQ(mPath, "virtual:0");
    auto listed = mBackend->Enumerate(0x0483, 0x5750);
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].path, "virtual:0");
    EXPECT_EQ(listed[0].vendorId, 0x0483);
    EXPECT_EQ(listed[0].productId, 0x5750);
    EXPECT_EQ(listed[0].serialNumber, L"SN-42");
    EXPECT_TRUE(mBackend->Enumerate(0x1234, 0).empty());
    EXPECT_EQ(mBackend->Enumerate(0, 0).size(), 1u);

    wchar_t text[256];
    ASSERT_EQ(mDevice->GetSerialNumberString(text, 256), 0);
    EXPECT_STREQ(text, L"SN-42");
    ASSERT_EQ(mDevice->GetManufacturerString(text, 4), 0);
    EXPECT_STREQ(text, L"TQ ");  // truncated to the buffer, terminated
}

TEST_F(VirtualAmplifierTest, AnswersEachFrameInAWholeInputReport) {
    ASSERT_EQ(mDevice->Write(mRequest.data(), mRequest.size()), 65);
    std::vector<uint8_t> answer = Read();
    ASSERT_EQ(answer.size(), 64u);
    std::vector<uint8_t> expected = EncodeDeviceFrame(1, 0x02, 0xDD, {0xF6});
    expected.resize(64, 0);
    EXPECT_EQ(answer, expected);
    EXPECT_EQ(mAmplifier->ReceivedReports().back(), mRequest);
    EXPECT_TRUE(Read(20).empty());  // exactly one answer
}

TEST_F(VirtualAmplifierTest, CorruptedOrUnhandledFramesAreRecordedButNotAnswered) {
    std::vector<uint8_t> corrupted = mRequest;
    corrupted[8] ^= 0x01;  // checksum
    mDevice->Write(corrupted.data(), corrupted.size());
    std::vector<uint8_t> unhandled = HostReport(3, 0x77, 0xBB, {});
    mDevice->Write(unhandled.data(), unhandled.size());
    EXPECT_EQ(mAmplifier->ReceivedCount(), 2u);
    EXPECT_TRUE(Read(20).empty());
}

TEST_F(VirtualAmplifierTest, DropsTheAnswersItIsToldTo) {
    mAmplifier->DropAnswers(2);
    for (int i = 0; i < 3; ++i) {
        mDevice->Write(mRequest.data(), mRequest.size());
    }
    EXPECT_EQ(mAmplifier->PendingInputReports(), 1u);
}

TEST_F(VirtualAmplifierTest, SplitsAnswersAndPutsGarbageBeforeThem) {
    mAmplifier->SplitAnswers(true);
    mAmplifier->GarbageBeforeAnswers(true);
    mDevice->Write(mRequest.data(), mRequest.size());
    std::vector<uint8_t> first = Read();
    std::vector<uint8_t> second = Read();
    ASSERT_EQ(first.size(), 64u);
    ASSERT_EQ(second.size(), 64u);
    std::vector<uint8_t> frame = EncodeDeviceFrame(1, 0x02, 0xDD, {0xF6});
    // Garbage (5 bytes) + frame (8 bytes), split after 6.
    std::vector<uint8_t> joined(first.begin(), first.begin() + 6);
    joined.insert(joined.end(), second.begin(), second.begin() + 7);
    EXPECT_EQ(std::vector<uint8_t>(joined.begin() + 5, joined.end()), frame);
    EXPECT_EQ(std::find(joined.begin(), joined.begin() + 5, 0xAA), joined.begin() + 5);
}

TEST_F(VirtualAmplifierTest, DelaysAnswersWhenAsked) {
    mAmplifier->DelayAnswers(150ms);
    mDevice->Write(mRequest.data(), mRequest.size());
    EXPECT_TRUE(Read(50).empty());
    EXPECT_EQ(Read(1000).size(), 64u);
}

TEST_F(VirtualAmplifierTest, PacingAllowsOneReportPerMillisecondEachWay) {
    mAmplifier->SetPacing(true);
    const int kRoundTrips = 50;
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kRoundTrips; ++i) {
        mDevice->Write(mRequest.data(), mRequest.size());
        ASSERT_EQ(Read().size(), 64u);
    }
    auto elapsed = std::chrono::steady_clock::now() - start;
    // One frame out and one frame in: never faster than 2 ms a round trip.
    EXPECT_GE(elapsed, kRoundTrips * 2ms);
}

TEST_F(VirtualAmplifierTest, SpontaneousReportsReachTheHost) {
    mAmplifier->SendFrame(3, 0x0B, 0xDD, {1, 2, 3});
    std::vector<uint8_t> report = Read();
    ASSERT_EQ(report.size(), 64u);
    EXPECT_EQ(report[0], 0xAA);
    EXPECT_EQ(report[3], 3);
}

TEST_F(VirtualAmplifierTest, UnplugFailsOpenHandlesAndHidesTheDevice) {
    std::vector<bool> notices;
    mAmplifier->SetPlugListener([&](bool plugged) { notices.push_back(plugged); });
    auto reading = std::async(std::launch::async, [&] { return Read(5000); });
    std::this_thread::sleep_for(50ms);
    mAmplifier->Unplug();
    EXPECT_TRUE(reading.get().empty());
    EXPECT_TRUE(mDevice->IsGone());
    EXPECT_EQ(mDevice->Write(mRequest.data(), mRequest.size()), -1);
    EXPECT_FALSE(mDevice->Error().empty());
    EXPECT_TRUE(mBackend->Enumerate(0x0483, 0x5750).empty());
    EXPECT_EQ(mBackend->OpenPath("virtual:0"), nullptr);

    mAmplifier->Plug();
    EXPECT_TRUE(mDevice->IsGone());  // a new device after re-plugging
    auto fresh = mBackend->OpenPath("virtual:0");
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(fresh->Write(mRequest.data(), mRequest.size()), 65);
    EXPECT_EQ(notices, (std::vector<bool>{false, true}));
}

TEST_F(VirtualAmplifierTest, FailsTheStringReadsItIsToldTo) {
    mAmplifier->FailStringReads(0b0101u);
    wchar_t text[64];
    EXPECT_EQ(mDevice->GetManufacturerString(text, 64), -1);
    EXPECT_EQ(mDevice->GetProductString(text, 64), 0);
    EXPECT_EQ(mDevice->GetSerialNumberString(text, 64), -1);
    EXPECT_EQ(mDevice->GetIndexedString(1, text, 64), 0);
}

TEST_F(VirtualAmplifierTest, MalformedPathsAreRefused) {
    for (const char* path :
         {"virtual:", "virtual:x", "virtual:-1", "virtual:99999999999", "hid:0"}) {
        EXPECT_EQ(mBackend->OpenPath(path), nullptr) << path;
    }
}

}  // namespace
