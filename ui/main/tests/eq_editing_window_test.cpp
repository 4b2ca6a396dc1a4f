// Crossover and EQ editing as the user does it on the real main window:
// typing with Enter and focus loss, the arrow keys, the combos, the band
// options, the buttons with their confirmation boxes and drags on the chart,
// down to what the virtual amplifier holds.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QMouseEvent>
#include <string>

#include "device/dsp_subcommands.h"
#include "device/packet.h"
#include "main_window_fixture.h"
#include "testkit/build_paths.h"
#include "ui/controls/ui_equalizer.h"

namespace ui {
namespace {

using testing::MainWindowTest;
using testing::WaitFor;

class EqEditingWindowTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ASSERT_TRUE(StartAndSync());
        QApplication::setActiveWindow(mWindow->Widget());
        ASSERT_TRUE(QTest::qWaitForWindowActive(mWindow->Widget()));
        mDemo.amplifier->ClearReceived();
    }
    QLineEdit* Edit(const std::string& name) {
        return qobject_cast<QLineEdit*>(Control(name).Widget());
    }
    // Types into an edit and presses Enter, as the user does.
    void TypeAndEnter(const std::string& name, const char* text) {
        QLineEdit* edit = Edit(name);
        ASSERT_NE(edit, nullptr) << name;
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
        QApplication::processEvents();
    }
    void Click(const std::string& name) {
        auto* button = qobject_cast<QAbstractButton*>(Control(name).Widget());
        ASSERT_NE(button, nullptr) << name;
        button->click();
        QApplication::processEvents();
    }
    // Answers the next confirmation box: 1 confirm, 0 cancel.
    void AnswerNextBox(int answer) {
        mAnswer = answer;
        mAsked = false;
        QObject::connect(&mCloser, &QTimer::timeout, [this] {
            for (toolkit::Window* window : toolkit::window_registry::All()) {
                if (window != mWindow.get() && window->IsRunningModal()) {
                    mAsked = true;
                    window->Close(mAnswer);
                }
            }
        });
        mCloser.start(20);
    }
    int SetsOf(uint8_t sub) {
        int count = 0;
        for (const auto& report : mDemo.amplifier->ReceivedReports()) {
            count += report.size() > 6 && report[4] == device::CMD_DSP && report[5] == sub &&
                     report[6] == device::OP_SET;
        }
        return count;
    }
    static double AmpGain(const virtual_device::EqBandState& band) {
        return ((band.gainByte & 0x1F) * 10 + band.gainTenths) / 10.0 - 18.0;
    }
    UIEqualizer* Chart() { return dynamic_cast<UIEqualizer*>(mWindow->Chart()); }
    static void Mouse(QWidget& widget, QEvent::Type type, QPoint at,
                      Qt::MouseButtons held = Qt::NoButton) {
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, QPointF(at), QPointF(widget.mapToGlobal(at)), button, held,
                          Qt::NoModifier);
        QApplication::sendEvent(&widget, &event);
    }
    static void Drag(QWidget& widget, QPoint from, QPoint to, int steps) {
        Mouse(widget, QEvent::MouseMove, from);
        Mouse(widget, QEvent::MouseButtonPress, from, Qt::LeftButton);
        for (int i = 1; i <= steps; ++i) {
            Mouse(widget, QEvent::MouseMove, from + (to - from) * i / steps, Qt::LeftButton);
        }
        Mouse(widget, QEvent::MouseButtonRelease, to);
    }
    const model::Profile& Profile() { return mWindow->Manager().WorkingProfile(); }

    QTimer mCloser;
    int mAnswer = 1;
    bool mAsked = false;
};

TEST_F(EqEditingWindowTest, TypedCrossoverFrequenciesReachTheAmplifier) {
    TypeAndEnter("lp_freq", "20k");
    TypeAndEnter("hp_freq", "1k2");
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Amp().channels[0].highPass.frequency, 1200);
    EXPECT_EQ(Control("hp_freq").Text(), "1200Hz");
    EXPECT_TRUE(Edit("hp_freq")->hasFocus());  // Enter keeps the focus in the edit
    TypeAndEnter("lp_freq", "3000");
    TypeAndEnter("hp_freq", "5000");  // never above the low-pass
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Amp().channels[0].highPass.frequency, 3000);
    // Focus loss commits too.
    QLineEdit* lp = Edit("lp_freq");
    lp->setFocus();
    lp->selectAll();
    QTest::keyClicks(lp, "8000");
    Edit("eq_gain_0")->setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Amp().channels[0].lowPass.frequency, 8000);
}

TEST_F(EqEditingWindowTest, ArrowKeysStepTheBandAndTheCrossover) {
    const float before = Profile().eqArray(0)[3].eqGain;
    QLineEdit* gain = Edit("eq_gain_3");
    gain->setFocus();
    QTest::keyClick(gain, Qt::Key_Up);
    QTest::keyClick(gain, Qt::Key_Up);
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_NEAR(Profile().eqArray(0)[3].eqGain, before + 0.2f, 1e-4);
    EXPECT_NEAR(AmpGain(Amp().channels[0].eq[3]), before + 0.2, 0.051);
    QLineEdit* hp = Edit("hp_freq");
    hp->setFocus();
    const int hz = Profile().channels[0].crossover.hp.fs;
    QTest::keyClick(hp, Qt::Key_Up);
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_GT(Amp().channels[0].highPass.frequency, hz);
}

