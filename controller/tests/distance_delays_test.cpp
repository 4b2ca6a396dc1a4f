// Delays from distances through the controller to the virtual amplifier:
// every output given a delay takes its own, linked outputs do not follow,
// a bridged pair shares one, and the others are neither changed nor sent.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <vector>

#include "controller/distance_settings.h"
#include "controller_fixture.h"
#include "device/dsp_subcommands.h"
#include "model/device_names.h"
#include "model/units.h"

namespace {

class DistanceDelaysTest : public test_support::ControllerTest {
protected:
    void SetUp() override {
        ControllerTest::SetUp();
        ASSERT_TRUE(ConnectAndSync());
        mPage.Get("comb_ch_unit").SelectItem(model::kDelayUnitCm, false);
        mManager->OnDelayUnitChanged();
    }
    void Drain() {
        Settle();
        ASSERT_TRUE(WaitQueueIdle());
    }
    int AmpMicroseconds(int c) {
        return Amp().channels[c].delayMs * 1000 + Amp().channels[c].delayThousandths;
    }
    static int Microseconds(float ms) { return static_cast<int>(std::lround(ms * 1000.0f)); }
    // The outputs whose delay the amplifier was sent since the last clear.
    std::vector<int> DelaysSentTo() {
        std::vector<int> outputs;
        for (const auto& data : SetsOf(device::DSP_DELAY_CH)) {
            outputs.push_back(data[2]);
        }
        return outputs;
    }
    float Delay(int c) { return mManager->WorkingProfile().channels[c].delay; }
};

TEST_F(DistanceDelaysTest, EachOutputTakesItsOwnDelayAndOnlyTheBridgePartnerFollows) {
    mManager->SetLinkGroup(2, 1);
    mManager->SetLinkGroup(5, 1);
    for (int pair : {3, 4}) {  // outputs 6 and 7, 8 and 9
        const int hidden = mUi.mLoadingHidden;
        mManager->ToggleBridge(pair);
        ASSERT_TRUE(Pump([&] { return mUi.mLoadingHidden > hidden && WaitQueueIdle(); }));
    }
    Drain();
    const float untouched0 = Delay(0);
    const float untouched5 = Delay(5);
    mDemo.amplifier->ClearReceived();

    std::vector<std::optional<float>> delays(10);
    delays[2] = 3.0f;  // in the link group with output 5, which has no distance
    delays[3] = 1.0f;
    delays[7] = 4.0f;  // bridged: output 6 follows its upper half
    delays[8] = 2.5f;  // bridged: output 9 follows
    delays[9] = 7.0f;  // ignored: the lower half of the pair decides
    mManager->SetDelaysFromDistances(delays);
    Drain();

    // Stored on the centimetre grid, as a delay typed in centimetres is.
    for (int c : {2, 3, 8}) {
        const float want = model::quantizeDelay(model::kDelayUnitCm, *delays[c]);
        EXPECT_FLOAT_EQ(Delay(c), want) << c;
        EXPECT_EQ(AmpMicroseconds(c), Microseconds(want)) << c;
        EXPECT_EQ(mPage.Get("edit_ch_delay_" + std::to_string(c)).Text(),
                  model::formatDelayText(model::kDelayUnitCm, want))
            << c;
    }
    EXPECT_FLOAT_EQ(Delay(6), model::quantizeDelay(model::kDelayUnitCm, 4.0f));
    EXPECT_FLOAT_EQ(Delay(7), Delay(6));
    EXPECT_EQ(AmpMicroseconds(6), AmpMicroseconds(7));
    EXPECT_FLOAT_EQ(Delay(9), Delay(8));
    EXPECT_EQ(AmpMicroseconds(9), AmpMicroseconds(8));
    EXPECT_FLOAT_EQ(Delay(5), untouched5) << "a link-group member keeps its delay";
    EXPECT_FLOAT_EQ(Delay(0), untouched0);
    EXPECT_EQ(DelaysSentTo(), (std::vector<int>{2, 3, 6, 7, 8, 9}));
}

TEST_F(DistanceDelaysTest, TheDistancesOfAnAmplifierAreKeptApartFromTuningWithoutOne) {
    const std::string section = mManager->DistancesSection();
    EXPECT_EQ(section, model::DeviceKeyOf(mManager->SelectedName()));
    controller::KeepDistances(section, {"250 cm", "", "98.5 in"});
    EXPECT_EQ(controller::ReadKeptDistances(section, 3),
              (std::vector<std::string>{"250 cm", "", "98.5 in"}));

    mManager->DisconnectDevice();
    Settle();
    ASSERT_FALSE(mManager->Link().IsConnected());
    EXPECT_EQ(mManager->DistancesSection(), controller::kNoDeviceDistancesSection);
    EXPECT_EQ(controller::ReadKeptDistances(mManager->DistancesSection(), 3),
              (std::vector<std::string>(3)));
}

}  // namespace
