// The transport of the device link against the virtual amplifier: opening,
// refusing, writing, reading, and surviving a pulled cable.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <thread>
#include <vector>

#include "device/device_link.h"
#include "device/packet.h"
#include "log_capture.h"
#include "virtual_device/virtual_amplifier.h"
#include "virtual_device/virtual_hid_backend.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using virtual_device::VirtualAmplifier;
using virtual_device::VirtualHidBackend;

// The frame of Get_Main_Volume: a small, known report to write.
std::vector<uint8_t> SampleReport() {
    device::OutputReport report =
        device::BuildOutputReport(device::CMD_DSP, 0x02, device::OP_GET, nullptr, 0);
    return {report.begin(), report.end()};
}

long ElapsedMs(Clock::time_point since) {
    return static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count());
}

class TransportTest : public ::testing::Test {
protected:
    TransportTest() {
        mBackend->Add(mFirst);
        mBackend->Add(mSecond);
    }

    test_support::LogCapture mLog;
    std::shared_ptr<VirtualHidBackend> mBackend = std::make_shared<VirtualHidBackend>();
    std::shared_ptr<VirtualAmplifier> mFirst = std::make_shared<VirtualAmplifier>(L"AMP-0001");
    std::shared_ptr<VirtualAmplifier> mSecond = std::make_shared<VirtualAmplifier>(L"AMP-0002");
    device::DeviceLink mLink{mBackend};
    std::vector<uint8_t> mReport = SampleReport();
};

TEST_F(TransportTest, EmptyPathOpensTheFirstAmplifier) {
    mLink.OpenHIDDevice("");
    ASSERT_TRUE(mLink.IsConnected());
    ASSERT_TRUE(mLink.WriteReport(mReport.data()));
    ASSERT_EQ(mFirst->ReceivedCount(), 1u);
    EXPECT_EQ(mSecond->ReceivedCount(), 0u);
    EXPECT_EQ(mFirst->ReceivedReports()[0], mReport);
    EXPECT_TRUE(mLog.Contains("auto open device \n"));
    EXPECT_TRUE(mLog.Contains("Manufacturer String: TQ Audio\n"));
    EXPECT_TRUE(mLog.Contains("Product String: TQ DSP Amplifier\n"));
    EXPECT_TRUE(mLog.Contains("Serial Number String: (65) AMP-0001\n"));
    EXPECT_TRUE(mLog.Contains("set WRITE_ROPRT = TRUE\n"));
    EXPECT_TRUE(mLog.Contains("write data ok! HidDeviceObject = "));
}

TEST_F(TransportTest, PathOpensThatAmplifier) {
    mLink.OpenHIDDevice("virtual:1");
    ASSERT_TRUE(mLink.IsConnected());
    ASSERT_TRUE(mLink.WriteReport(mReport.data()));
    EXPECT_EQ(mFirst->ReceivedCount(), 0u);
    EXPECT_EQ(mSecond->ReceivedCount(), 1u);
    EXPECT_TRUE(mLog.Contains("open device virtual:1\n"));
    EXPECT_TRUE(mLog.Contains("Serial Number String: (65) AMP-0002\n"));
}

TEST_F(TransportTest, PathThatIsGoneLeavesTheLinkClosed) {
    mFirst->Unplug();
    for (const char* path : {"virtual:0", "virtual:9", "/dev/hidraw-that-is-not-there"}) {
        mLink.OpenHIDDevice(path);
        EXPECT_FALSE(mLink.IsConnected()) << path;
    }
    EXPECT_TRUE(mLog.Contains("unable to open device\n"));
    // With the first one pulled, an empty path finds the second.
    mLink.OpenHIDDevice("");
    ASSERT_TRUE(mLink.IsConnected());
    ASSERT_TRUE(mLink.WriteReport(mReport.data()));
    EXPECT_EQ(mSecond->ReceivedCount(), 1u);
}

TEST_F(TransportTest, ThreeFailedStringReadsRefuseTheDevice) {
    for (unsigned mask : {0b0111u, 0b1110u, 0b1011u, 0b1111u}) {
        mFirst->FailStringReads(mask);
        mLink.OpenHIDDevice("virtual:0");
        EXPECT_FALSE(mLink.IsConnected()) << "mask " << mask;
    }
    EXPECT_TRUE(mLog.Contains("read HID info error, unable open device correctly\n"));
    EXPECT_TRUE(mLog.Contains("Unable to read manufacturer string\n"));
    EXPECT_TRUE(mLog.Contains("Unable to read serial number string\n"));
}

