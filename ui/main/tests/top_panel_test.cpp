// The controls for the whole amplifier as the user handles them: the switch
// buttons, the main volume's slider and edit, the main mute, the ACC delay,
// the source menu with the volume read back after a switch, and the input
// routing options; and their texts, on and off, at every display scale and
// in every language.
#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QMouseEvent>
#include <QSlider>
#include <QWheelEvent>
#include <string>
#include <vector>

#include "main_window_fixture.h"
#include "ui/tests/text_fit.h"

namespace ui {
namespace {

using testing::MainWindowTest;
using testing::WaitFor;

constexpr uint32_t kOnColor = 0xFFFFFFFF;
constexpr uint32_t kOffColor = 0xFFFF0000;

struct SwitchCase {
    const char* name;
    const char* onText;
    const char* offText;
    uint8_t virtual_device::AmplifierState::*field;
    uint8_t onValue;  // what the amplifier holds while the switch is on
};

const SwitchCase kSwitches[] = {
    {"btn_amp_onoff", "${amp_on}", "${amp_off}", &virtual_device::AmplifierState::ampMute, 0},
    {"btn_rem_out1_onoff", "${rem_out1_on}", "${rem_out1_off}",
     &virtual_device::AmplifierState::remOut1, 1},
    {"btn_rem_out2_onoff", "${rem_out2_on}", "${rem_out2_off}",
     &virtual_device::AmplifierState::remOut2, 1},
    {"btn_2ohm_spk", "${btn_2ohm_spk}", "${btn_4ohm_spk}", &virtual_device::AmplifierState::spkOhm,
     1},
    {"btn_2ohm_spk_13", "${btn_2ohm_spk_13}", "${btn_4ohm_spk_13}",
     &virtual_device::AmplifierState::spkOhm13, 1},
    {"btn_2ohm_spk_21", "${btn_2ohm_spk_21}", "${btn_4ohm_spk_21}",
     &virtual_device::AmplifierState::spkOhm21, 1},
    {"btn_noise_gate", "${btn_noise_gate_on}", "${btn_noise_gate_off}",
     &virtual_device::AmplifierState::noiseGate, 1},
};

class TopPanelTest : public MainWindowTest {
protected:
    QAbstractButton* Button(const std::string& name) {
        return qobject_cast<QAbstractButton*>(Control(name).Widget());
    }
    QSlider* Slider(const std::string& name) {
        return qobject_cast<QSlider*>(Control(name).Widget());
    }
    QLineEdit* Edit(const std::string& name) {
        return qobject_cast<QLineEdit*>(Control(name).Widget());
    }
    void ClickOn(QWidget* widget) {
        QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier,
                          QPoint(widget->width() / 3, widget->height() / 2));
    }
    static void Wheel(QWidget* widget, int angle) {
        const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
        QWheelEvent wheel(at, widget->mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(widget, &wheel);
    }
    void TypeInto(const std::string& name, const QString& text) {
        QLineEdit* edit = Edit(name);
        ASSERT_NE(edit, nullptr);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    }
    void ExpectShows(const SwitchCase& s, bool on) {
        toolkit::Control& button = Control(s.name);
        EXPECT_EQ(button.Selected(), on) << s.name;
        EXPECT_EQ(button.TextColor(), on ? kOnColor : kOffColor) << s.name;
        EXPECT_EQ(button.Text(), on ? s.onText : s.offText) << s.name;
        EXPECT_EQ(Button(s.name)->text().toStdString(),
                  toolkit::Translate(on ? s.onText : s.offText))
            << s.name;
    }
    int VolumeSets() {
        int count = 0;
        for (const auto& report : mDemo.amplifier->ReceivedReports()) {
            count += report.size() > 6 && report[4] == device::CMD_DSP && report[5] == 0x02 &&
                     report[6] == device::OP_SET;
        }
        return count;
    }
    // Clicks every switch that does not show the wanted state.
    void SetAllSwitches(bool on) {
        for (const SwitchCase& s : kSwitches) {
            if (Control(s.name).Selected() != on) {
                ClickOn(Button(s.name));
            }
        }
        Idle();
    }
};

TEST_F(TopPanelTest, EverySwitchTurnsOverWithAClickAndTheAmplifierFollows) {
    ASSERT_TRUE(StartAndSync());
    for (const SwitchCase& s : kSwitches) {
        QAbstractButton* button = Button(s.name);
        ASSERT_NE(button, nullptr) << s.name;
        const bool before = Control(s.name).Selected();
        ASSERT_EQ(Amp().*s.field == s.onValue, before) << s.name;
        ExpectShows(s, before);
        ClickOn(button);
        ASSERT_TRUE(WaitQueueIdle());
        ExpectShows(s, !before);
        EXPECT_EQ(Amp().*s.field == s.onValue, !before) << s.name;
        ClickOn(button);
        ASSERT_TRUE(WaitQueueIdle());
        ExpectShows(s, before);
        EXPECT_EQ(Amp().*s.field == s.onValue, before) << s.name;
    }
    // A click on one remote output leaves the other as it was.
    ClickOn(Button("btn_rem_out2_onoff"));
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Amp().remOut1, 1);
    EXPECT_EQ(Amp().remOut2, 0);
}

TEST_F(TopPanelTest, TheMainVolumeFromWheelKeysAndTypedText) {
    ASSERT_TRUE(StartAndSync());
    QSlider* slider = Slider("slider_main_volume");
    ASSERT_NE(slider, nullptr);
    EXPECT_EQ(slider->maximum(), 40);
    // The demo amplifier plays at -12 dB: position 14.
    EXPECT_EQ(slider->value(), 14);
    EXPECT_EQ(Control("edit_main_volume").Text(), "14");

    QTest::keyClick(slider, Qt::Key_End);
    Idle();
    EXPECT_EQ(Amp().volumeAttenuation, 0);
    EXPECT_EQ(Control("edit_main_volume").Text(), "40");
    // Three notches at once: the rate limit holds the last ones back, the
    // window's timer sends the last value.
    Wheel(slider, -120);
    Wheel(slider, -120);
    Wheel(slider, -120);
    EXPECT_EQ(slider->value(), 37);
    // 37 is 4.7 dB: attenuation 1.31, sent when the window's timer comes.
    ASSERT_TRUE(WaitFor([&] { return Amp().volumeAttenuation == 1; }));
    Idle();
    EXPECT_EQ(Amp().volumeAttenuation, 1);
    EXPECT_EQ(Control("edit_main_volume").Text(), "37");

    TypeInto("edit_main_volume", "10");
    Idle();
    EXPECT_EQ(slider->value(), 10);
    EXPECT_EQ(Amp().volumeAttenuation, 24);

    mDemo.amplifier->ClearReceived();
    TypeInto("edit_main_volume", "loud");
    Idle();
    EXPECT_EQ(VolumeSets(), 0);
    EXPECT_EQ(Control("edit_main_volume").Text(), "10");
    EXPECT_EQ(Amp().volumeAttenuation, 24);

    TypeInto("edit_main_volume", QString::fromStdString(toolkit::Translate("${off}")));
    Idle();
    EXPECT_EQ(slider->value(), 0);
    EXPECT_EQ(Amp().volumeAttenuation, 66);
}

TEST_F(TopPanelTest, MuteAndTheVolumeThatLiftsIt) {
    ASSERT_TRUE(StartAndSync());
    ClickOn(Button("main_mute"));
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Amp().mute, 1);
    EXPECT_TRUE(Control("main_mute").Selected());
    Wheel(Slider("slider_main_volume"), 120);
    Idle();
    EXPECT_EQ(Amp().mute, 0);
    EXPECT_FALSE(Control("main_mute").Selected());
    EXPECT_EQ(Amp().volumeAttenuation, 17);  // position 15
}

