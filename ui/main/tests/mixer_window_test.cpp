// The mixer window through the running program: opened from the advanced
// menu, every control down to what the virtual amplifier keeps, its clip
// reports up to the lamps, the ways it closes, and the cable pulled while it
// polls; its look at every scale in every language.
#include <QAbstractButton>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSlider>
#include <cstdio>
#include <functional>
#include <string>

#include "controller/mixer.h"
#include "device/packet.h"
#include "main_window_fixture.h"
#include "ui/dialogs/mixer_window.h"

namespace ui {
namespace {

using testing::WaitFor;

constexpr int kLow = 4;
constexpr int kBt = 2;

class MixerWindowTest : public testing::MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ASSERT_TRUE(StartAndSync());
        QApplication::setActiveWindow(mWindow->Widget());
        mBoxes = std::make_unique<testing::BoxAnswerer>(mWindow.get());
    }
    void TearDown() override {
        mBoxes.reset();
        MainWindowTest::TearDown();
    }

    // Opens the mixer from the advanced menu and runs `act` inside it once it
    // is up; true when the window opened and has closed again. A window the
    // act leaves open is closed for it, and counts as a failure.
    bool InMixer(const std::function<void(CMixerWnd&)>& act) {
        bool acted = false;
        bool leftOpen = false;
        QTimer watcher;
        QObject::connect(&watcher, &QTimer::timeout, [&] {
            CMixerWnd* mixer = OpenMixer();
            if (acted || mixer == nullptr || !mixer->IsRunningModal()) {
                return;
            }
            acted = true;
            act(*mixer);
            if (OpenMixer() == mixer && Shown(*mixer)) {
                leftOpen = true;
                mixer->Close(0);
            }
        });
        watcher.start(20);
        ChooseMixerItem();
        const bool closed = WaitFor([&] { return acted && OpenMixer() == nullptr; }, 60000);
        EXPECT_FALSE(leftOpen) << "the test left the mixer open";
        return closed && !leftOpen;
    }
    // A closed window hides at once; its modal loop ends when the event
    // loop gets back to it.
    static bool Shown(CMixerWnd& mixer) {
        return mixer.Widget() != nullptr && mixer.Widget()->isVisible();
    }
    void ChooseMixerItem() {
        auto* button = qobject_cast<QAbstractButton*>(Control("btn_advance").Widget());
        ASSERT_NE(button, nullptr);
        button->click();
        ASSERT_NE(mWindow->OpenMenu(), nullptr);
        toolkit::ControlHandle* item = mWindow->OpenMenu()->FindItem("advance_item_mixer");
        ASSERT_NE(item, nullptr);
        ASSERT_TRUE(item->Enabled());
        item->Activate();
        mWindow->OpenMenu()->CloseMenu();
    }