TEST_F(TransportTest, OneOrTwoFailedStringReadsAreTolerated) {
    // hidraw cannot read indexed string 1; that alone must not refuse a device.
    mFirst->FailStringReads(0b1000u);
    mLink.OpenHIDDevice("virtual:0");
    EXPECT_TRUE(mLink.IsConnected());
    EXPECT_TRUE(mLog.Contains("Unable to read indexed string 1\n"));
    mLink.CloseHIDDevice(false);

    mFirst->FailStringReads(0b0011u);
    mLink.OpenHIDDevice("virtual:0");
    EXPECT_TRUE(mLink.IsConnected());
}

TEST_F(TransportTest, AWriteStuckBehindAnotherWriterGivesUpAfterTwoSeconds) {
    mLink.OpenHIDDevice("virtual:0");
    ASSERT_TRUE(mLink.IsConnected());
    mFirst->SetStalled(true);
    auto stuck = std::async(std::launch::async, [&] { return mLink.WriteReport(mReport.data()); });
    ASSERT_TRUE(mFirst->WaitForStalledWrites(1, 30s));  // the first writer holds the link

    Clock::time_point start = Clock::now();
    EXPECT_FALSE(mLink.WriteReport(mReport.data()));
    long waited = ElapsedMs(start);
    EXPECT_GE(waited, 1900);
    EXPECT_LT(waited, 6000);
    EXPECT_TRUE(mLog.Contains("time out, break out send cmd!\n"));

    mFirst->SetStalled(false);
    EXPECT_TRUE(stuck.get());
    EXPECT_EQ(mFirst->ReceivedCount(), 1u);  // the second report never went out
}

TEST_F(TransportTest, AWaitingWriterLeavesWhenTheLinkIsClosed) {
    mLink.OpenHIDDevice("virtual:0");
    mFirst->SetStalled(true);
    auto stuck = std::async(std::launch::async, [&] { return mLink.WriteReport(mReport.data()); });
    ASSERT_TRUE(mFirst->WaitForStalledWrites(1, 30s));
    auto waiting =
        std::async(std::launch::async, [&] { return mLink.WriteReport(mReport.data()); });
    // The second writer waits inside the link, where nothing tells when it
    // got there: a moment lets it; without it the close is checked alone.
    std::this_thread::sleep_for(100ms);
    Clock::time_point start = Clock::now();
    mLink.CloseHIDDevice(false);
    EXPECT_FALSE(waiting.get());
    EXPECT_LT(ElapsedMs(start), 1500);
    EXPECT_TRUE(mLog.Contains("mHidHandle is NULL, break out send cmd!\n"));
    mFirst->Unplug();  // the stalled write fails once the cable is gone
    EXPECT_FALSE(stuck.get());
}

TEST_F(TransportTest, ReadOnAClosedLinkReturnsFalseAtOnce) {
    uint8_t buffer[65] = {};
    Clock::time_point start = Clock::now();
    EXPECT_FALSE(mLink.ReadHIDData(buffer, 10000));
    EXPECT_LT(ElapsedMs(start), 500);
    EXPECT_EQ(mLink.BytesRead(), 0);
    EXPECT_TRUE(mLog.Contains("mHidHandle is NULL\n"));
    EXPECT_FALSE(mLink.WriteReport(mReport.data()));
}

TEST_F(TransportTest, AReadThatTimesOutReturnsFalse) {
    mLink.OpenHIDDevice("virtual:0");
    uint8_t buffer[65] = {};
    Clock::time_point start = Clock::now();
    EXPECT_FALSE(mLink.ReadHIDData(buffer, 120));
    EXPECT_GE(ElapsedMs(start), 110);
    EXPECT_EQ(mLink.BytesRead(), 0);
    EXPECT_TRUE(mLog.Contains("ReadHIDData NumberOfBytesRead = 0\n"));
}

TEST_F(TransportTest, AReadDeliversTheDevicesFramesToTheParser) {
    mLink.OpenHIDDevice("virtual:0");
    std::vector<device::Frame> frames;
    mLink.SetFrameTap([&](const device::Frame& frame) { frames.push_back(frame); });
    mFirst->SendFrame(device::CMD_MCU, 0x08, device::OP_UPDATE, {0x01, 94, 1, 32});

    uint8_t buffer[65] = {};
    ASSERT_TRUE(mLink.ReadHIDData(buffer, 1000));
    EXPECT_EQ(mLink.BytesRead(), 64);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].type, device::CMD_MCU);
    EXPECT_EQ(frames[0].subCommand(), 0x08);
    EXPECT_EQ(frames[0].operation(), device::OP_UPDATE);
    ASSERT_EQ(frames[0].dataLength(), 4);
    EXPECT_EQ(frames[0].data()[1], 94);
    EXPECT_TRUE(mLog.Contains("read data: aa 55 07 03 08 dd 01 5e 01 20 "));
    EXPECT_TRUE(mLog.Contains("packet_process: packet_type(CMD_MCU)\n"));
}

