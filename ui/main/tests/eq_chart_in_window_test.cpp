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
using testing::WaitFor;

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

// A click on a band's point without moving the mouse leaves the band as it
// was, on the chart, in the profile and on the amplifier, even when the
// band's gain lies between two pixels of the chart.
TEST_F(MainWindowTest, ClickingABandPointWithoutMovingKeepsItsGainOnTheAmplifier) {
    ASSERT_TRUE(StartAndSync());
    auto* chart = dynamic_cast<UIEqualizer*>(mWindow->Chart());
    ASSERT_NE(chart, nullptr);
    constexpr int kBand = 8;
    // A gain in tenths, as the amplifier holds it, whose point's pixel is
    // more than half a tenth away: storing the pixel would send another one.
    float gain = 0.0f;
    for (int tenths = -31; tenths >= -99 && gain == 0.0f; --tenths) {
        const float candidate = static_cast<float>(tenths) / 10.0f;
        const int y = static_cast<int>(chart->GainToY(candidate));
        if (std::fabs(chart->YToGain(y) - candidate) > 0.06) {
            gain = candidate;
        }
    }
    ASSERT_NE(gain, 0.0f);
    auto* slider = qobject_cast<QAbstractSlider*>(Control("eq_slider_8").Widget());
    ASSERT_NE(slider, nullptr);
    slider->setSliderDown(true);
    slider->setValue(static_cast<int>(std::lround(gain * 10.0f)));
    slider->setSliderDown(false);
    ASSERT_TRUE(WaitQueueIdle());
    Idle();
    ASSERT_TRUE(WaitQueueIdle());
    ASSERT_NEAR(AmpGain(Amp().channels[0].eq[kBand]), gain, 0.001);
    const model::Profile& profile = mWindow->Manager().WorkingProfile();
    const model::EqBand stored = profile.eqArray(0)[kBand];
    ASSERT_EQ(chart->Band(kBand).eqGain, stored.eqGain);
    const virtual_device::EqBandState before = Amp().channels[0].eq[kBand];

    const QPoint point = chart->BandPoint(kBand);
    Mouse(*chart, QEvent::MouseMove, point, Qt::NoButton);
    ASSERT_EQ(chart->CurrentControlIndex(), kBand);
    Mouse(*chart, QEvent::MouseButtonPress, point, Qt::LeftButton);
    Mouse(*chart, QEvent::MouseButtonRelease, point, Qt::NoButton);
    ASSERT_TRUE(WaitQueueIdle());

    EXPECT_EQ(chart->Band(kBand).eqGain, stored.eqGain);
    EXPECT_EQ(profile.eqArray(0)[kBand].eqGain, stored.eqGain);
    EXPECT_EQ(profile.eqArray(0)[kBand].freq, stored.freq);
    EXPECT_EQ(profile.eqArray(0)[kBand].eqFactor, stored.eqFactor);
    const virtual_device::EqBandState after = Amp().channels[0].eq[kBand];
    EXPECT_NEAR(AmpGain(after), gain, 0.001);
    EXPECT_EQ(after.frequency, before.frequency);
    EXPECT_EQ(after.qInteger, before.qInteger);
    EXPECT_EQ(after.qFraction, before.qFraction);
    EXPECT_EQ(after.gainByte, before.gainByte);
    EXPECT_EQ(after.gainTenths, before.gainTenths);
    char shown[16];
    std::snprintf(shown, sizeof shown, "%.1f", static_cast<double>(gain));
    EXPECT_EQ(Control("eq_gain_8").Text(), shown);
}

}  // namespace
}  // namespace ui
