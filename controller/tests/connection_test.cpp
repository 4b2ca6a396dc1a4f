// Connecting to the amplifier, the first synchronisation, device names and
// nicknames, faults on the way in.
#include <gtest/gtest.h>

#include "app/settings.h"
#include "controller/controller_messages.h"
#include "controller_fixture.h"
#include "device/dsp_subcommands.h"
#include "model/device_names.h"
#include "model/units.h"

namespace {

using test_support::ControllerTest;

TEST_F(ControllerTest, ConnectingReadsTheWholeDeviceStateIntoProfileAndView) {
    ASSERT_TRUE(ConnectAndSync());
    const model::Profile& profile = mManager->WorkingProfile();

    EXPECT_EQ(profile.deviceModel, 94);
    EXPECT_EQ(profile.fwMainVersion, 1);
    EXPECT_EQ(profile.fwSlaveVersion, 32);
    // The demo tune: rear and centre 3 dB down, fronts 1.25 ms late, a dip
    // at band 13 of the fronts, the volume at -12 dB.
    EXPECT_FLOAT_EQ(profile.channels[4].gain, -3.0f);
    EXPECT_FLOAT_EQ(profile.channels[0].gain, 0.0f);
    EXPECT_NEAR(profile.channels[0].delay, 1.25f, 1e-4);
    EXPECT_NEAR(profile.channels[9].delay, 2.0f, 1e-4);
    EXPECT_FLOAT_EQ(profile.eqArray(0)[13].eqGain, -3.0f);
    EXPECT_FLOAT_EQ(profile.eqArray(0)[4].eqGain, 2.5f);
    EXPECT_FALSE(profile.channels[0].bypass);
    EXPECT_EQ(profile.mainVolume, 14);  // 10^((-12 + 60) / 41.25) = 14.6
    const virtual_device::AmplifierState amp = Amp();
    for (int c = 0; c < 10; ++c) {
        EXPECT_EQ(profile.outputs[c], amp.channels[c].type) << "output " << c;
        EXPECT_EQ(profile.channels[c].crossover.hp.fs, amp.channels[c].highPass.frequency);
    }
    EXPECT_EQ(mManager->SceneValidMask(), 0x0003u);
    EXPECT_EQ(mManager->SceneName(0), u"Daily");
    EXPECT_EQ(mManager->SceneName(1), u"Bass Bo");  // a slot keeps seven characters

    EXPECT_EQ(mPage.Get("edit_ch_volume_4").Text(), "-3dB");
    EXPECT_EQ(mPage.Get("slider_ch_volume_4").Value(), -30);
    EXPECT_EQ(mPage.Get("edit_ch_delay_0").Text(), model::formatDelayText(0, 1.25f));
    EXPECT_EQ(mPage.Get("slider_main_volume").Value(), 14);
    EXPECT_EQ(mPage.Get("btnConnect").Text(), "${btn_connected}");
    EXPECT_TRUE(mPage.Get("btnConnect").Selected());
    EXPECT_EQ(mPage.Get("btnConnect").TextColor(), 0xFFFFFFFFu);
    EXPECT_TRUE(mManager->Link().IsCmdCtrlEnabled());
    EXPECT_EQ(mUi.mLoadingShown, 1);
    EXPECT_TRUE(mUi.mMessages.empty());
}

TEST_F(ControllerTest, TheFirstSynchronisationSendsNothingBack) {
    ASSERT_TRUE(ConnectAndSync());
    Settle();
    EXPECT_TRUE(DspFrames(device::OP_SET).empty());
    EXPECT_GT(DspFrames(device::OP_GET).size(), 100u);
}

TEST_F(ControllerTest, ClickingConnectWhileConnectedDisconnects) {
    ASSERT_TRUE(ConnectAndSync());
    mManager->ConnectDevice(true);
    EXPECT_FALSE(mManager->Link().IsConnected());
    EXPECT_EQ(mPage.Get("btnConnect").Text(), "${btn_disconnected}");
    EXPECT_EQ(mPage.Get("btnConnect").TextColor(), 0xFFFF0000u);
    EXPECT_EQ(mManager->WorkingProfile().deviceModel, -1);
    // The amplifier was told that the PC lets go.
    auto reports = mDemo.amplifier->ReceivedReports();
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.back()[5], 0x1F);
    EXPECT_EQ(reports.back()[7], 0x00);
}

