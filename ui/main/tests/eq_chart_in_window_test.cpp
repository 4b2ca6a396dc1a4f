// The EQ chart as the main window builds it from its layout: the skin's
// attributes, the window's display scale, and the current output's bands once
// the amplifier is read.
#include <gtest/gtest.h>

#include "app/model_cfg.h"
#include "main_window_fixture.h"
#include "ui/controls/ui_equalizer.h"

namespace ui {
namespace {

using testing::MainWindowTest;

TEST_F(MainWindowTest, TheEqChartTakesItsLookFromTheLayoutAndItsScaleFromTheWindow) {
    ASSERT_TRUE(StartAndSync());
    auto* chart = dynamic_cast<UIEqualizer*>(mWindow->Chart());
    ASSERT_NE(chart, nullptr);
    EXPECT_EQ(static_cast<int>(chart->Palette().size()),
              app::CurrentModelCfg().mOUT_CHANNEL_NUMBER);
    EXPECT_NE(chart->SelectTextColor(), 0xFFFF0000u) << "the skin's colour, not the default";
    EXPECT_EQ(chart->Scale(), 100);
    const model::Profile& profile = mWindow->Manager().WorkingProfile();
    const int output = profile.currOutChannel;
    ASSERT_EQ(chart->BandCount(), profile.bandCount(output));
    EXPECT_EQ(chart->Band(0).freq, profile.eqArray(output)[0].freq);

    ASSERT_TRUE(RestartAt(150));
    chart = dynamic_cast<UIEqualizer*>(mWindow->Chart());
    ASSERT_NE(chart, nullptr);
    EXPECT_EQ(chart->Scale(), 150);
    EXPECT_EQ(chart->width(), 626 * 150 / 100);
    EXPECT_EQ(chart->MarkerBox(0).height(), 24);
}

}  // namespace
}  // namespace ui