TEST_F(TransportTest, UnpluggingDuringAReadNeitherCrashesNorHangs) {
    mLink.OpenHIDDevice("virtual:0");
    uint8_t buffer[65] = {};
    Clock::time_point start = Clock::now();
    auto reading = std::async(std::launch::async, [&] { return mLink.ReadHIDData(buffer, 10000); });
    ASSERT_TRUE(mFirst->WaitForBlockedRead(30s));
    mFirst->Unplug();
    EXPECT_FALSE(reading.get());
    EXPECT_LT(ElapsedMs(start), 2000);
    // The link does not close itself; the next calls fail quickly.
    EXPECT_TRUE(mLink.IsConnected());
    EXPECT_FALSE(mLink.WriteReport(mReport.data()));
    EXPECT_TRUE(mLog.Contains("errot = "));
    start = Clock::now();
    EXPECT_FALSE(mLink.ReadHIDData(buffer, 10000));
    EXPECT_LT(ElapsedMs(start), 2000);
    mLink.CloseHIDDevice(true);  // the farewell report fails quietly
    EXPECT_FALSE(mLink.IsConnected());
}

TEST_F(TransportTest, UnpluggingDuringAWriteNeitherCrashesNorHangs) {
    mLink.OpenHIDDevice("virtual:0");
    mFirst->SetStalled(true);
    auto writing =
        std::async(std::launch::async, [&] { return mLink.WriteReport(mReport.data()); });
    ASSERT_TRUE(mFirst->WaitForStalledWrites(1, 30s));
    mFirst->Unplug();
    EXPECT_FALSE(writing.get());

    // Pulled at the very report being written.
    mFirst->Plug();
    mLink.CloseHIDDevice(false);
    mLink.OpenHIDDevice("virtual:0");
    ASSERT_TRUE(mLink.IsConnected());
    mFirst->UnplugAtReport(2);
    EXPECT_TRUE(mLink.WriteReport(mReport.data()));
    EXPECT_FALSE(mLink.WriteReport(mReport.data()));
    EXPECT_FALSE(mFirst->IsPlugged());
}

TEST_F(TransportTest, ClosingWhileAReadWaitsEndsTheReadPromptly) {
    mLink.OpenHIDDevice("virtual:0");
    uint8_t buffer[65] = {};
    Clock::time_point start = Clock::now();
    auto reading = std::async(std::launch::async, [&] { return mLink.ReadHIDData(buffer, 10000); });
    ASSERT_TRUE(mFirst->WaitForBlockedRead(30s));
    mLink.CloseHIDDevice(false);
    EXPECT_FALSE(reading.get());
    EXPECT_LT(ElapsedMs(start), 2000);
}

TEST_F(TransportTest, ClosingWithNoticeSendsPcConnectZeroFirst) {
    mLink.OpenHIDDevice("virtual:0");
    mLink.CloseHIDDevice(true);
    EXPECT_FALSE(mLink.IsConnected());
    ASSERT_EQ(mFirst->ReceivedCount(), 1u);
    // clang-format off
    const std::vector<uint8_t> expectedStart = {
        0x00,        // report id
        0xAA, 0x55,  // sync
        0x04,        // length: type, sub-command, operation, one data byte
        0x03,        // CMD_MCU
        0x1F,        // PC_Connect
        0xBB,        // OP_SET
        0x00,        // the PC lets go
        0x1F,        // checksum
    };
    // clang-format on
    std::vector<uint8_t> report = mFirst->ReceivedReports()[0];
    ASSERT_EQ(report.size(), 65u);
    EXPECT_EQ(std::vector<uint8_t>(report.begin(), report.begin() + 9), expectedStart);
    EXPECT_EQ(std::vector<uint8_t>(report.begin() + 9, report.end()), std::vector<uint8_t>(56, 0));
    std::string log = mLog.Text();
    EXPECT_LT(log.find("SendCtrlCommand Cmd:0x03, subcmd:0x1f"), log.find("call hid_close\n"));
    EXPECT_NE(log.find("CloseHIDDevice!\n"), std::string::npos);

    // Closing a closed link does nothing at all.
    mLink.CloseHIDDevice(true);
    EXPECT_EQ(mFirst->ReceivedCount(), 1u);
}

TEST_F(TransportTest, ReplugGivesANewDeviceThatOpensAgain) {
    mLink.OpenHIDDevice("virtual:0");
    mFirst->Unplug();
    mFirst->Plug();
    // The old handle stays dead, as with a real re-enumerated device.
    EXPECT_FALSE(mLink.WriteReport(mReport.data()));
    mLink.CloseHIDDevice(false);
    mLink.OpenHIDDevice("virtual:0");
    ASSERT_TRUE(mLink.IsConnected());
    EXPECT_TRUE(mLink.WriteReport(mReport.data()));
}

}  // namespace
