// The input source from the list and the menu, the switch with the read-back
// of the level the device plays it at, and the routing rows of the outputs
// with the first mixer level of an input switched on.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "controller/controller_messages.h"
#include "controller_fixture.h"
#include "device/dsp_subcommands.h"
#include "device/mcu_subcommands.h"

namespace {

using Data = std::vector<uint8_t>;

class Sources : public test_support::ControllerTest {
protected:
    void SetUp() override {
        ControllerTest::SetUp();
        ASSERT_TRUE(ConnectAndSync());
        mDemo.amplifier->ClearReceived();
    }
    size_t VolumeRequests() {
        size_t count = 0;
        for (auto& [sub, data] : DspFrames(device::OP_GET)) {
            count += sub == device::DSP_VOLUME ? 1 : 0;
        }
        return count;
    }
    test_support::FakeControl& Row(int input, int output) {
        return mPage.Get("option_ch_in" + std::to_string(input) + "_" + std::to_string(output));
    }
    // The user ticks or clears a routing option.
    void Route(int input, int output, bool on) {
        Row(input, output).SetSelected(on, false);
        mManager->SetInputIn(input, output);
    }
    // Ticks of GET_MAIN_VOLUME_TIMER until it stops or the count is spent.
    int TickPolls(int most) {
        int ticks = 0;
        while (ticks < most && mPage.TimerRunning(controller::GET_MAIN_VOLUME_TIMER)) {
            mManager->OnMainVolumeTimer();
            ++ticks;
            EXPECT_TRUE(WaitQueueIdle());
            Settle();
        }
        return ticks;
    }
    const model::Profile& Profile() { return mManager->WorkingProfile(); }
};

TEST_F(Sources, TheListOffersTheSourcesWithInputs) {
    test_support::FakeControl& list = mPage.Get("btn_input_source");
    std::vector<std::string> offered;
    for (int i = 0; i < list.ItemCount(); ++i) {
        offered.push_back(list.ItemUserData(i));
    }
    EXPECT_EQ(offered, (std::vector<std::string>{"0", "2", "4", "5", "6"}));
    // The demo amplifier plays the low-level input.
    EXPECT_EQ(list.ItemUserData(list.SelectedIndex()), "4");
    EXPECT_EQ(mPage.Get("btn_source").Text(), "${source_low}");

    list.SelectItem(3, false);  // high level
    mManager->SetInputSource();
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Profile().source, 5);
    EXPECT_EQ(Amp().sourceCode, 86);
    EXPECT_EQ(mPage.Get("btn_source").Text(), "${source_hi}");
}

TEST_F(Sources, RoutingRowsFollowTheSourcesInputs) {
    mManager->SetInputSourceTo(4);
    for (int o = 0; o < 10; ++o) {
        const uint32_t mask = static_cast<uint32_t>(Profile().inputs[4][o]);
        for (int i = 1; i <= 8; ++i) {
            EXPECT_TRUE(Row(i, o).Visible()) << i << "," << o;
            EXPECT_TRUE(Row(i, o).Enabled()) << i << "," << o;
            EXPECT_EQ(Row(i, o).Selected(), (mask >> (i - 1) & 1u) != 0) << i << "," << o;
        }
    }
    mManager->SetInputSourceTo(0);  // optical: two inputs
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Amp().sourceCode, 81);
    EXPECT_EQ(mPage.Get("btn_source").Text(), "${source_opt}");
    for (int o = 0; o < 10; ++o) {
        const uint32_t mask = static_cast<uint32_t>(Profile().inputs[0][o]);
        for (int i = 1; i <= 2; ++i) {
            EXPECT_TRUE(Row(i, o).Visible());
            EXPECT_EQ(Row(i, o).Selected(), (mask >> (i - 1) & 1u) != 0) << i << "," << o;
        }
        for (int i = 3; i <= 8; ++i) {
            EXPECT_FALSE(Row(i, o).Visible()) << i << "," << o;
            EXPECT_FALSE(Row(i, o).Enabled()) << i << "," << o;
            EXPECT_FALSE(Row(i, o).Selected()) << i << "," << o;
        }
    }
    // An unknown source counts as high level.
    mManager->SetInputSourceTo(12);
    EXPECT_EQ(Profile().source, 5);
}

