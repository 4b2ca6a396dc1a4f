// The controller's scene operations and scene jobs against the virtual
// amplifier: the scene menu opens the scene window in its mode; the jobs
// save, load and delete a slot, report to the scene window, and a load
// brings the slot's tune into the profile and the view without sending it
// back.
#include <gtest/gtest.h>

#include <string>

#include "controller_fixture.h"
#include "model/output_type.h"
#include "model/scene_name_codec.h"

namespace {

using controller::SceneWindowMode;

class SceneSlotsTest : public test_support::ControllerTest {
protected:
    void SetUp() override {
        ControllerTest::SetUp();
        ASSERT_TRUE(ConnectAndSync());
        // The jobs report to the scene window; here the test's one window.
        mManager->Link().SetSceneWnd(1);
        mDemo.amplifier->ClearReceived();
    }
    // Runs a job and handles its messages until it hid the loading window.
    bool RunJob(void (controller::EqualizerManager::*start)()) {
        const int hidden = mUi.mLoadingHidden;
        (mManager.get()->*start)();
        return Pump([&] { return mUi.mLoadingHidden > hidden; }, std::chrono::seconds(10));
    }
    std::vector<uint8_t> FlashSubCommands() {
        std::vector<uint8_t> subs;
        for (const auto& report : mDemo.amplifier->ReceivedReports()) {
            if (report[4] == device::CMD_FLASH) {
                subs.push_back(report[5]);
            }
        }
        return subs;
    }
};

TEST_F(SceneSlotsTest, TheSceneMenuOpensTheSceneWindowInEachMode) {
    mManager->LoadSenceConfigFromDSP();
    mManager->SaveSenceConfigToDSP();
    mManager->DeleteDSPSenceConfig();
    EXPECT_EQ(mUi.mSceneWindows,
              (std::vector<SceneWindowMode>{SceneWindowMode::kLoad, SceneWindowMode::kSaveAs,
                                            SceneWindowMode::kDelete}));
}

TEST_F(SceneSlotsTest, LoadingBringsTheSlotsTuneIntoTheProfileAndTheViewAndSendsNothingBack) {
    auto slot = Amp(2);
    slot.channels[0].type = 1;
    slot.channels[5].trimAttenuation = 7;
    slot.channels[8].eq[1].gainByte = 18 + 6;
    mDemo.protocol->SetState(2, slot);
    mManager->SetSceneId(2);
    ASSERT_TRUE(RunJob(&controller::EqualizerManager::StartLoadSenceThread));
    Settle();

    EXPECT_EQ(FlashSubCommands().front(), 0x09);
    EXPECT_EQ(mDemo.protocol->CurrentSceneId(), 2);
    const model::Profile& profile = mManager->WorkingProfile();
    EXPECT_EQ(profile.outputs[0], 1);
    EXPECT_FLOAT_EQ(profile.channels[5].gain, -7.0f);
    EXPECT_FLOAT_EQ(profile.eqBands[8][1].eqGain, 6.0f);
    EXPECT_EQ(mPage.Get("ch_output_btn_0").Text(),
              std::string("${") + model::outputTypeKey(1) + "}");
    EXPECT_TRUE(mPage.Get("speaker_1").Visible());
    EXPECT_EQ(mPage.Get("speaker_1").Text(), "1");
    EXPECT_TRUE(SetsOf(0x04).empty() && SetsOf(0x08).empty() && SetsOf(0x06).empty())
        << "the view's updates went nowhere";
    EXPECT_TRUE(mManager->Link().IsCmdCtrlEnabled()) << "the user's changes go out again";
    mPage.Get("ch_mute_3").SetSelected(true, false);
    mManager->SetChMute(3);
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Amp().channels[3].mute, 1);
}

TEST_F(SceneSlotsTest, SavingStoresTheWorkingStateInTheSlotUnderTheName) {
    auto working = Amp();
    working.channels[2].delayMs = 5;
    mDemo.protocol->SetState(0, working);
    mManager->SetSceneNameToSave(model::SceneNameToBytes(u"Road"));
    mManager->SetSceneId(5);
    ASSERT_TRUE(RunJob(&controller::EqualizerManager::StartSaveSenceThread));
    EXPECT_EQ(FlashSubCommands(), (std::vector<uint8_t>{0x0B, 0x08}));
    EXPECT_EQ(Amp(5).channels[2].delayMs, 5);
    const auto name = mDemo.protocol->Name(5);
    EXPECT_EQ(std::string(name.begin(), name.begin() + 5), std::string("Road\0", 5));
    EXPECT_EQ(mDemo.protocol->ValidMask(), 0x0003 | 1 << 4);
}

TEST_F(SceneSlotsTest, TheJobTakesTheSceneAsItWasWhenItStarted) {
    mManager->SetSceneNameToSave(model::SceneNameToBytes(u"Early"));
    mManager->SetSceneId(7);
    const int hidden = mUi.mLoadingHidden;
    mManager->StartSaveSenceThread();
    mManager->SetSceneId(1);  // a scene report meanwhile
    mManager->SetSceneNameToSave({});
    ASSERT_TRUE(Pump([&] { return mUi.mLoadingHidden > hidden; }, std::chrono::seconds(10)));
    EXPECT_EQ(mDemo.protocol->Name(7)[0], 'E');
    EXPECT_EQ(mDemo.protocol->ValidMask() & (1 << 6), 1 << 6);
    EXPECT_EQ(mDemo.protocol->Name(1)[0], 'D') << "slot 1 untouched";
}

TEST_F(SceneSlotsTest, DeletingErasesTheSlotAndEndsItsLoadingWindow) {
    mManager->SetSceneId(2);
    ASSERT_TRUE(RunJob(&controller::EqualizerManager::StartDeleteSenceThread));
    EXPECT_EQ(FlashSubCommands(), (std::vector<uint8_t>{0x0A}));
    EXPECT_EQ(mDemo.protocol->ValidMask(), 0x0001);
    EXPECT_EQ(mDemo.protocol->Name(2)[0], 0xFF);
}

TEST_F(SceneSlotsTest, APulledCableEndsALoadWithTheQueueClosedAndNoRedraw) {
    mDemo.amplifier->UnplugAtReport(3);  // the load, the handshake's PC control, then gone
    mManager->SetSceneId(2);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(RunJob(&controller::EqualizerManager::StartLoadSenceThread));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_FALSE(mManager->Link().IsCmdCtrlEnabled());
}

TEST_F(SceneSlotsTest, APulledCableEndsASaveAtOnce) {
    mDemo.amplifier->UnplugAtReport(2);
    mManager->SetSceneNameToSave(model::SceneNameToBytes(u"Gone"));
    mManager->SetSceneId(4);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(RunJob(&controller::EqualizerManager::StartSaveSenceThread));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(mDemo.protocol->ValidMask(), 0x0003);
}

}  // namespace