TEST_F(TopPanelTest, TheAccDelayFromItsSliderAndEdit) {
    ASSERT_TRUE(StartAndSync());
    QSlider* slider = Slider("slider_acc");
    ASSERT_NE(slider, nullptr);
    EXPECT_EQ(Control("edit_acc").Text(), toolkit::Translate("${off}"));
    Wheel(slider, 120);
    Wheel(slider, 120);
    Idle();
    EXPECT_EQ(mDemo.protocol->Mcu().accDelay, 2);
    EXPECT_EQ(Control("edit_acc").Text(), "2");
    TypeInto("edit_acc", "7");
    Idle();
    EXPECT_EQ(slider->value(), 7);
    EXPECT_EQ(mDemo.protocol->Mcu().accDelay, 7);
    TypeInto("edit_acc", "later");
    Idle();
    EXPECT_EQ(mDemo.protocol->Mcu().accDelay, 7);
    EXPECT_EQ(Control("edit_acc").Text(), "7");
}

TEST_F(TopPanelTest, TheSourceMenuSwitchesAndTheVolumeIsReadBack) {
    ASSERT_TRUE(StartAndSync());
    EXPECT_EQ(Control("btn_source").Text(), "${source_low}");
    ClickOn(Button("btn_source"));
    ASSERT_NE(mWindow->OpenMenu(), nullptr);
    QMenu* menu = mWindow->OpenMenu()->Menu();
    ASSERT_NE(menu, nullptr);
    std::vector<std::string> shown;
    QAction* optical = nullptr;
    for (QAction* action : menu->actions()) {
        if (!action->isVisible()) {
            continue;
        }
        shown.push_back(action->text().toStdString());
        if (action->text().toStdString() == toolkit::Translate("${source_opt}")) {
            optical = action;
        }
        EXPECT_EQ(action->isChecked(),
                  action->text().toStdString() == toolkit::Translate("${source_low}"));
    }
    EXPECT_EQ(shown.size(), 5u);  // optical, Bluetooth, low level, high level, DMP
    ASSERT_NE(optical, nullptr);
    optical->trigger();
    mWindow->OpenMenu()->CloseMenu();

    // Optical was never played on this amplifier: 0 dB, position 28. The
    // window asks for it a second after the switch.
    ASSERT_TRUE(WaitFor([&] { return Control("edit_main_volume").Text() == "28"; }, 5000));
    EXPECT_EQ(Amp().sourceCode, 81);
    EXPECT_EQ(Control("btn_source").Text(), "${source_opt}");
    EXPECT_EQ(Slider("slider_main_volume")->value(), 28);

    // Back to low level through the list: its own -12 dB comes back.
    auto* list = qobject_cast<QComboBox*>(Control("btn_input_source").Widget());
    ASSERT_NE(list, nullptr);
    const int low = list->findText(QString::fromStdString(toolkit::Translate("${source_low}")));
    ASSERT_GE(low, 0);
    list->setCurrentIndex(low);
    emit list->activated(low);
    ASSERT_TRUE(WaitFor([&] { return Control("edit_main_volume").Text() == "14"; }, 5000));
    EXPECT_EQ(Amp().sourceCode, 85);
    EXPECT_EQ(Amp().volumeAttenuation, 18);
}