TEST_F(ControllerTest, WithoutADeviceOnlyAUserConnectTellsTheUser) {
    mDemo.amplifier->Unplug();
    mManager->UpdateDeviceList();
    mManager->SelectFirstDevice();
    EXPECT_TRUE(mManager->SelectedPath().empty());
    mManager->ConnectDevice(false);
    EXPECT_TRUE(mUi.mMessages.empty());
    mManager->ConnectDevice(true);
    ASSERT_EQ(mUi.mMessages.size(), 1u);
    EXPECT_EQ(mUi.mMessages[0], "${tips}|${device_connect_fail}");
    EXPECT_EQ(mPage.Get("btnConnect").Text(), "${btn_disconnected}");
}

TEST_F(ControllerTest, ADeviceInUpgradeModeIsNotReadParameterByParameter) {
    mDemo.protocol->SetNormalMode(false);
    mManager->UpdateDeviceList();
    mManager->SelectFirstDevice();
    mManager->ConnectDevice(false);
    ASSERT_TRUE(Pump([&] { return mUi.mLoadingHidden > 0; }, std::chrono::seconds(5)));
    Settle();
    EXPECT_TRUE(DspFrames(device::OP_GET).empty());
    ASSERT_FALSE(mUi.mMessages.empty());
    EXPECT_EQ(mUi.mMessages[0], "${tips}|${device_status_unnormal}");
    EXPECT_FALSE(mManager->IsSynchronised());
}

TEST_F(ControllerTest, ANeverAnsweredHandshakeFailsTheConnection) {
    mDemo.amplifier->DropAnswers(2);  // PC_Connect (never answered) and the handshake
    mManager->UpdateDeviceList();
    mManager->SelectFirstDevice();
    mManager->ConnectDevice(false);
    // The link waits its full 10 s for the answer, on the worker thread.
    ASSERT_TRUE(Pump([&] { return !mUi.mMessages.empty(); }, std::chrono::seconds(20)));
    Settle();
    EXPECT_EQ(mUi.mMessages[0], "${tips}|${device_connect_fail}");
    EXPECT_FALSE(mManager->Link().IsConnected());
    EXPECT_EQ(mManager->WorkingProfile().deviceModel, -1);
    EXPECT_TRUE(DspFrames(device::OP_GET).empty());
}

TEST_F(ControllerTest, AnOlderFirmwareAsksForTheForcedUpdateAndANewerOneTells) {
    virtual_device::ProtocolOptions older;
    older.slaveVersion = 31;
    auto oldAmp = std::make_shared<virtual_device::VirtualAmplifier>(L"OLD");
    virtual_device::AmplifierProtocol::InstallOn(oldAmp, older);
    mDemo.amplifier->Unplug();
    mBackend->Add(oldAmp);
    mUi.mAnswers = {false};  // the update is declined
    ASSERT_TRUE(ConnectAndSync());
    Settle();
    ASSERT_FALSE(mUi.mAsked.empty());
    EXPECT_EQ(mUi.mAsked.back(), "${tips}|device 1.31 older than 1.32, update?");
    EXPECT_TRUE(mUi.mForceUpdateWindows.empty());
    mManager->DisconnectDevice();

    virtual_device::ProtocolOptions newer;
    newer.masterVersion = 2;
    newer.slaveVersion = 0;
    auto newAmp = std::make_shared<virtual_device::VirtualAmplifier>(L"NEW");
    virtual_device::AmplifierProtocol::InstallOn(newAmp, newer);
    oldAmp->Unplug();
    mBackend->Add(newAmp);
    mUi.mMessages.clear();
    ASSERT_TRUE(ConnectAndSync());
    ASSERT_EQ(mUi.mMessages.size(), 1u);
    EXPECT_EQ(mUi.mMessages[0], "${tips}|device 2.0 newer than 1.32");
}

TEST_F(ControllerTest, PullingTheCableDuringTheSynchronisationNeitherCrashesNorHangs) {
    mDemo.amplifier->UnplugAtReport(40);
    mManager->UpdateDeviceList();
    mManager->SelectFirstDevice();
    mManager->ConnectDevice(false);
    ASSERT_TRUE(Pump([&] { return mUi.mLoadingHidden > 0; }, std::chrono::seconds(15)));
    mManager->DevicePlugOut(mPath);
    Settle();
    EXPECT_FALSE(mManager->Link().IsConnected());
    EXPECT_FALSE(mManager->IsSynchronised());
    ASSERT_FALSE(mUi.mMessages.empty());
    EXPECT_EQ(mUi.mMessages.back(), "${tips}|AMP-A was unplugged");

    // Plugged back in: connects again and shows the device's state.
    mDemo.amplifier->Plug();
    const int hidden = mUi.mLoadingHidden;
    mManager->DevicePlugin(mPath);
    ASSERT_TRUE(Pump([&] { return mManager->IsSynchronised() && mUi.mLoadingHidden > hidden; }));
    EXPECT_FLOAT_EQ(mManager->WorkingProfile().channels[4].gain, -3.0f);
    EXPECT_EQ(mPage.Get("edit_ch_volume_4").Text(), "-3dB");
}

