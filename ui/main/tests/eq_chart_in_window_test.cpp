// The EQ chart as the main window builds it from its layout: the skin's
// attributes, the window's display scale, and the current output's bands once
// the amplifier is read.
#include <gtest/gtest.h>

#include <QMouseEvent>
#include <cmath>
#include <cstdio>

#include "app/model_cfg.h"
#include "main_window_fixture.h"
#include "ui/controls/ui_equalizer.h"

namespace ui {
namespace {

using testing::MainWindowTest;

void Mouse(QWidget& widget, QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(at), QPointF(widget.mapToGlobal(at)), button, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

// The gain the amplifier holds for a band: tenths above -18 dB.
double AmpGain(const virtual_device::EqBandState& band) {
    return ((band.gainByte & 0x1F) * 10 + band.gainTenths) / 10.0 - 18.0;
}

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

TEST_F(MainWindowTest, DraggingABandOnTheChartSetsItsGainOnTheAmplifier) {
    ASSERT_TRUE(StartAndSync());
    auto* chart = dynamic_cast<UIEqualizer*>(mWindow->Chart());
    ASSERT_NE(chart, nullptr);
    constexpr int kBand = 8;
    const QPoint start = chart->BandPoint(kBand);
    Mouse(*chart, QEvent::MouseMove, start, Qt::NoButton);
    EXPECT_EQ(chart->CurrentControlIndex(), kBand);
    Mouse(*chart, QEvent::MouseButtonPress, start, Qt::LeftButton);
    for (int dy = 5; dy <= 30; dy += 5) {
        Mouse(*chart, QEvent::MouseMove, start - QPoint(0, dy), Qt::LeftButton);
        EXPECT_EQ(chart->BandPoint(kBand), start - QPoint(0, dy))
            << "the point stays under the mouse";
    }
    Mouse(*chart, QEvent::MouseButtonRelease, start - QPoint(0, 30), Qt::NoButton);
    ASSERT_TRUE(WaitQueueIdle());
    const float gain = chart->Band(kBand).eqGain;
    EXPECT_GT(gain, 3.5f);
    const model::Profile& profile = mWindow->Manager().WorkingProfile();
    EXPECT_NEAR(profile.eqArray(0)[kBand].eqGain, gain, 0.05);
    EXPECT_NEAR(AmpGain(Amp().channels[0].eq[kBand]), gain, 0.051);
    char shown[16];
    std::snprintf(shown, sizeof shown, "%.1f",
                  static_cast<double>(profile.eqArray(0)[kBand].eqGain));
    EXPECT_EQ(Control("eq_gain_8").Text(), shown);
}

}  // namespace
}  // namespace ui