TEST_F(TopPanelTest, RoutingOptionsFollowTheSourceAndRouteInputs) {
    ASSERT_TRUE(StartAndSync());
    ClickOn(Button("ch_select_1"));  // the routing page
    QApplication::processEvents();
    // Low level: eight inputs per output.
    QAbstractButton* in3 = Button("option_ch_in3_2");
    ASSERT_NE(in3, nullptr);
    ASSERT_TRUE(in3->isVisible());
    const uint32_t before = Amp().sources[4].mixMask[2];
    ClickOn(in3);
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Amp().sources[4].mixMask[2], before ^ (1u << 2));
    if ((before & 1u << 2) == 0) {
        EXPECT_EQ(Amp().sources[4].mixTrim[2][2], 100);
    }
    ClickOn(in3);
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Amp().sources[4].mixMask[2], before);

    mWindow->Manager().SetInputSourceTo(0);  // optical: two inputs
    QApplication::processEvents();
    EXPECT_TRUE(Button("option_ch_in2_2")->isVisible());
    EXPECT_FALSE(Button("option_ch_in3_2")->isVisible());
    EXPECT_FALSE(Button("option_ch_in8_9")->isVisible());
}

// The switch texts fit in both states in every language at the three display
// scales, and the window is captured with all switches on and all off.
TEST_F(TopPanelTest, SwitchTextsFitOnAndOffAtEveryScaleInEveryLanguage) {
    for (int scale : {100, 125, 150}) {
        ASSERT_TRUE(RestartAt(scale)) << scale;
        for (bool on : {true, false}) {
            SetAllSwitches(on);
            for (const auto& [language, stored] : testing::kEveryLanguage) {
                SwitchLanguage(language, stored);
                QApplication::processEvents();
                const std::string what = std::string(language) + "_" + std::to_string(scale) +
                                         (on ? "_switches_on" : "_switches_off");
                for (const SwitchCase& s : kSwitches) {
                    ExpectShows(s, on);
                }
                testing::ExpectEverythingFits(*mWindow, what);
                if (scale == 100) {
                    testing::SaveScreenshot(*mWindow, "main_" + what);
                }
            }
            SwitchLanguage("en", "0");
        }
    }
}

}  // namespace
}  // namespace ui
