// The distances window through the running program: opened from the advance
// menu, distances typed as an installer types them, Apply down to the delays
// the virtual amplifier holds and the main page shows; a distance that cannot
// be read named in a message with nothing changed; a delay cut to the
// largest one named; the distances shown again for the same amplifier; and
// every text fitting at every scale in every language.
#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "controller/distance_settings.h"
#include "device/dsp_subcommands.h"
#include "main_window_fixture.h"
#include "modal_script.h"
#include "model/units.h"

namespace ui {
namespace {

using testing::WaitFor;

constexpr const char* kWindow = "distanceswnd";
constexpr const char* kBox = "msgwnd";

class DistancesTest : public testing::MainWindowTest {
protected:
    using Step = testing::ModalScript::Step;

    void Start(int unit = model::kDelayUnitCm) {
        ASSERT_TRUE(StartAndSync());
        // The tests share one settings file: each starts without kept distances.
        for (const std::string& section : {mWindow->Manager().DistancesSection(),
                                           std::string(controller::kNoDeviceDistancesSection)}) {
            controller::KeepDistances(section, std::vector<std::string>(10));
        }
        QApplication::setActiveWindow(mWindow->Widget());
        Control("comb_ch_unit").SelectItem(unit, true);  // as the user picks it
        QApplication::processEvents();
        mDemo.amplifier->ClearReceived();
    }
    void Play(std::vector<Step> steps) { mScript.Play(std::move(steps)); }
    bool PlayedAll() { return mScript.PlayedAll(); }

    void ChooseDistancesItem() {
        auto* button = qobject_cast<QAbstractButton*>(Control("btn_advance").Widget());
        ASSERT_NE(button, nullptr);
        button->click();
        ASSERT_NE(mWindow->OpenMenu(), nullptr);
        toolkit::ControlHandle* item = mWindow->OpenMenu()->FindItem("advance_item_distances");
        ASSERT_NE(item, nullptr);
        ASSERT_TRUE(item->Visible() && item->Enabled());
        item->Activate();
        mWindow->OpenMenu()->CloseMenu();
        QApplication::processEvents();
    }

    static void Press(toolkit::Window& window, const char* name) {
        toolkit::Control* control = window.Find(name);
        auto* button =
            control != nullptr ? qobject_cast<QAbstractButton*>(control->Widget()) : nullptr;
        ASSERT_NE(button, nullptr) << name;
        button->click();
    }
    static void Type(toolkit::Window& window, int output, const std::string& text) {
        toolkit::Control* control = window.Find("dist_edit_" + std::to_string(output));
        auto* line = control != nullptr ? qobject_cast<QLineEdit*>(control->Widget()) : nullptr;
        ASSERT_NE(line, nullptr) << output;
        line->setFocus();
        line->selectAll();
        line->del();
        QTest::keyClicks(line, QString::fromStdString(text));
        QTest::keyClick(line, Qt::Key_Return);
    }
    static void TypeAll(toolkit::Window& window, const std::map<int, std::string>& texts) {
        for (const auto& [output, text] : texts) {
            Type(window, output, text);
        }
    }
    static std::string Text(toolkit::Window& window, const std::string& name) {
        toolkit::Control* control = window.Find(name);
        return control != nullptr ? control->Text() : "?";
    }
    // The label as the user reads it, empty while hidden.
    static std::string Shown(toolkit::Window& window, const std::string& name) {
        toolkit::Control* control = window.Find(name);
        auto* label = control != nullptr ? qobject_cast<QLabel*>(control->Widget()) : nullptr;
        return label != nullptr && control->Visible() ? label->text().toStdString() : "";
    }
    static std::string BoxText(toolkit::Window& box) {
        return toolkit::Translate(Text(box, "MessageText"));
    }

    int AmpMicroseconds(int c) {
        return Amp().channels[c].delayMs * 1000 + Amp().channels[c].delayThousandths;
    }
    std::vector<int> AmpDelays() {
        std::vector<int> delays;
        for (int c = 0; c < 10; ++c) {
            delays.push_back(AmpMicroseconds(c));
        }
        return delays;
    }
    std::string MainPageDelay(int c) {
        return Control("edit_ch_delay_" + std::to_string(c)).Text();
    }