TEST_F(Sources, AfterASwitchTheVolumeIsReadBackUntilTheDeviceTellsIt) {
    // The amplifier plays low level at -12 dB; optical was never played (0 dB).
    mManager->SetInputSourceTo(0);
    EXPECT_TRUE(mPage.TimerRunning(controller::GET_MAIN_VOLUME_TIMER));
    EXPECT_EQ(TickPolls(10), 1);
    EXPECT_FALSE(mPage.TimerRunning(controller::GET_MAIN_VOLUME_TIMER));
    EXPECT_EQ(VolumeRequests(), 1u);
    EXPECT_EQ(mPage.Get("slider_main_volume").Value(), 28);
    EXPECT_EQ(Profile().mainVolume, 28);
    mManager->OnMainVolumeTimer();  // a late tick asks nothing more
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(VolumeRequests(), 1u);

    mManager->SetInputSourceTo(4);
    TickPolls(10);
    EXPECT_EQ(Amp().volumeAttenuation, 18);
    EXPECT_EQ(mPage.Get("slider_main_volume").Value(), 14);
    EXPECT_EQ(mPage.Get("edit_main_volume").Text(), "14");
    EXPECT_TRUE(SetsOf(device::DSP_VOLUME).empty());  // nothing is echoed
}

TEST_F(Sources, WithoutAnAnswerTheVolumeIsAskedTenTimes) {
    // The amplifier acknowledges the request without telling its level.
    mDemo.amplifier->SetHandler(
        device::CMD_DSP, device::DSP_VOLUME,
        [](const virtual_device::HostFrame& frame, virtual_device::Replies& replies) {
            replies.Frame(frame.type, frame.subCommand, device::OP_ACK, {0x0A});
        });
    mManager->SetInputSourceTo(2);
    EXPECT_EQ(TickPolls(20), 11);  // ten requests, and the tick that stops the timer
    EXPECT_EQ(VolumeRequests(), 10u);
    EXPECT_FALSE(mPage.TimerRunning(controller::GET_MAIN_VOLUME_TIMER));
    // A new switch asks ten times again.
    mManager->SetInputSourceTo(4);
    TickPolls(20);
    EXPECT_EQ(VolumeRequests(), 20u);
}

TEST_F(Sources, NothingIsSwitchedWhileDisconnected) {
    mManager->DisconnectDevice();
    mDemo.amplifier->ClearReceived();
    mManager->SetInputSourceTo(0);
    EXPECT_EQ(Profile().source, 0);
    EXPECT_EQ(mPage.Get("btn_source").Text(), "${source_opt}");
    EXPECT_FALSE(mPage.TimerRunning(controller::GET_MAIN_VOLUME_TIMER));
    Settle();
    EXPECT_TRUE(mDemo.amplifier->ReceivedReports().empty());
    EXPECT_EQ(Amp().sourceCode, 85);
}

TEST_F(Sources, TheMenuMarksTheCurrentSourceAndOffersWhatTheModelHas) {
    mManager->SetInputSourceTo(5);
    std::map<std::string, std::unique_ptr<test_support::FakeControl>> items;
    const std::vector<std::string> names = {
        "source_item_opt", "source_item_coax", "source_item_bt",  "source_item_aux",
        "source_item_low", "source_item_hi",   "source_item_dmp", "source_item_udp",
        "source_item_scp", "source_item_a2b"};
    for (const std::string& name : names) {
        items[name] = std::make_unique<test_support::FakeControl>(name);
    }
    items.at("source_item_low")->SetImage("right.png");  // from an earlier opening
    items.at("source_item_low")->SetSelected(true, false);
    mManager->PrepareSourceMenu([&](const std::string& name) -> toolkit::ControlHandle* {
        auto at = items.find(name);
        return at != items.end() ? at->second.get() : nullptr;
    });
    for (const std::string& name : names) {
        const test_support::FakeControl& item = *items.at(name);
        const bool current = name == "source_item_hi";
        EXPECT_EQ(item.mImage, current ? "right.png" : "") << name;
        EXPECT_EQ(item.Selected(), current) << name;
        const bool offered = name == "source_item_opt" || name == "source_item_bt" ||
                             name == "source_item_low" || name == "source_item_hi" ||
                             name == "source_item_dmp";
        EXPECT_EQ(item.Visible(), offered) << name;
    }
}