TEST_F(ControllerTest, UnpluggingADeviceThatIsNotConnectedOnlyRefreshesTheList) {
    auto other = virtual_device::MakeDemoAmplifier(L"AMP-B");
    std::string otherPath = mBackend->Add(other.amplifier);
    ASSERT_TRUE(ConnectAndSync());
    other.amplifier->Unplug();
    mManager->DevicePlugOut(otherPath);
    EXPECT_TRUE(mManager->Link().IsConnected());
    EXPECT_EQ(mManager->DevicePaths().size(), 1u);
    EXPECT_TRUE(mUi.mMessages.empty());
}

TEST_F(ControllerTest, SwitchingDevicesKeepsEachDevicesTuneForTheSession) {
    auto other = virtual_device::MakeDemoAmplifier(L"AMP-B");
    mBackend->Add(other.amplifier);
    ASSERT_TRUE(ConnectAndSync());
    ASSERT_EQ(mManager->DeviceNames(), (std::vector<std::string>{"AMP-A", "AMP-B"}));
    mPage.Get("slider_ch_volume_2").SetValue(-70);
    mManager->SetChVolumeSlider(2, false, false, true);

    mPage.Get("btn_devices").SelectItem(1, false);
    mManager->SetDevice();
    ASSERT_TRUE(Pump([&] { return mManager->IsSynchronised() && mUi.mLoadingHidden >= 2; }));
    EXPECT_EQ(mManager->SelectedName(), "AMP-B");
    EXPECT_TRUE(mManager->HasCachedProfile("AMP-A"));
    EXPECT_FLOAT_EQ(mManager->WorkingProfile().channels[2].gain, 0.0f);

    const size_t requestsBefore = DspFrames(device::OP_GET).size();
    mPage.Get("btn_devices").SelectItem(0, false);
    mManager->SetDevice();
    ASSERT_TRUE(Pump([&] { return mManager->IsSynchronised() && mUi.mLoadingHidden >= 3; }));
    // Back on A: shown from the kept tune, without reading the device.
    EXPECT_EQ(DspFrames(device::OP_GET).size(), requestsBefore);
    EXPECT_FLOAT_EQ(mManager->WorkingProfile().channels[2].gain, -7.0f);
    EXPECT_EQ(mPage.Get("edit_ch_volume_2").Text(), "-7dB");
}

TEST_F(ControllerTest, ABlankNicknameFallsBackToTheDeviceName) {
    mManager->UpdateDeviceList();
    mManager->SelectFirstDevice();
    mManager->EditDeviceName();
    EXPECT_TRUE(mPage.Get("edit_device_name").Visible());
    EXPECT_FALSE(mPage.Get("btn_devices").Visible());
    EXPECT_EQ(mPage.Get("edit_device_name").Text(), "AMP-A");

    mPage.Get("edit_device_name").SetText("  Blue van  ");
    mManager->CommitDeviceName();
    Settle();
    const std::string key = model::DeviceKeyOf("AMP-A");
    EXPECT_EQ(app::ReadSettingString("DeviceNickNames", key, ""), "Blue van");
    EXPECT_EQ(app::ReadSettingString("DeviceMappings", key, ""), "AMP-A|Blue van");
    EXPECT_EQ(mPage.Get("btn_devices").ItemText(0), "Blue van");
    EXPECT_FALSE(mPage.Get("edit_device_name").Visible());
    EXPECT_TRUE(mPage.Get("btn_devices").Visible());

    mManager->EditDeviceName();
    mPage.Get("edit_device_name").SetText("   ");
    mManager->CommitDeviceName();
    EXPECT_EQ(app::ReadSettingString("DeviceNickNames", key, ""), "AMP-A");
    // The list is read with the nicknames next time.
    mManager->UpdateDeviceList();
    EXPECT_EQ(mManager->DeviceNickNames()[0], "AMP-A");
}

}  // namespace