TEST_F(EqEditingWindowTest, CombosSetTypeAndSlope) {
    Control("hp_slop").SelectItem(3, true);  // as the user picks an item
    Control("hp_type").SelectItem(1, true);  // Linkwitz-Riley: the slope moves to 24 dB/oct
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Amp().channels[0].highPass.type, 2);
    EXPECT_EQ(Amp().channels[0].highPass.slope, 4);
    EXPECT_EQ(Control("hp_slop").SelectedIndex(), 4);
    EXPECT_FALSE(Control("hp_slop").ItemVisible(3));
    // The band type of the band selected on the chart.
    UIEqualizer* chart = Chart();
    ASSERT_NE(chart, nullptr);
    Mouse(*chart, QEvent::MouseMove, chart->BandPoint(13));  // hover selects band 13
    ASSERT_EQ(chart->CurrentControlIndex(), 13);
    Control("comb_eq_type").SelectItem(3, true);  // a type without gain
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Amp().channels[0].eq[13].gainByte >> 5, 3);
    EXPECT_EQ(AmpGain(Amp().channels[0].eq[13]), 0.0);
    EXPECT_FALSE(Control("eq_gain_13").Enabled());
}

TEST_F(EqEditingWindowTest, TheBandOptionSwitchesABandOffAndOn) {
    Click("pt_enable_13");  // output 0's -3 dB band
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(AmpGain(Amp().channels[0].eq[13]), 0.0);
    EXPECT_FALSE(Control("pt_enable_13").Selected());
    Click("pt_enable_13");
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(AmpGain(Amp().channels[0].eq[13]), -3.0);
    EXPECT_TRUE(Control("pt_enable_13").Selected());
}

TEST_F(EqEditingWindowTest, BypassAsksAndSends) {
    AnswerNextBox(0);
    Click("btn_bypass");
    EXPECT_TRUE(mAsked);
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Amp().channels[0].eqBypass, 0);
    AnswerNextBox(1);
    Click("btn_bypass");
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Amp().channels[0].eqBypass, 1);
    EXPECT_EQ(Control("btn_bypass").Text(), "${restore_eq}");
    EXPECT_TRUE(Chart()->AllZero());  // the chart shows the channel flat
}

TEST_F(EqEditingWindowTest, ResetAsksAndResetsTheBands) {
    AnswerNextBox(1);
    Click("btn_reset_eq");
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(SetsOf(device::DSP_EQ_RESET), 1);
    EXPECT_EQ(Control("eq_gain_13").Text(), "0.0");
    EXPECT_EQ(Profile().eqArray(0)[13].eqGain, 0.0f);
}

// In GEQ mode a sideways drag moves only the gain; in PEQ mode the band
// follows the pointer in frequency too. A quick drag sends once at its start
// and once on release.
TEST_F(EqEditingWindowTest, DragsInGeqAndPeqMode) {
    UIEqualizer* chart = Chart();
    ASSERT_NE(chart, nullptr);
    if (Profile().peqMode) {
        AnswerNextBox(1);
        Click("btn_arg_eq");
    }
    ASSERT_FALSE(chart->DragAllDirection());
    EXPECT_FALSE(Control("eq_freq_6").Enabled());
    const int freq = Profile().eqArray(0)[6].freq;
    const QPoint start = chart->BandPoint(6);
    Drag(*chart, start, start + QPoint(40, -25), 10);
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Profile().eqArray(0)[6].freq, freq);
    EXPECT_GT(Profile().eqArray(0)[6].eqGain, 1.0f);
    EXPECT_NEAR(AmpGain(Amp().channels[0].eq[6]), Profile().eqArray(0)[6].eqGain, 0.051);

    AnswerNextBox(1);
    Click("btn_arg_eq");
    ASSERT_TRUE(chart->DragAllDirection());
    EXPECT_TRUE(Control("eq_freq_6").Enabled());
    mDemo.amplifier->ClearReceived();
    const QPoint now = chart->BandPoint(6);
    Drag(*chart, now, now + QPoint(60, 10), 12);
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_GT(Profile().eqArray(0)[6].freq, freq);
    EXPECT_EQ(Amp().channels[0].eq[6].frequency, Profile().eqArray(0)[6].freq);
    EXPECT_EQ(Control("eq_freq_6").Text(), std::to_string(Profile().eqArray(0)[6].freq));
    // Twelve moves in well under 500 ms: at most the first (held when the
    // last drag sent less than 500 ms ago), one more after 500 ms, and the
    // release.
    EXPECT_LE(SetsOf(device::DSP_EQ_CH), 3);
    EXPECT_GE(SetsOf(device::DSP_EQ_CH), 1);
}