TEST_F(Sources, SwitchingAnInputOnStartsItsMixerLevelAt100) {
    mManager->SetInputSourceTo(4);
    ASSERT_TRUE(WaitQueueIdle());
    mDemo.amplifier->ClearReceived();
    // An input output 3 does not hear yet, at mixer level 0.
    const uint32_t before = static_cast<uint32_t>(Profile().inputs[4][3]);
    int input = 1;
    while ((before >> (input - 1) & 1u) != 0) {
        ++input;
    }
    ASSERT_LE(input, 8);
    ASSERT_EQ(Profile().inputMixVolume[4][input - 1][3], 0);

    Route(input, 3, true);
    ASSERT_TRUE(WaitQueueIdle());
    const uint32_t after = before | 1u << (input - 1);
    EXPECT_EQ(static_cast<uint32_t>(Profile().inputs[4][3]), after);
    EXPECT_EQ(Amp().sources[4].mixMask[3], after);
    EXPECT_EQ(Profile().inputMixVolume[4][input - 1][3], 100);
    EXPECT_EQ(Amp().sources[4].mixTrim[input - 1][3], 100);
    const Data trim = {0, 4, static_cast<uint8_t>(input - 1), 3, 3, 100};
    EXPECT_EQ(SetsOf(device::DSP_INPUT_MIX_CH_TRIM), std::vector<Data>{trim});

    // Off again: the routing goes, the level stays for the next time.
    mDemo.amplifier->ClearReceived();
    Route(input, 3, false);
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Amp().sources[4].mixMask[3], before);
    EXPECT_EQ(Profile().inputMixVolume[4][input - 1][3], 100);
    EXPECT_TRUE(SetsOf(device::DSP_INPUT_MIX_CH_TRIM).empty());
    EXPECT_EQ(SetsOf(device::DSP_MIX_CH).size(), 1u);

    // On with a level of its own: the level is kept.
    mManager->WorkingProfile().inputMixVolume[4][input - 1][3] = 60;
    Route(input, 3, true);
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Amp().sources[4].mixMask[3], after);
    EXPECT_EQ(Profile().inputMixVolume[4][input - 1][3], 60);
    EXPECT_TRUE(SetsOf(device::DSP_INPUT_MIX_CH_TRIM).empty());
}

TEST_F(Sources, RowsTheSourceDoesNotHaveSendNothing) {
    mManager->SetInputSourceTo(0);  // optical: inputs 1 and 2
    ASSERT_TRUE(WaitQueueIdle());
    mDemo.amplifier->ClearReceived();
    const model::Profile before = Profile();
    Route(3, 1, true);
    Route(0, 1, true);
    Route(1, 10, true);  // no output 10 in this model
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_TRUE(SetsOf(device::DSP_MIX_CH).empty());
    EXPECT_EQ(Profile().inputs[0][1], before.inputs[0][1]);
}

TEST_F(Sources, TheDevicesUsbOptionIsAnsweredAndKeepsTheOfferedSources) {
    mManager->ReadMcuValueCallback(device::MCU_USB_POWER_PIN, 1, nullptr);
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(mDemo.protocol->Mcu().usbPowerOption, 1);
    mManager->ReadMcuValueCallback(device::MCU_USB_POWER_PIN, 0, nullptr);
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(mDemo.protocol->Mcu().usbPowerOption, 0);
    // This model has no USB audio or SCP inputs: the list stays as it was.
    EXPECT_EQ(mPage.Get("btn_input_source").ItemCount(), 5);
    EXPECT_EQ(Profile().source, 4);
}

}  // namespace
