// Connection upkeep against the amplifier's protocol: the handshake, PC
// control, the microcontroller's values, the scene flash and the karaoke
// effects, each from the call on the link to the message it posts.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "device/device_records.h"
#include "device/mcu_subcommands.h"
#include "device/window_messages.h"
#include "link_fixture.h"

namespace {

using namespace device;
using test_support::LinkFixture;
using test_support::RecordOf;

class ConnectionTest : public LinkFixture {
protected:
    // The one message the last command posted.
    platform::PostedMessage Only() {
        auto messages = mMessages->Take();
        EXPECT_EQ(messages.size(), 1u);
        return messages.empty() ? platform::PostedMessage{} : std::move(messages[0]);
    }
};

TEST_F(ConnectionTest, HandshakeReportsModelAndVersions) {
    mLink.PC_Connect(1);
    // clang-format off
    EXPECT_EQ(LastSentData(), std::vector<uint8_t>({0x01}));  // the PC takes control
    // clang-format on
    EXPECT_EQ(mAmplifier->PendingInputReports(), 0u) << "PC control is never answered";
    EXPECT_EQ(mLink.ModelId(), -1);
    ASSERT_TRUE(mLink.Hand_Connect());
    EXPECT_EQ(mLink.ModelId(), 94);
    EXPECT_TRUE(mLink.IsMcuNormalMode());
    auto message = Only();
    EXPECT_EQ(message.target, test_support::kMainWnd);
    EXPECT_EQ(message.message, WM_READ_MCU_VALUE);
    EXPECT_EQ(message.wParam, MCU_HANDSHAKE);
    const auto* record = RecordOf<HandshakeRecord>(message);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->model, 94);
    EXPECT_EQ(record->masterVersion, 1);
    EXPECT_EQ(record->slaveVersion, 32);
    EXPECT_TRUE(mLog.Contains("model = 94, master verion = 1, slave verion = 32\n"));
}

TEST_F(ConnectionTest, UpgradeProgramHandshakeLeavesTheModelUnknown) {
    mProtocol->SetNormalMode(false);
    ASSERT_TRUE(mLink.Hand_Connect());
    EXPECT_EQ(mLink.ModelId(), -1);
    EXPECT_FALSE(mLink.IsMcuNormalMode());
    auto message = Only();
    EXPECT_EQ(message.message, WM_DEVICE_STATUS_UNNORMAL);
    EXPECT_EQ(message.wParam, 0u);
}

TEST_F(ConnectionTest, MicrocontrollerValuesAreKeptAndReported) {
    ASSERT_TRUE(mLink.Set_Acc(7, true));
    EXPECT_EQ(LastSentData(), std::vector<uint8_t>({7}));
    ASSERT_TRUE(mLink.Set_Usb_Power_Pin(1, true));
    ASSERT_TRUE(mLink.Set_Power_Off_Time(3000, true));
    EXPECT_EQ(LastSentData(), std::vector<uint8_t>({0x0B, 0xB8}));
    EXPECT_EQ(mProtocol->Mcu().accDelay, 7);
    mMessages->Take();

    ASSERT_TRUE(mLink.Get_Acc());
    auto acc = Only();
    EXPECT_EQ(acc.wParam, MCU_ACC);
    EXPECT_EQ(acc.lParam, 7);
    ASSERT_TRUE(mLink.Get_Usb_Power_Pin());
    EXPECT_EQ(Only().lParam, 1);
    ASSERT_TRUE(mLink.Get_Delay_Power_Off_Time());
    auto delay = Only();
    EXPECT_EQ(delay.wParam, MCU_POWER_OFF_DELAY);
    EXPECT_EQ(delay.lParam, 3000);
}

TEST_F(ConnectionTest, FactoryDefaultResetsEveryState) {
    mLink.Set_Acc(7, true);
    mLink.Mute_Ctrl(1, true);
    mLink.SaveScene(2, 0);
    ASSERT_TRUE(mLink.MCU_Factory_Default_Ctrl());
    EXPECT_EQ(mProtocol->Mcu().accDelay, 0);
    EXPECT_EQ(mProtocol->State(0).mute, 0);
    EXPECT_EQ(mProtocol->ValidMask(), 0);
}

