// The output strip as the user handles it: the mouse wheel and Shift-drags on
// the trim sliders, typed garbage, the delay buttons in inches, and the
// strip's texts at every display scale and in every language.
#include <QComboBox>
#include <QMouseEvent>
#include <QSlider>
#include <QWheelEvent>
#include <string>

#include "device/dsp_subcommands.h"
#include "device/packet.h"
#include "dialog_driving.h"
#include "main_window_fixture.h"
#include "testkit/build_paths.h"
#include "ui/tests/text_fit.h"

namespace ui {
namespace {

using testing::MainWindowTest;
using testing::WaitFor;

class OutputStripTest : public MainWindowTest {
protected:
    QSlider* TrimSlider(int channel) {
        return qobject_cast<QSlider*>(
            Control("slider_ch_volume_" + std::to_string(channel)).Widget());
    }
    // Trim frames the amplifier received since the last clear.
    int TrimSets() {
        int count = 0;
        for (const auto& report : mDemo.amplifier->ReceivedReports()) {
            count += report.size() > 6 && report[4] == device::CMD_DSP &&
                     report[5] == device::DSP_TRIM_CH && report[6] == device::OP_SET;
        }
        return count;
    }
    static void Wheel(QWidget* widget, int angle) {
        const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
        QWheelEvent wheel(at, widget->mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(widget, &wheel);
    }
    static void Mouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::KeyboardModifiers keys) {
        const Qt::MouseButtons held =
            type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, QPointF(at), widget->mapToGlobal(QPointF(at)), Qt::LeftButton, held,
                          keys);
        QApplication::sendEvent(widget, &event);
    }
    static QPoint Handle(QSlider* slider) {
        const int span = slider->width() - 12;
        const double share =
            double(slider->value() - slider->minimum()) / (slider->maximum() - slider->minimum());
        return {6 + static_cast<int>(share * span), slider->height() / 2};
    }
    int Attenuation(int channel) { return Amp().channels[channel].trimAttenuation; }
};

TEST_F(OutputStripTest, AWheelNotchMovesTheTrimOneDecibel) {
    ASSERT_TRUE(StartAndSync());
    QSlider* slider = TrimSlider(4);  // the demo tune plays output 4 at -3 dB
    ASSERT_NE(slider, nullptr);
    Wheel(slider, -120);
    EXPECT_EQ(slider->value(), -40);
    EXPECT_EQ(Control("edit_ch_volume_4").Text(), "-4dB");
    ASSERT_TRUE(WaitFor([&] { return Attenuation(4) == 4; }, 5000));
    // Two more notches at once: the rate limit holds one back and the
    // window's timer sends the last value.
    Wheel(slider, -120);
    Wheel(slider, -120);
    EXPECT_EQ(Control("edit_ch_volume_4").Text(), "-6dB");
    EXPECT_TRUE(WaitFor([&] { return Attenuation(4) == 6; }, 5000));
    // Half a notch (a fine-grained wheel) waits for the other half.
    Wheel(slider, 60);
    EXPECT_EQ(slider->value(), -60);
    Wheel(slider, 60);
    EXPECT_EQ(slider->value(), -50);
    EXPECT_TRUE(WaitFor([&] { return Attenuation(4) == 5; }, 5000));
}

TEST_F(OutputStripTest, ADragLandsOnWholeDecibelsAndShiftMakesItFine) {
    ASSERT_TRUE(StartAndSync());
    QSlider* slider = TrimSlider(4);
    ASSERT_NE(slider, nullptr);
    // Shift held: one step every four pixels, from where the handle was.
    QPoint start = Handle(slider);
    Mouse(slider, QEvent::MouseButtonPress, start, Qt::ShiftModifier);
    Mouse(slider, QEvent::MouseMove, start - QPoint(9, 0), Qt::ShiftModifier);
    Mouse(slider, QEvent::MouseButtonRelease, start - QPoint(9, 0), Qt::ShiftModifier);
    EXPECT_EQ(slider->value(), -50);
    EXPECT_EQ(Control("edit_ch_volume_4").Text(), "-5dB");
    ASSERT_TRUE(WaitFor([&] { return Attenuation(4) == 5; }, 5000));

    // A plain drag lands on the step grid, and the amplifier plays what is shown.
    start = Handle(slider);
    Mouse(slider, QEvent::MouseButtonPress, start, Qt::NoModifier);
    Mouse(slider, QEvent::MouseMove, start - QPoint(13, 0), Qt::NoModifier);
    Mouse(slider, QEvent::MouseButtonRelease, start - QPoint(13, 0), Qt::NoModifier);
    EXPECT_EQ(slider->value() % 10, 0) << slider->value();
    EXPECT_LT(slider->value(), -50);
    EXPECT_TRUE(WaitFor([&] { return Attenuation(4) == -slider->value() / 10; }, 5000));
    EXPECT_EQ(Control("edit_ch_volume_4").Text(), std::to_string(slider->value() / 10) + "dB");
}

TEST_F(OutputStripTest, GarbageTypedIntoATrimSendsNothing) {
    ASSERT_TRUE(StartAndSync());
    mDemo.amplifier->ClearReceived();
    auto* edit = qobject_cast<QLineEdit*>(Control("edit_ch_volume_4").Widget());
    ASSERT_NE(edit, nullptr);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, "abc");
    QTest::keyClick(edit, Qt::Key_Return);
    Idle();
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(TrimSets(), 0);
    EXPECT_EQ(Attenuation(4), 3);
    EXPECT_EQ(edit->text().toStdString(), "-3dB");
}