TEST_F(EqEditingWindowTest, UndoAndRedoTakeBackAWholeDragAndACrossoverChange) {
    UIEqualizer* chart = Chart();
    ASSERT_NE(chart, nullptr);
    EXPECT_FALSE(Control("btn_undo").Enabled());
    const model::EqBand before = Profile().eqArray(0)[6];
    const int hpBefore = Amp().channels[0].highPass.frequency;
    const std::string hpTextBefore = Control("hp_freq").Text();
    const QPoint start = chart->BandPoint(6);
    Drag(*chart, start, start + QPoint(40, -25), 10);
    ASSERT_TRUE(WaitQueueIdle());
    const model::EqBand dragged = Profile().eqArray(0)[6];
    ASSERT_NE(dragged, before);
    TypeAndEnter("hp_freq", "150");
    ASSERT_TRUE(WaitQueueIdle());
    ASSERT_EQ(Amp().channels[0].highPass.frequency, 150);
    EXPECT_TRUE(Control("btn_undo").Enabled());

    // Ctrl+Z in the edit just committed: the edit has nothing of its own to undo.
    Keys(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Amp().channels[0].highPass.frequency, hpBefore);
    EXPECT_EQ(Control("hp_freq").Text(), hpTextBefore);
    EXPECT_EQ(Profile().eqArray(0)[6], dragged) << "one step at a time";

    Keys(Qt::Key_Z, Qt::ControlModifier);  // the ten moves of the drag at once
    EXPECT_EQ(Profile().eqArray(0)[6], before);
    EXPECT_EQ(Amp().channels[0].eq[6].frequency, before.freq);
    EXPECT_NEAR(AmpGain(Amp().channels[0].eq[6]), before.eqGain, 0.051);
    EXPECT_FALSE(Control("btn_undo").Enabled());
    EXPECT_TRUE(Control("btn_redo").Enabled());

    Keys(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Amp().channels[0].eq[6].frequency, dragged.freq);
    EXPECT_NEAR(AmpGain(Amp().channels[0].eq[6]), dragged.eqGain, 0.051);
    Click("btn_redo");
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(Amp().channels[0].highPass.frequency, 150);
    EXPECT_EQ(Control("hp_freq").Text(), "150Hz");
    EXPECT_FALSE(Control("btn_redo").Enabled());

    Keys(Qt::Key_Z, Qt::ControlModifier);
    Keys(Qt::Key_Y, Qt::ControlModifier);  // the other redo key
    EXPECT_EQ(Amp().channels[0].highPass.frequency, 150);
}

TEST_F(EqEditingWindowTest, TheCrossoverHandlesDragTheFilters) {
    TypeAndEnter("hp_freq", "100");
    TypeAndEnter("lp_freq", "5000");
    UIEqualizer* chart = Chart();
    ASSERT_NE(chart, nullptr);
    ASSERT_FALSE(chart->HpBox().isEmpty());
    const QPoint h = chart->HpBox().center();
    Drag(*chart, h, h + QPoint(50, 0), 5);
    ASSERT_TRUE(WaitQueueIdle());
    const int hp = Profile().channels[0].crossover.hp.fs;
    EXPECT_GT(hp, 100);
    EXPECT_EQ(Amp().channels[0].highPass.frequency, hp);
    EXPECT_EQ(Control("hp_freq").Text(), std::to_string(hp) + "Hz");
    const QPoint l = chart->LpBox().center();
    Drag(*chart, l, QPoint(0, l.y()), 8);  // far below the high-pass: it stops above it
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_GT(Profile().channels[0].crossover.lp.fs, hp);
    EXPECT_EQ(Amp().channels[0].lowPass.frequency, Profile().channels[0].crossover.lp.fs);
}

TEST_F(EqEditingWindowTest, ChartScreenshotsInPeqAndGeqAtEveryScale) {
    for (int scale : {100, 125, 150}) {
        ASSERT_TRUE(RestartAt(scale));
        mWindow->Manager().WorkingProfile().showOutChEqualizer.fill(1);
        mWindow->Manager().UpdateEqualizer(-1);
        for (int c = 0; c < 10; ++c) {
            mWindow->Manager().UpdateCurveOf(c);
        }
        UIEqualizer* chart = Chart();
        ASSERT_NE(chart, nullptr);
        for (bool peq : {true, false}) {
            if (Profile().peqMode != peq) {
                AnswerNextBox(1);
                Click("btn_arg_eq");
            }
            Mouse(*chart, QEvent::MouseMove, chart->BandPoint(4));  // band 5 selected
            QApplication::processEvents();
            const std::string what = std::string(peq ? "peq" : "geq") + "_" + std::to_string(scale);
            testing::SaveScreenshot(*mWindow, "main_chart_" + what);
            Control("card_eq").Widget()->grab().save(
                QString::fromStdString(testkit::ScreenshotPath("eq_card_" + what + ".png")));
        }
    }
}

}  // namespace
}  // namespace ui