    testing::ModalScript mScript;
};

// Distances of a car as the installer typed them, and in centimetres;
// output 4 is left empty.
struct Measured {
    int output;
    const char* typed;
    int cm;
};
const std::vector<Measured> kCar = {{0, "95", 95},      {1, "118", 118}, {2, "102 cm", 102},
                                    {3, "1.31 m", 131}, {5, "152", 152}, {6, "210", 210},
                                    {7, "205", 205},    {8, "260", 260}, {9, "248", 248}};
constexpr int kFarthestCm = 260;

std::map<int, std::string> Typed(const std::vector<Measured>& measured) {
    std::map<int, std::string> texts;
    for (const Measured& m : measured) {
        texts[m.output] = m.typed;
    }
    return texts;
}

TEST_F(DistancesTest, AppliedDistancesReachTheAmplifierAndTheMainPage) {
    Start();
    const int untouched = AmpMicroseconds(4);
    const std::string untouchedText = MainPageDelay(4);
    Play({{kWindow, [&](toolkit::Window& window) {
               for (int c = 0; c < 10; ++c) {
                   const std::string row = std::to_string(c);
                   EXPECT_EQ(Text(window, "dist_ch_" + row), "CH" + std::to_string(c + 1));
                   EXPECT_EQ(Text(window, "dist_name_" + row),
                             Control("ch_output_btn_" + row).Text())
                       << "the output is named as the main page names it";
               }
               TypeAll(window, Typed(kCar));
               EXPECT_EQ(Text(window, "dist_edit_3"), "131") << "shown in the window's unit";
               EXPECT_EQ(Text(window, "dist_delay_8"), "0 cm");
               EXPECT_EQ(Text(window, "dist_delay_0"), "165 cm") << "shown before Apply";
               EXPECT_EQ(Text(window, "dist_delay_4"), untouchedText) << "output 4 keeps its delay";
               EXPECT_EQ(Shown(window, "dist_status"), "");
               Press(window, "apply_btn");
           }}});
    ChooseDistancesItem();
    ASSERT_TRUE(PlayedAll());
    ASSERT_TRUE(WaitQueueIdle());

    for (const Measured& m : kCar) {
        const int cm = kFarthestCm - m.cm;
        EXPECT_EQ(MainPageDelay(m.output), std::to_string(cm) + " cm") << m.output;
        EXPECT_NEAR(AmpMicroseconds(m.output), cm / 34.6 * 1000.0, 1.0) << m.output;
    }
    EXPECT_EQ(AmpMicroseconds(4), untouched);
    EXPECT_EQ(MainPageDelay(4), untouchedText);
}

// Each kind of text that is no distance is named with its output in a
// message; the window stays open to correct it and nothing reaches the
// amplifier, the profile or the settings file.
TEST_F(DistancesTest, AnUnreadableDistanceIsNamedAndChangesNothing) {
    Start();
    const std::vector<int> before = AmpDelays();
    const float profileBefore = mWindow->Manager().WorkingProfile().channels[3].delay;
    const std::vector<std::pair<std::string, std::string>> faults = {
        {"abc", "CH4"}, {"-20", "negative"}, {"25 m", "20 m"}, {"", "at least one"}};
    std::vector<std::string> told;
    std::vector<Step> steps;
    steps.push_back({kWindow, [&](toolkit::Window& window) {
                         TypeAll(window, {{0, "120"}, {3, "abc"}});
                         EXPECT_EQ(Text(window, "dist_delay_0"), "-");
                         EXPECT_NE(Shown(window, "dist_status").find("CH4"), std::string::npos);
                         Press(window, "apply_btn");
                     }});
    auto answer = [&](const std::string& next, std::map<int, std::string> retype) {
        steps.push_back({kBox, [&told](toolkit::Window& box) {
                             told.push_back(BoxText(box));
                             Press(box, "confirm_btn");
                         }});
        steps.push_back({kWindow, [next, retype](toolkit::Window& window) {
                             TypeAll(window, retype);
                             Press(window, next.c_str());
                         }});
    };
    answer("apply_btn", {{3, "-20"}});
    answer("apply_btn", {{3, "25 m"}});
    answer("apply_btn", {{0, ""}, {3, ""}});
    answer("cancel_btn", {});
    Play(steps);
    ChooseDistancesItem();
    ASSERT_TRUE(PlayedAll());
    ASSERT_EQ(told.size(), faults.size());
    for (size_t i = 0; i < faults.size(); ++i) {
        EXPECT_NE(told[i].find(faults[i].second), std::string::npos) << told[i];
        if (i < 3) {
            EXPECT_NE(told[i].find("CH4"), std::string::npos) << "names the output: " << told[i];
        }
    }
    Idle();
    EXPECT_EQ(SetsOf(device::DSP_DELAY_CH), 0u);
    EXPECT_EQ(AmpDelays(), before);
    EXPECT_FLOAT_EQ(mWindow->Manager().WorkingProfile().channels[3].delay, profileBefore);

    // Nothing was kept: the window opens empty again.
    Play({{kWindow, [&](toolkit::Window& window) {
               EXPECT_EQ(Text(window, "dist_edit_0"), "");
               EXPECT_EQ(Text(window, "dist_edit_3"), "");
               Press(window, "closebtn");
           }}});
    ChooseDistancesItem();
    ASSERT_TRUE(PlayedAll());
}

TEST_F(DistancesTest, ADelayBeyondTheLargestIsCutAndTheWindowSaysWhich) {
    Start();
    std::string status;
    std::string told;
    Play({{kWindow,
           [&](toolkit::Window& window) {
               TypeAll(window, {{0, "40"}, {1, "700"}, {2, "200"}});  // 660 cm: beyond 519 cm
               status = Shown(window, "dist_status");
               EXPECT_EQ(Text(window, "dist_delay_0"), "519 cm");
               Press(window, "apply_btn");
           }},
          {kBox, [&](toolkit::Window& box) {
               told = BoxText(box);
               Press(box, "confirm_btn");
           }}});
    ChooseDistancesItem();
    ASSERT_TRUE(PlayedAll());
    for (const std::string& text : {status, told}) {
        EXPECT_NE(text.find("CH1"), std::string::npos) << text;
        EXPECT_NE(text.find("519 cm"), std::string::npos) << text;
        EXPECT_EQ(text.find("CH3"), std::string::npos) << "500 cm fits: " << text;
    }
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(AmpMicroseconds(0), 15000);
    EXPECT_EQ(AmpMicroseconds(1), 0);
    EXPECT_EQ(MainPageDelay(2), "500 cm");
}

// The two halves of a bridged pair drive one speaker: the upper half takes
// the lower one's delay and its own distance cannot be typed.
TEST_F(DistancesTest, ABridgedPairSharesTheDelayOfItsLowerHalf) {
    Start();
    auto* bridge = qobject_cast<QAbstractButton*>(Control("ch_bridge_4").Widget());
    ASSERT_NE(bridge, nullptr);
    bridge->click();  // outputs 8 and 9
    ASSERT_TRUE(WaitFor([&] {
        return mWindow->Manager().WorkingProfile().bridgeOutputs[4] != 0 &&
               !mWindow->IsLoadingShown() && mWindow->Manager().Link().IsCmdQueueIdle();
    }));
    Play({{kWindow, [&](toolkit::Window& window) {
               toolkit::Control* upper = window.Find("dist_edit_9");
               ASSERT_NE(upper, nullptr);
               EXPECT_FALSE(upper->Widget()->isEnabled());
               TypeAll(window, {{0, "200"}, {8, "100"}});
               EXPECT_EQ(Text(window, "dist_delay_8"), "100 cm");
               EXPECT_EQ(Text(window, "dist_delay_9"), "100 cm");
               Press(window, "apply_btn");
           }}});
    ChooseDistancesItem();
    ASSERT_TRUE(PlayedAll());
    ASSERT_TRUE(WaitQueueIdle());
    EXPECT_EQ(MainPageDelay(9), "100 cm");
    EXPECT_EQ(AmpMicroseconds(9), AmpMicroseconds(8));
    EXPECT_NEAR(AmpMicroseconds(8), 100 / 34.6 * 1000.0, 1.0);
}

// The distances come back for the amplifier they were measured for, in the
// unit the main page shows now; tuning without the amplifier has its own,
// and its delays go into the working profile only.
TEST_F(DistancesTest, TheDistancesComeBackForTheirAmplifier) {
    Start();
    Play({{kWindow, [&](toolkit::Window& window) {
               TypeAll(window, {{0, "254"}, {5, "3 m"}});
               Press(window, "apply_btn");
           }}});
    ChooseDistancesItem();
    ASSERT_TRUE(PlayedAll());
    ASSERT_TRUE(WaitQueueIdle());

    Control("comb_ch_unit").SelectItem(model::kDelayUnitInch, true);
    QApplication::processEvents();
    Play({{kWindow, [&](toolkit::Window& window) {
               EXPECT_EQ(Text(window, "dist_edit_0"), "100");
               EXPECT_EQ(Text(window, "dist_edit_5"), "118.11");
               EXPECT_EQ(Text(window, "dist_edit_1"), "");
               EXPECT_EQ(Text(window, "dist_unit_0"), "${distances_unit_in}");
               Press(window, "cancel_btn");
           }}});
    ChooseDistancesItem();
    ASSERT_TRUE(PlayedAll());

    mWindow->Manager().DisconnectDevice();
    ASSERT_TRUE(WaitFor([&] { return !mWindow->Manager().Link().IsConnected(); }));
    mDemo.amplifier->ClearReceived();
    Play({{kWindow, [&](toolkit::Window& window) {
               EXPECT_EQ(Text(window, "dist_edit_0"), "") << "no amplifier: a list of its own";
               TypeAll(window, {{0, "10"}, {1, "20"}});
               Press(window, "apply_btn");
           }}});
    ChooseDistancesItem();
    ASSERT_TRUE(PlayedAll());
    EXPECT_EQ(MainPageDelay(0), "10 in");
    EXPECT_NEAR(mWindow->Manager().WorkingProfile().channels[0].delay, 10 * 15.0f / 204.0f, 1e-4);
    EXPECT_TRUE(mDemo.amplifier->ReceivedReports().empty());
}

// Every text of the window fits at the three display scales in every
// language, filled in with a cut delay showing; a screenshot of each.
TEST_F(DistancesTest, EveryTextFitsAtEveryScaleInEveryLanguage) {
    Start();
    for (int scale : {100, 125, 150}) {
        for (const auto& [language, stored] : testing::kEveryLanguage) {
            SwitchLanguage(language, stored);
            QApplication::processEvents();
            const std::string what = language + "_" + std::to_string(scale);
            bool looked = false;
            // The window takes the display scale it is built at.
            SetDisplayScale(scale);
            Play({{kWindow, [&](toolkit::Window& window) {
                       SetDisplayScale(100);
                       EXPECT_EQ(window.Scale(), scale);
                       std::map<int, std::string> car = Typed(kCar);
                       car[4] = "6.5 m";  // CH1, CH2 and CH3 cut
                       TypeAll(window, car);
                       QApplication::processEvents();
                       testing::ExpectEverythingFits(window, what);
                       testing::SaveScreenshot(window, "distances_" + what);
                       looked = true;
                       Press(window, "cancel_btn");
                   }}});
            ChooseDistancesItem();
            ASSERT_TRUE(PlayedAll()) << what;
            EXPECT_TRUE(looked) << what;
        }
    }
    SwitchLanguage("en", "0");
}

}  // namespace
}  // namespace ui