TEST_F(OutputStripTest, UndoAndRedoOfATypedTrimAndDelayReachTheAmplifier) {
    ASSERT_TRUE(StartAndSync());
    QApplication::setActiveWindow(mWindow->Widget());
    ASSERT_TRUE(QTest::qWaitForWindowActive(mWindow->Widget()));
    const virtual_device::AmplifierState untouched = Amp();
    testing::dialog::Type(*mWindow, "edit_ch_volume_4", "-8");
    testing::dialog::Type(*mWindow, "edit_ch_delay_6", "2.5");
    ASSERT_TRUE(WaitQueueIdle());
    const virtual_device::AmplifierState edited = Amp();
    ASSERT_EQ(edited.channels[4].trimAttenuation, 8);
    ASSERT_EQ(edited.channels[6].delayMs, 2);

    Keys(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Amp().channels[6].delayMs, untouched.channels[6].delayMs);
    EXPECT_EQ(Amp().channels[4].trimAttenuation, 8) << "only the last step";
    EXPECT_EQ(Control("edit_ch_delay_6").Text(), "0.000 ms");
    Keys(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(Amp() == untouched) << "the amplifier holds what it held before";
    EXPECT_EQ(Control("edit_ch_volume_4").Text(), "-3dB");

    Keys(Qt::Key_Y, Qt::ControlModifier);
    Keys(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_TRUE(Amp() == edited);
    EXPECT_EQ(Control("edit_ch_volume_4").Text(), "-8dB");
}

TEST_F(OutputStripTest, TheDelayButtonsStepWholeInches) {
    ASSERT_TRUE(StartAndSync());
    Control("comb_ch_unit").SelectItem(2, true);  // inches, as the user picks them
    QApplication::processEvents();
    // Output 0 is current and plays 1.25 ms: 17 in.
    ASSERT_EQ(Control("edit_ch_delay_0").Text(), "17 in");
    auto* up = qobject_cast<QAbstractButton*>(Control("btn_delay_up").Widget());
    auto* down = qobject_cast<QAbstractButton*>(Control("btn_delay_down").Widget());
    ASSERT_TRUE(up != nullptr && down != nullptr);
    up->click();
    EXPECT_EQ(Control("edit_ch_delay_0").Text(), "18 in");
    down->click();
    down->click();
    EXPECT_EQ(Control("edit_ch_delay_0").Text(), "16 in");
    ASSERT_TRUE(WaitQueueIdle());
    const auto delay = Amp().channels[0];
    EXPECT_NEAR(delay.delayMs + delay.delayThousandths / 1000.0, 16 * 15.0 / 204.0, 0.001);
}

// Every text of the main window fits its control in every language at the
// three display scales an installer's laptop gives, with the texts the
// program sets while it runs (the phase buttons show "0°" and "180°").
TEST_F(OutputStripTest, EveryTextFitsAtEveryScaleInEveryLanguage) {
    for (int scale : {100, 125, 150}) {
        ASSERT_TRUE(RestartAt(scale)) << scale;
        auto* phase = qobject_cast<QAbstractButton*>(Control("ch_phase_1").Widget());
        ASSERT_NE(phase, nullptr);
        if (Control("ch_phase_1").Text() != "${reverse phase}") {
            phase->click();  // output 1 reversed, the others not
        }
        ASSERT_EQ(Control("ch_phase_1").Text(), "${reverse phase}");
        ASSERT_EQ(Control("ch_phase_2").Text(), "${positive_phase}");
        for (const auto& [language, stored] : testing::kEveryLanguage) {
            SwitchLanguage(language, stored);
            QApplication::processEvents();
            const std::string what = std::string(language) + "_" + std::to_string(scale);
            testing::ExpectEverythingFits(*mWindow, what);
            Control("card_outputs")
                .Widget()
                ->grab()
                .save(QString::fromStdString(testkit::ScreenshotPath("strip_" + what + ".png")));
            testing::SaveScreenshot(*mWindow, "main_" + what);
        }
        SwitchLanguage("en", "0");
    }
}

// Texts whose colour the model fixes (red when off or disconnected) stay
// readable: a contrast of at least 4.5:1 against what is drawn behind them.
TEST_F(OutputStripTest, TheConnectButtonIsReadableInEveryLook) {
    ASSERT_TRUE(StartAndSync());
    QApplication::processEvents();
    EXPECT_EQ(Control("btnConnect").Text(), "${btn_connected}");
    EXPECT_GE(testing::TextContrast(*mWindow, Control("btnConnect")), 4.5);
    mWindow->Manager().DisconnectDevice();
    QApplication::processEvents();
    EXPECT_EQ(Control("btnConnect").Text(), "${btn_disconnected}");
    EXPECT_EQ(Control("btnConnect").TextColor(), 0xFFFF0000u);
    EXPECT_GE(testing::TextContrast(*mWindow, Control("btnConnect")), 4.5);
}

}  // namespace
}  // namespace ui
