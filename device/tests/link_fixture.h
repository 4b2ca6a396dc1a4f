// A device link connected to a virtual amplifier that runs the amplifier's
// protocol, with the link's messages caught and the model parameters of this
// build (ten outputs, ten mixer inputs, whole-dB trims, tenths of Q).
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "app/model_cfg.h"
#include "device/device_link.h"
#include "log_capture.h"
#include "message_capture.h"
#include "testkit/amplifier_rig.h"
#include "virtual_device/amplifier_protocol.h"
#include "virtual_device/virtual_amplifier.h"
#include "virtual_device/virtual_hid_backend.h"

namespace test_support {

inline constexpr platform::WindowHandle kMainWnd = 0x1001;
inline constexpr platform::WindowHandle kSceneWnd = 0x1002;
inline constexpr platform::WindowHandle kAutoCalWnd = 0x1003;
inline constexpr platform::WindowHandle kNoiseWnd = 0x1004;
inline constexpr platform::WindowHandle kMemWnd = 0x1005;

using testkit::NoReboot;
using testkit::ThisBuildParams;

class LinkFixture : public ::testing::Test {
protected:
    explicit LinkFixture(virtual_device::ProtocolOptions options = {},
                         device::ModelParams params = ThisBuildParams())
        : mProtocol(virtual_device::AmplifierProtocol::InstallOn(mAmplifier, NoReboot(options))) {
        mBackend->Add(mAmplifier);
        mLink.SetModelParams(params);
        mLink.SetMainWnd(kMainWnd);
        mLink.SetSceneWnd(kSceneWnd);
        mLink.SetAutoCalWnd(kAutoCalWnd);
        mLink.SetNoiseWnd(kNoiseWnd);
        mLink.SetMemWnd(kMemWnd);
        mLink.OpenHIDDevice("");
    }

    // The data bytes of the last frame the amplifier received.
    std::vector<uint8_t> LastSentData() const {
        auto reports = mAmplifier->ReceivedReports();
        if (reports.empty()) {
            return {};
        }
        const std::vector<uint8_t>& report = reports.back();
        const size_t length = report[3];
        return {report.begin() + 7, report.begin() + 4 + static_cast<long>(length)};
    }

    // The whole output report last received.
    std::vector<uint8_t> LastReport() const {
        auto reports = mAmplifier->ReceivedReports();
        return reports.empty() ? std::vector<uint8_t>{} : reports.back();
    }

    LogCapture mLog;
    MessageCapture mMessages;
    std::shared_ptr<virtual_device::VirtualHidBackend> mBackend =
        std::make_shared<virtual_device::VirtualHidBackend>();
    std::shared_ptr<virtual_device::VirtualAmplifier> mAmplifier =
        std::make_shared<virtual_device::VirtualAmplifier>(L"AMP-TEST");
    std::shared_ptr<virtual_device::AmplifierProtocol> mProtocol;
    device::DeviceLink mLink{mBackend};
};

}  // namespace test_support