TEST_F(ConnectionTest, SceneSaveNameLoadAndDelete) {
    mLink.Mute_Ctrl(1, true);
    mMessages->Take();
    ASSERT_TRUE(mLink.SaveScene(3, 0));
    auto saved = Only();
    EXPECT_EQ(saved.target, test_support::kSceneWnd);
    EXPECT_EQ(saved.message, WM_READ_FLASH_VALUE);
    EXPECT_EQ(saved.wParam, 3u);
    EXPECT_EQ(mProtocol->ValidMask(), 1 << 2);
    EXPECT_EQ(mProtocol->State(3).mute, 1);

    ASSERT_TRUE(mLink.Get_Scene_Valid());
    auto valid = Only();
    ASSERT_NE(RecordOf<SceneValidRecord>(valid), nullptr);
    EXPECT_EQ(RecordOf<SceneValidRecord>(valid)->mask, 4);

    uint8_t name[16] = {};
    std::memcpy(name, "Evening", 7);
    ASSERT_TRUE(mLink.SetSceneName(3, name, 16));
    mMessages->Take();
    ASSERT_TRUE(mLink.Get_Scene_Name(3));
    auto named = Only();
    EXPECT_EQ(named.wParam, FLASH_SCENE_NAME);
    const auto* record = RecordOf<SceneNameRecord>(named);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->sceneIndex, 2);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(record->name.data())), "Evening");

    mLink.Mute_Ctrl(0, true);
    ASSERT_TRUE(mLink.ReadScene(3, 255));  // read-back: nothing changes
    EXPECT_EQ(mProtocol->State(0).mute, 0);
    ASSERT_TRUE(mLink.ReadScene(3, 0));
    EXPECT_EQ(mProtocol->State(0).mute, 1);
    mMessages->Take();
    ASSERT_TRUE(mLink.Get_Scene_Id());
    auto id = Only();
    EXPECT_EQ(id.message, WM_FLASH_SCENE_ID);
    EXPECT_EQ(id.lParam, 3);

    ASSERT_TRUE(mLink.DeleteScene(3));
    auto deleted = Only();
    EXPECT_EQ(deleted.message, WM_FLASH_SCENE_DELETED);
    EXPECT_EQ(deleted.wParam, 3u);
    EXPECT_EQ(mProtocol->ValidMask(), 0);
    ASSERT_TRUE(mLink.Get_Scene_Name(3));
    auto erased = Only();
    ASSERT_NE(RecordOf<SceneNameRecord>(erased), nullptr);
    EXPECT_EQ(RecordOf<SceneNameRecord>(erased)->name, (std::array<uint8_t, 16>{}))
        << "an erased name arrives empty";
}

TEST_F(ConnectionTest, KaraokeValuesRoundTrip) {
    ASSERT_TRUE(mLink.KTV_Ctrl(KTV_ECHO_DELAY, 300, true));
    EXPECT_EQ(LastSentData(), std::vector<uint8_t>({0x01, 0x2C}));
    ASSERT_TRUE(mLink.KTV_Ctrl(KTV_BASS_GAIN, -5, true));
    ASSERT_TRUE(mLink.KTV_Ctrl(KTV_MIC_VOL, 45, true));
    mMessages->Take();
    ASSERT_TRUE(mLink.KTV_Get(KTV_ECHO_DELAY));
    auto echo = Only();
    EXPECT_EQ(echo.message, WM_READ_KTV_VALUE);
    EXPECT_EQ(echo.wParam, KTV_ECHO_DELAY);
    EXPECT_EQ(echo.lParam, 300);
    ASSERT_TRUE(mLink.KTV_Get(KTV_BASS_GAIN));
    EXPECT_EQ(Only().lParam, -5);
    ASSERT_TRUE(mLink.KTV_Get(KTV_MIC_VOL));
    EXPECT_EQ(Only().lParam, 45);
}

}  // namespace