    // ---- the user's hands on the mixer ----
    template <typename Widget>
    static Widget* Find(CMixerWnd& mixer, const std::string& name) {
        toolkit::Control* control = mixer.Find(name);
        auto* widget = control != nullptr ? qobject_cast<Widget*>(control->Widget()) : nullptr;
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    static std::string CellName(const char* kind, int output, int row) {
        return std::string("box_") + kind + std::to_string(output) + "_" + std::to_string(row);
    }
    static void TypeLevel(CMixerWnd& mixer, int output, int row, const char* text) {
        QLineEdit* edit = Find<QLineEdit>(mixer, CellName("edit_", output, row));
        if (edit == nullptr) {
            return;
        }
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    }
    static void Click(CMixerWnd& mixer, const std::string& name) {
        if (auto* button = Find<QAbstractButton>(mixer, name)) {
            button->click();
        }
    }
    static void Choose(CMixerWnd& mixer, int k, const char* tag) {
        QComboBox* combo = Find<QComboBox>(mixer, "cmb_csm_vice_source_" + std::to_string(k));
        if (combo == nullptr) {
            return;
        }
        toolkit::Control* control = mixer.Find("cmb_csm_vice_source_" + std::to_string(k));
        int index = -1;
        for (int i = 0; i < control->ItemCount(); ++i) {
            if (control->ItemUserData(i) == tag) {
                index = i;
            }
        }
        ASSERT_GE(index, 0) << tag;
        combo->setCurrentIndex(index);
        emit combo->activated(index);  // as when the user picks the item
    }
    // Whether the lamp shows lit: the red of a clipping lamp where it is drawn.
    static bool LampLit(CMixerWnd& mixer, const std::string& name) {
        toolkit::Control* lamp = mixer.Find(name);
        if (lamp == nullptr || lamp->Widget() == nullptr) {
            ADD_FAILURE() << "no lamp " << name;
            return false;
        }
        const QImage image = lamp->Widget()->grab().toImage();
        const QColor colour = image.pixelColor(image.width() / 8, image.height() / 2);
        return colour.red() > 180 && colour.green() < 100;
    }
    bool Routed(int source, int bit, int output) {
        return (Amp().sources[source].mixMask[output] >> bit & 1u) != 0;
    }
    bool AmpHas(const std::function<bool(const virtual_device::AmplifierState&)>& holds) {
        return WaitFor([&] { return holds(Amp()); }, 5000);
    }

    std::unique_ptr<testing::BoxAnswerer> mBoxes;
};

TEST_F(MixerWindowTest, OpensForTheCurrentSourceWithItsRowsAndTheWindowSizedForThem) {
    int lowHeight = 0;
    ASSERT_TRUE(InMixer([&](CMixerWnd& mixer) {
        EXPECT_EQ(mixer.Mixer().Source(), kLow);
        EXPECT_EQ(mixer.Title(), "MixerWnd");
        for (int row = 0; row < controller::kMixerRows; ++row) {
            EXPECT_TRUE(mixer.Find("mixer_row_" + std::to_string(row))->Widget()->isVisible())
                << row;
        }
        EXPECT_EQ(Find<QLabel>(mixer, "title_label_2")->text().toStdString(),
                  toolkit::Translate("${source_low_2}"));
        EXPECT_TRUE(mixer.HasTimer(controller::STATUS_READ_TIMER));
        lowHeight = mixer.Widget()->height();
        testing::ExpectEverythingFits(mixer, "low level, en, 100 %");
        Click(mixer, "closebtn");
        EXPECT_EQ(mixer.Result(), 0);
    }));
    mWindow->Manager().SetInputSourceTo(kBt);
    ASSERT_TRUE(WaitQueueIdle());
    ASSERT_TRUE(InMixer([&](CMixerWnd& mixer) {
        EXPECT_EQ(mixer.Mixer().Source(), kBt);
        EXPECT_FALSE(mixer.Find("mixer_row_2")->Widget()->isVisible());
        QWidget* cross = mixer.Find("mixer_row_8")->Widget();
        QWidget* second = mixer.Find("mixer_row_1")->Widget();
        EXPECT_TRUE(cross->isVisible());
        EXPECT_EQ(cross->y(), second->y() + second->height()) << "the rows close up";
        EXPECT_EQ(Find<QLabel>(mixer, "title_label_1")->text().toStdString(),
                  toolkit::Translate("${source_bt_r}"));
        EXPECT_EQ(lowHeight - mixer.Widget()->height(), 6 * 48) << "six rows fewer";
        QWidget* footer = mixer.Find("mixer_footer")->Widget();
        EXPECT_LE(footer->y() + footer->height(), mixer.Widget()->height());
        testing::ExpectEverythingFits(mixer, "bluetooth, en, 100 %");
        testing::SaveScreenshot(mixer, "mixer_bluetooth");
        Click(mixer, "confirm_btn");
        EXPECT_EQ(mixer.Result(), 1);
    }));
}

TEST_F(MixerWindowTest, EveryControlReachesTheAmplifier) {
    ASSERT_TRUE(InMixer([&](CMixerWnd& mixer) {
        // The slider of input 3 into output 5.
        QSlider* slider = Find<QSlider>(mixer, CellName("volume_", 4, 2));
        ASSERT_NE(slider, nullptr);
        slider->setValue(42);
        EXPECT_TRUE(AmpHas([](const auto& a) {
            return a.sources[kLow].mixTrim[2][4] == 42 && (a.sources[kLow].mixMask[4] >> 2 & 1u);
        }));
        EXPECT_EQ(Find<QLineEdit>(mixer, CellName("edit_", 4, 2))->text(), "42");

        // Typed levels: 150 is 100, -5 is 0 and switches the point off.
        TypeLevel(mixer, 4, 2, "150");
        EXPECT_TRUE(AmpHas([](const auto& a) { return a.sources[kLow].mixTrim[2][4] == 100; }));
        EXPECT_EQ(slider->value(), 100);
        TypeLevel(mixer, 4, 2, "-5");
        EXPECT_TRUE(AmpHas([](const auto& a) {
            return a.sources[kLow].mixTrim[2][4] == 0 && !(a.sources[kLow].mixMask[4] >> 2 & 1u);
        }));
        EXPECT_FALSE(Find<QAbstractButton>(mixer, CellName("enable_", 4, 2))->isChecked());

        // Garbage sends nothing and shows the level again.
        ASSERT_TRUE(WaitQueueIdle());
        mDemo.amplifier->ClearReceived();
        TypeLevel(mixer, 4, 2, "abc");
        Idle();
        EXPECT_TRUE(mDemo.amplifier->ReceivedReports().empty());
        EXPECT_EQ(Find<QLineEdit>(mixer, CellName("edit_", 4, 2))->text(), "0");

        // Switching on a point with no level plays it at 100.
        Click(mixer, CellName("enable_", 6, 5));
        EXPECT_TRUE(AmpHas([](const auto& a) {
            return a.sources[kLow].mixTrim[5][6] == 100 && (a.sources[kLow].mixMask[6] >> 5 & 1u);
        }));

        // The phase of input 4.
        Click(mixer, "in_phase_3");
        EXPECT_TRUE(AmpHas([](const auto& a) { return a.sources[kLow].inputPhase[3] == 1; }));

        // A cross-source choice pairs the other row.
        Choose(mixer, 1, "0200");
        EXPECT_TRUE(
            AmpHas([](const auto& a) { return a.sources[kLow].crossMix[9].viceSource == 2; }));
        Choose(mixer, 0, "0500");
        EXPECT_TRUE(AmpHas([](const auto& a) {
            const auto& mix = a.sources[kLow].crossMix;
            return mix[8].viceSource == 5 && mix[8].viceChannel == 0 && mix[9].viceSource == 5 &&
                   mix[9].viceChannel == 1;
        })) << "the other row follows to channel 2 of the same source";
        EXPECT_EQ(Find<QComboBox>(mixer, "cmb_csm_vice_source_1")->currentText().toStdString(),
                  toolkit::Translate("${source_hi_1}"));

        Click(mixer, "cancel_btn");
        EXPECT_EQ(mixer.Result(), 0);
    }));
}

TEST_F(MixerWindowTest, UndoTakesBackEachMixerChangeOnTheAmplifier) {
    const virtual_device::AmplifierState before = Amp();
    ASSERT_TRUE(InMixer([&](CMixerWnd& mixer) {
        TypeLevel(mixer, 4, 2, "42");
        Click(mixer, "in_phase_3");
        EXPECT_TRUE(AmpHas([](const auto& a) {
            return a.sources[kLow].mixTrim[2][4] == 42 && a.sources[kLow].inputPhase[3] == 1;
        }));
        Click(mixer, "cancel_btn");
    }));
    ASSERT_TRUE(WaitQueueIdle());
    QApplication::setActiveWindow(mWindow->Widget());
    ASSERT_TRUE(QTest::qWaitForWindowActive(mWindow->Widget()));
    Keys(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Amp().sources[kLow].inputPhase[3], 0);
    EXPECT_EQ(Amp().sources[kLow].mixTrim[2][4], 42) << "one change at a time";
    Keys(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(Amp() == before);
    Keys(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Amp().sources[kLow].mixTrim[2][4], 42);
    EXPECT_TRUE(Routed(kLow, 2, 4));
}

TEST_F(MixerWindowTest, ABridgedPairCopiesAndTheResetClearsTheSource) {
    ASSERT_TRUE(InMixer([&](CMixerWnd& mixer) {
        Click(mixer, "ch_bridge_2");  // outputs 5 and 6
        EXPECT_TRUE(
            WaitFor([&] { return Amp().bridges[2] != 0 && !mWindow->IsLoadingShown(); }, 10000));
        QSlider* slider = Find<QSlider>(mixer, CellName("volume_", 4, 1));
        ASSERT_NE(slider, nullptr);
        slider->setValue(35);
        EXPECT_TRUE(AmpHas([](const auto& a) {
            const auto& s = a.sources[kLow];
            return s.mixTrim[1][4] == 35 && s.mixTrim[1][5] == 35 && (s.mixMask[5] >> 1 & 1u);
        })) << "the partner output mixes alike";
        EXPECT_EQ(Find<QSlider>(mixer, CellName("volume_", 5, 1))->value(), 35);

        Click(mixer, "btn_reset_input");
        EXPECT_TRUE(AmpHas([](const auto& a) {
            for (int o = 0; o < 10; ++o) {
                if (a.sources[kLow].mixMask[o] != 0) {
                    return false;
                }
            }
            return true;
        }));
        EXPECT_FALSE(Find<QAbstractButton>(mixer, CellName("enable_", 0, 0))->isChecked());
        Click(mixer, "confirm_btn");
    }));
}

TEST_F(MixerWindowTest, ClipLampsFollowTheAmplifiersReports) {
    ASSERT_TRUE(InMixer([&](CMixerWnd& mixer) {
        // The demo feeds low-level input 1 hot; it reaches outputs 1, 5, 6, 7 and 9.
        EXPECT_TRUE(WaitFor([&] { return LampLit(mixer, "in_distort_0"); }, 5000));
        EXPECT_TRUE(LampLit(mixer, "out_distort_0"));
        EXPECT_FALSE(LampLit(mixer, "in_distort_1"));
        EXPECT_FALSE(LampLit(mixer, "out_distort_1"));
        testing::SaveScreenshot(mixer, "mixer_clipping");
        mDemo.protocol->SetInputPeak(kLow, 0, 20);
        EXPECT_TRUE(WaitFor([&] { return !LampLit(mixer, "in_distort_0"); }, 5000));
        EXPECT_FALSE(LampLit(mixer, "out_distort_0"));
        // Turning a quiet input up past full scale lights it.
        mDemo.protocol->SetInputPeak(kLow, 1, 150);
        EXPECT_TRUE(WaitFor([&] { return LampLit(mixer, "in_distort_1"); }, 5000));
        EXPECT_TRUE(LampLit(mixer, "out_distort_1"));
        Click(mixer, "closebtn");
    }));
}

TEST_F(MixerWindowTest, TheReentryGuardKeepsOneChangeToOneCommandPerOutput) {
    ASSERT_TRUE(InMixer([&](CMixerWnd& mixer) {
        Click(mixer, "ch_bridge_2");  // outputs 5 and 6
        ASSERT_TRUE(
            WaitFor([&] { return Amp().bridges[2] != 0 && !mWindow->IsLoadingShown(); }, 10000));
        ASSERT_TRUE(WaitQueueIdle());
        mDemo.amplifier->ClearReceived();
        // Typing into a point that is off switches its option on from inside
        // the change; that option's notification must not start another
        // change, which would copy the point to the partner a second time.
        TypeLevel(mixer, 4, 4, "64");
        ASSERT_TRUE(WaitQueueIdle());
        std::vector<int> outputs;
        for (const auto& report : mDemo.amplifier->ReceivedReports()) {
            if (report[5] == 0x24 && report[6] == device::OP_SET) {
                outputs.push_back(report[10]);
            }
        }
        EXPECT_EQ(outputs, (std::vector<int>{4, 5}));
        EXPECT_TRUE(Find<QAbstractButton>(mixer, CellName("enable_", 4, 4))->isChecked());
        EXPECT_EQ(Amp().sources[kLow].mixTrim[4][5], 64);
        Click(mixer, "closebtn");
    }));
}

TEST_F(MixerWindowTest, APulledCableClosesThePollingMixerAndTellsTheUser) {
    // The notice may show while the mixer is still on its way out: answer
    // the message box, never the mixer.
    mBoxes->Expect(1, {}, [] {
        for (toolkit::Window* window : toolkit::window_registry::All()) {
            if (window->IsRunningModal() && window->Find("MessageText") != nullptr) {
                return true;
            }
        }
        return false;
    });
    ASSERT_TRUE(InMixer([&](CMixerWnd& mixer) {
        // Let it poll at least once.
        const uint64_t before = mDemo.amplifier->ReceivedCount();
        EXPECT_TRUE(WaitFor([&] { return mDemo.amplifier->ReceivedCount() >= before + 2; }, 5000));
        mDemo.amplifier->Unplug();
        EXPECT_TRUE(WaitFor([&] { return !Shown(mixer); }, 10000))
            << "the mixer closes when the amplifier goes";
    }));
    EXPECT_TRUE(WaitFor([&] { return mBoxes->Answered(1); }, 10000));
    char notice[256];
    std::snprintf(notice, sizeof notice, toolkit::Translate("${device_plugout}").c_str(), "AMP-UI");
    EXPECT_TRUE(mBoxes->Saw(notice)) << "the unplug notice shows";
    EXPECT_FALSE(mWindow->Manager().Link().IsConnected());
    EXPECT_EQ(Control("btnConnect").Text(), "${btn_disconnected}");
}

TEST_F(MixerWindowTest, ConnectingAgainClosesAnOpenMixer) {
    ASSERT_TRUE(InMixer([&](CMixerWnd& mixer) {
        mWindow->Manager().DisconnectDevice();
        EXPECT_FALSE(Shown(mixer));
        EXPECT_EQ(mixer.Result(), 1) << "closed from outside";
    }));
}

TEST_F(MixerWindowTest, FitsAndReadsAtEveryScaleInEveryLanguage) {
    for (int scale : {100, 125, 150}) {
        mBoxes.reset();
        ASSERT_TRUE(RestartAt(scale)) << scale;
        mBoxes = std::make_unique<testing::BoxAnswerer>(mWindow.get());
        SetDisplayScale(scale);  // the mixer takes the scale when it opens
        for (const auto& [language, stored] : testing::kEveryLanguage) {
            SwitchLanguage(language, stored);
            ASSERT_TRUE(InMixer([&](CMixerWnd& mixer) {
                WaitFor([&] { return LampLit(mixer, "in_distort_0"); }, 3000);
                const std::string what = std::string(language) + " " + std::to_string(scale) + " %";
                testing::ExpectEverythingFits(mixer, what);
                testing::SaveScreenshot(
                    mixer, "mixer_" + std::string(language) + "_" + std::to_string(scale));
                Click(mixer, "closebtn");
            }));
        }
        SwitchLanguage("en", "0");
        SetDisplayScale(100);
    }
}

}  // namespace
}  // namespace ui
