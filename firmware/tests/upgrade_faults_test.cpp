// Updates against the amplifier's own upgrade program, with the cable pulled
// at each stage of each target: the upgrade ends within its waits with the
// right result, the amplifier stays in its upgrade program (or in normal
// operation when nothing reached it), and a second attempt after plugging
// the cable back in completes.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "device/device_link.h"
#include "device/upgrade_commands.h"
#include "firmware/test_images.h"
#include "firmware/tests/image_fixture.h"
#include "firmware/upgrade_session.h"
#include "virtual_device/amplifier_protocol.h"
#include "virtual_device/virtual_amplifier.h"
#include "virtual_device/virtual_hid_backend.h"

namespace firmware_test {
namespace {

using firmware::UpgradeTarget;

enum class Stage { kEnter, kRebootWait, kStart, kBlocks, kFinish };

const char* StageName(Stage stage) {
    switch (stage) {
        case Stage::kEnter:
            return "Enter";
        case Stage::kRebootWait:
            return "RebootWait";
        case Stage::kStart:
            return "Start";
        case Stage::kBlocks:
            return "Blocks";
        case Stage::kFinish:
            return "Finish";
    }
    return "?";
}

const char* TargetName(UpgradeTarget target) {
    switch (target) {
        case UpgradeTarget::UPG_DEVICE_MCU:
            return "Mcu";
        case UpgradeTarget::UPG_DEVICE_MCU_BL:
            return "Bootloader";
        case UpgradeTarget::UPG_DEVICE_FLASH:
            return "Flash";
    }
    return "?";
}

// Images small enough to send many times, with a version the amplifier
// does not have yet.
constexpr size_t kBodyBytes = 1000;
constexpr uint8_t kNewMinor = 40;

struct TargetFiles {
    const char* name;
    uint8_t part;
    int blocks;  // data blocks of a kBodyBytes body
};

TargetFiles FilesOf(UpgradeTarget target) {
    switch (target) {
        case UpgradeTarget::UPG_DEVICE_MCU:
            return {"MCU_UPG.bin", 1, (kBodyBytes + 31) / 32};
        case UpgradeTarget::UPG_DEVICE_MCU_BL:
            return {"BL_UPG.bin", 1, (kBodyBytes + 31) / 32};
        case UpgradeTarget::UPG_DEVICE_FLASH:
            break;
    }
    return {"FLASH_UPG.bin", 2, (kBodyBytes + 49) / 50};
}

firmware::UpgradeTimings FastTimings() {
    firmware::UpgradeTimings timings;
    timings.replyTimeoutMs = 400;
    timings.rebootWaitMs = 300;  // the amplifier is back after 150 ms
    timings.reopenAttempts = 5;
    timings.reopenPauseMs = 50;
    return timings;
}

virtual_device::ProtocolOptions AmplifierOptions() {
    virtual_device::ProtocolOptions options;
    options.upgradeRebootMs = 150;
    options.chipEraseMs = 20;
    return options;
}

class NullObserver final : public firmware::UpgradeObserver {
public:
    void OnStarted(UpgradeTarget) override {}
    void OnProgress(int) override {}
};

class UpgradeFaultsTest : public ImageFileTest,
                          public ::testing::WithParamInterface<std::tuple<UpgradeTarget, Stage>> {
protected:
    UpgradeFaultsTest() {
        mBackend->Add(mAmplifier);
        mLink.SetModelParams(device::ModelParams{kOurModel, 10, 10, false, false, false});
    }

    UpgradeTarget Target() const { return std::get<0>(GetParam()); }
    Stage FaultStage() const { return std::get<1>(GetParam()); }

    // Connects as the program does: open, handshake.
    bool Connect() {
        if (!WaitUntil([this] { return mAmplifier->IsPlugged(); })) {
            return false;
        }
        mLink.CloseHIDDevice(false);
        mLink.OpenHIDDevice("");
        return mLink.IsConnected() && mLink.Hand_Connect();
    }

    static bool WaitUntil(const std::function<bool()>& condition) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!condition()) {
            if (std::chrono::steady_clock::now() > until) {
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
    }

    std::filesystem::path ImageFile() {
        const TargetFiles files = FilesOf(Target());
        firmware::TestImageSpec spec;
        spec.part = files.part;
        spec.fileSize = kBodyBytes + firmware::kImageOverhead;
        spec.versionMajor = Target() == UpgradeTarget::UPG_DEVICE_MCU_BL ? 2 : 1;
        spec.versionMinor = Target() == UpgradeTarget::UPG_DEVICE_MCU_BL ? 3 : kNewMinor;
        return Write(files.name, firmware::MakeTestImage(spec));
    }

    firmware::UpgradeOutcome Run(const std::filesystem::path& path) {
        firmware::UpgradeSession session(
            mLink, firmware::RulesForLink(mLink, false, /*virtual=*/true), FastTimings());
        NullObserver observer;
        return firmware::RunUpgrade(session, path, observer);
    }

    // The output report, counted from the enter command as 1, on whose
    // arrival the cable is pulled.
    int PullAtReport() const {
        const int blocks = FilesOf(Target()).blocks;
        switch (FaultStage()) {
            case Stage::kEnter:
                return 1;
            case Stage::kStart:
                return 2;
            case Stage::kBlocks:
                return 2 + blocks / 2;
            case Stage::kFinish:
                return 2 + blocks + 1;
            case Stage::kRebootWait:
                break;
        }
        return 0;
    }

    bool NewImageInstalled() const {
        switch (Target()) {
            case UpgradeTarget::UPG_DEVICE_MCU:
                return mProtocol->FirmwareVersion() == virtual_device::VersionNumber{1, kNewMinor};
            case UpgradeTarget::UPG_DEVICE_MCU_BL:
                return mProtocol->BootloaderVersion() == virtual_device::VersionNumber{2, 3};
            case UpgradeTarget::UPG_DEVICE_FLASH:
                break;
        }
        return mProtocol->UpgradeCount() == 1;
    }

    std::shared_ptr<virtual_device::VirtualHidBackend> mBackend =
        std::make_shared<virtual_device::VirtualHidBackend>();
    std::shared_ptr<virtual_device::VirtualAmplifier> mAmplifier =
        std::make_shared<virtual_device::VirtualAmplifier>(L"UPG-FAULT");
    std::shared_ptr<virtual_device::AmplifierProtocol> mProtocol =
        virtual_device::AmplifierProtocol::InstallOn(mAmplifier, AmplifierOptions());
    device::DeviceLink mLink{mBackend};
};

TEST_P(UpgradeFaultsTest, APulledCableEndsTheUpgradeAndASecondAttemptCompletes) {
    ASSERT_TRUE(Connect());
    ASSERT_TRUE(mLink.IsMcuNormalMode());
    const std::filesystem::path path = ImageFile();

    std::thread puller;
    if (FaultStage() == Stage::kRebootWait) {
        // The amplifier has left for its upgrade program; the cable comes
        // out before it is back.
        puller = std::thread([this] {
            bool left = WaitUntil([this] { return !mAmplifier->IsPlugged(); });
            if (left) {
                mAmplifier->Unplug();
            }
        });
    } else {
        mAmplifier->UnplugAtReport(PullAtReport());
    }
    const auto began = std::chrono::steady_clock::now();
    const firmware::UpgradeOutcome first = Run(path);
    if (puller.joinable()) {
        puller.join();
    }
    const auto took = std::chrono::steady_clock::now() - began;

    EXPECT_FALSE(first.Succeeded());
    switch (FaultStage()) {
        case Stage::kEnter:
        case Stage::kStart:
            EXPECT_EQ(first.startResult, firmware::UPG_NOT_ENTERED);
            break;
        case Stage::kRebootWait:
            EXPECT_EQ(first.startResult, firmware::UPG_CONNECT_FAIL);
            break;
        case Stage::kBlocks:
        case Stage::kFinish:
            EXPECT_EQ(first.startResult, firmware::UPG_STARTED);
            EXPECT_EQ(first.stepResult, firmware::kUpgradeFailed);
            break;
    }
    // Within the waits: the reboot wait and its reopenings, or one reply time-out.
    EXPECT_LT(took, std::chrono::seconds(5));
    EXPECT_EQ(mLink.UpgradeStatus(), device::UPG_IDLE);
    EXPECT_FALSE(NewImageInstalled());
    // Only an amplifier that took the enter command is in its upgrade program;
    // the running program updates the bootloader itself.
    if (Target() != UpgradeTarget::UPG_DEVICE_MCU_BL) {
        EXPECT_EQ(mProtocol->InUpgradeProgram(), FaultStage() != Stage::kEnter);
    }

    mAmplifier->Plug();
    ASSERT_TRUE(Connect());
    // Restarts to come: into the upgrade program when the amplifier is not
    // there yet, and back into normal operation with the new image.
    const int restarts =
        Target() == UpgradeTarget::UPG_DEVICE_MCU_BL ? 0 : (mLink.IsMcuNormalMode() ? 1 : 0) + 1;
    const uint64_t generation = mAmplifier->Generation();
    const firmware::UpgradeOutcome second = Run(path);
    EXPECT_TRUE(second.Succeeded())
        << "start " << second.startResult << ", step " << static_cast<int>(second.stepResult);
    ASSERT_TRUE(WaitUntil([&] {
        return mAmplifier->IsPlugged() &&
               mAmplifier->Generation() >= generation + 2 * static_cast<uint64_t>(restarts);
    }));
    EXPECT_TRUE(NewImageInstalled());
    EXPECT_FALSE(mProtocol->InUpgradeProgram());
    ASSERT_TRUE(Connect());
    EXPECT_TRUE(mLink.IsMcuNormalMode());
}

std::vector<std::tuple<UpgradeTarget, Stage>> AllFaults() {
    std::vector<std::tuple<UpgradeTarget, Stage>> faults;
    for (UpgradeTarget target : {UpgradeTarget::UPG_DEVICE_MCU, UpgradeTarget::UPG_DEVICE_MCU_BL,
                                 UpgradeTarget::UPG_DEVICE_FLASH}) {
        for (Stage stage :
             {Stage::kEnter, Stage::kRebootWait, Stage::kStart, Stage::kBlocks, Stage::kFinish}) {
            // The bootloader is updated by the running program: no restart.
            if (target == UpgradeTarget::UPG_DEVICE_MCU_BL && stage == Stage::kRebootWait) {
                continue;
            }
            faults.emplace_back(target, stage);
        }
    }
    return faults;
}

INSTANTIATE_TEST_SUITE_P(EveryTargetAndStage, UpgradeFaultsTest, ::testing::ValuesIn(AllFaults()),
                         [](const ::testing::TestParamInfo<UpgradeFaultsTest::ParamType>& info) {
                             return std::string(TargetName(std::get<0>(info.param))) +
                                    StageName(std::get<1>(info.param));
                         });

}  // namespace
}  // namespace firmware_test
