// The two compressor windows in the running program under a record that
// switches the compressors on: opened through the controller, driven as a
// user does (typing, garbage and values beyond the sliders, arrow keys,
// slider drags, the on/off boxes) down to what the virtual amplifier keeps;
// the curve following every change; every way of closing; every text
// fitting at every scale and language. Under this model's own record the
// windows stay shut.
#include <QAbstractButton>
#include <QAbstractSlider>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSlider>
#include <cmath>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/model_cfg.h"
#include "app/tests/features_on_record.h"
#include "device/dsp_subcommands.h"
#include "device/packet.h"
#include "dialog_driving.h"
#include "main_window_fixture.h"
#include "modal_script.h"
#include "ui/controls/ui_compressor_curve.h"
#include "ui/dialogs/compressor_window.h"
#include "ui/dialogs/compressors_on_window.h"
#include "ui/skin/languages.h"

namespace ui {
namespace {

using namespace testing::dialog;

using testing::WaitFor;

constexpr const char* kCompressorTitle = "msgwnd";
constexpr const char* kColumnsTitle = "CompressorsOnWnd";

class CompressorWindowsTest : public testing::MainWindowTest {
protected:
    void SetUp() override {
        mRecord.emplace(test_support::FeaturesOnRecord());
        MainWindowTest::SetUp();
        ASSERT_TRUE(StartAndSync());
        QApplication::setActiveWindow(mWindow->Widget());
        mDemo.amplifier->ClearReceived();
    }
    void TearDown() override {
        MainWindowTest::TearDown();
        mRecord.reset();
    }

    model::Profile& Profile() { return mWindow->Manager().WorkingProfile(); }
    void PutChannel(int c, int bypass, float noise, float ratio, int attack, int release,
                    float knee) {
        Profile().compressorBypass[c] = bypass;
        Profile().compressorNoise[c] = noise;
        Profile().compressorRatio[c] = ratio;
        Profile().compressorAttack[c] = attack;
        Profile().compressorRelease[c] = release;
        Profile().compressorSoftKnee[c] = knee;
    }

    // A drag of the slider's handle with Shift held: one step every few
    // pixels, from where the handle stood.
    static void FineDrag(toolkit::Window& window, const std::string& name, int pixels) {
        auto* slider = qobject_cast<QSlider*>(Widget(window, name));
        ASSERT_NE(slider, nullptr) << name;
        const bool upright = slider->orientation() == Qt::Vertical;
        const QPoint start(slider->width() / 2, slider->height() / 2);
        const QPoint end = start + (upright ? QPoint(0, -pixels) : QPoint(pixels, 0));
        Mouse(slider, QEvent::MouseButtonPress, start);
        Mouse(slider, QEvent::MouseMove, end);
        Mouse(slider, QEvent::MouseButtonRelease, end);
    }
    static void Mouse(QWidget* widget, QEvent::Type type, QPoint at) {
        const Qt::MouseButtons held =
            type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, QPointF(at), widget->mapToGlobal(QPointF(at)), Qt::LeftButton, held,
                          Qt::ShiftModifier);
        QApplication::sendEvent(widget, &event);
    }
    virtual_device::CompressorState Kept(int c) { return Amp().channels[c].compressor; }
    virtual_device::Compressor2State Kept2(int c) { return Amp().channels[c].compressor2; }

    // Runs the steps in the windows as they come up, opening the first with
    // `open` (which returns when it closed).
    bool Run(std::vector<testing::ModalScript::Step> steps, const std::function<void()>& open) {
        testing::ModalScript script;
        script.Play(std::move(steps));
        open();
        return script.PlayedAll();
    }

    std::optional<app::ScopedModelCfg> mRecord;
};

TEST_F(CompressorWindowsTest, TheCompressorWindowSendsEveryChangeOfTheCurrentOutput) {
    Profile().currOutChannel = 2;
    PutChannel(2, 0, -20.0f, 4.0f, 100, 1000, 6.0f);
    const auto before = Amp();
    ASSERT_TRUE(Run({{kCompressorTitle,
                      [&](toolkit::Window& w) {
                          auto& window = dynamic_cast<CCompressorWnd&>(w);
                          QApplication::setActiveWindow(window.Widget());
                          EXPECT_EQ(window.ClassName(), "CustomEqWnd");
                          ASSERT_NE(window.Curve(), nullptr);
                          EXPECT_EQ(Text(window, "edit_noise"), "-20.0dB");
                          EXPECT_EQ(Value(window, "slider_noise"), -200);
                          EXPECT_EQ(Text(window, "edit_release_time"), "1000ms");
                          EXPECT_FALSE(window.Find("btn_bp")->Selected());
                          EXPECT_DOUBLE_EQ(window.Curve()->View().shape.thresholdDb, -20.0);
                          EXPECT_FALSE(window.Curve()->View().bypassed);

                          // A typed threshold: -75 dB is 25 above the device's -100.
                          Type(window, "edit_noise", "-75");
                          Idle();
                          EXPECT_EQ(Text(window, "edit_noise"), "-75.0dB");
                          EXPECT_EQ(Value(window, "slider_noise"), -750);
                          EXPECT_EQ(Kept(2).thresholdInteger, 25);
                          EXPECT_EQ(Kept(2).thresholdTenths, 0);
                          EXPECT_EQ(Kept(2).ratioInteger, 4);
                          EXPECT_EQ(Kept(2).attack, 100);
                          EXPECT_EQ(Kept(2).kneeInteger, 6);
                          EXPECT_DOUBLE_EQ(window.Curve()->View().shape.thresholdDb, -75.0);

                          // Garbage changes nothing; a value beyond the slider is held at its end.
                          const size_t sent = SetsOf(device::DSP_COMPRESSOR_SETTING);
                          Type(window, "edit_ratio", "abc");
                          Idle();
                          EXPECT_EQ(Text(window, "edit_ratio"), "4.0");
                          EXPECT_EQ(SetsOf(device::DSP_COMPRESSOR_SETTING), sent);
                          Type(window, "edit_attack_time", "99999");
                          Idle();
                          EXPECT_EQ(Text(window, "edit_attack_time"), "5000ms");
                          EXPECT_EQ(Kept(2).attack, 5000);

                          // Arrow keys step the focused edit.
                          Key(window, "edit_release_time", Qt::Key_Up);
                          Key(window, "edit_soft_knee", Qt::Key_Down);
                          Idle();
                          EXPECT_EQ(Text(window, "edit_release_time"), "1100ms");
                          EXPECT_EQ(Kept(2).release, 1100);
                          EXPECT_EQ(Text(window, "edit_soft_knee"), "5.9dB");
                          EXPECT_EQ(Kept(2).kneeInteger, 5);
                          EXPECT_EQ(Kept(2).kneeTenths, 9);
                          EXPECT_NEAR(window.Curve()->View().shape.kneeDb, 5.9, 1e-6);

                          // A drag of the ratio's slider, and the curve redrawn with it.
                          window.Curve()->grab();
                          const QImage curveBefore = window.Curve()->grab().toImage();
                          FineDrag(window, "slider_ratio", 24);
                          Idle();
                          const int ratio = Value(window, "slider_ratio");
                          EXPECT_GT(ratio, 40);
                          char shown[16];
                          std::snprintf(shown, sizeof shown, "%.1f", ratio / 10.0);
                          EXPECT_EQ(Text(window, "edit_ratio"), shown);
                          EXPECT_TRUE(Focused(window, "edit_ratio"));
                          EXPECT_EQ(Kept(2).ratioInteger, ratio / 10);
                          EXPECT_EQ(Kept(2).ratioTenths, ratio % 10);
                          EXPECT_NEAR(window.Curve()->View().shape.ratio, ratio / 10.0, 1e-6);
                          EXPECT_NE(window.Curve()->grab().toImage(), curveBefore);

                          // Right from the soft knee goes round to the threshold.
                          Key(window, "edit_soft_knee", Qt::Key_Right);
                          EXPECT_TRUE(Focused(window, "edit_noise"));
                          Key(window, "edit_noise", Qt::Key_Left);
                          EXPECT_TRUE(Focused(window, "edit_soft_knee"));

                          // The bypass is shown, not changed here.
                          const size_t beforeClick = SetsOf(device::DSP_COMPRESSOR_SETTING);
                          Click(window, "btn_bp");
                          Idle();
                          EXPECT_FALSE(window.Find("btn_bp")->Selected());
                          EXPECT_EQ(Profile().compressorBypass[2], 0);
                          EXPECT_EQ(SetsOf(device::DSP_COMPRESSOR_SETTING), beforeClick);
                          Click(window, "confirm_btn");
                      }}},
                    [&] { mWindow->Manager().OpenCompressorWindow(); }));
    // Only output 2 changed.
    const auto after = Amp();
    EXPECT_EQ(after.channels[1].compressor.attack, before.channels[1].compressor.attack);
    EXPECT_EQ(after.channels[3].compressor.thresholdInteger,
              before.channels[3].compressor.thresholdInteger);
    EXPECT_FLOAT_EQ(Profile().compressorNoise[2], -75.0f);
    EXPECT_EQ(Profile().compressorAttack[2], 5000);
}

TEST_F(CompressorWindowsTest, ABypassedOutputShowsItsCurveGreyed) {
    Profile().currOutChannel = 5;
    PutChannel(5, 1, -30.0f, 8.0f, 20, 500, 0.0f);
    ASSERT_TRUE(Run({{kCompressorTitle,
                      [&](toolkit::Window& w) {
                          auto& window = dynamic_cast<CCompressorWnd&>(w);
                          EXPECT_TRUE(window.Find("btn_bp")->Selected());
                          EXPECT_EQ(window.Find("btn_bp")->Text(), "${ui_compressor_bypass_on}");
                          ASSERT_NE(window.Curve(), nullptr);
                          EXPECT_TRUE(window.Curve()->View().bypassed);
                          Type(window, "edit_noise", "-12.5");
                          Idle();
                          // The stored bypass goes with the change.
                          EXPECT_EQ(Kept(5).bypass, 1);
                          EXPECT_EQ(Kept(5).thresholdInteger, 87);
                          EXPECT_EQ(Kept(5).thresholdTenths, 5);
                          EXPECT_TRUE(window.Curve()->View().bypassed);
                          testing::SaveScreenshot(window, "compressor_bypassed_en_100");
                          Click(window, "closebtn");
                      }}},
                    [&] { mWindow->Manager().OpenCompressorWindow(); }));
}

TEST_F(CompressorWindowsTest, TheColumnsWindowSendsEachColumnsValues) {
    for (int c = 0; c < 10; ++c) {
        PutChannel(c, 1, -20.0f, 1.0f, 10, 1000, 0.0f);
    }
    ASSERT_TRUE(Run({{kColumnsTitle,
                      [&](toolkit::Window& window) {
                          QApplication::setActiveWindow(window.Widget());
                          EXPECT_EQ(window.ClassName(), "CompressorsOnWnd");
                          EXPECT_EQ(OpenCompressorsOnWnd(), &window);
                          for (int c = 0; c < 10; ++c) {
                              EXPECT_TRUE(window.Find("column_" + std::to_string(c))->Visible());
                          }
                          // -75 dB is beyond the slider: -60 dB is shown and sent.
                          Type(window, "edit_threshold_4", "-75");
                          Idle();
                          EXPECT_EQ(Text(window, "edit_threshold_4"), "-60.0dB");
                          EXPECT_EQ(Value(window, "slider_threshold_4"), -600);
                          EXPECT_EQ(Kept2(4).thresholdInteger, -60);
                          EXPECT_EQ(Kept2(4).thresholdTenths, 0);
                          EXPECT_EQ(Kept2(3).thresholdInteger,
                                    virtual_device::Compressor2State{}.thresholdInteger);

                          // A step up from 995 loses the remainder and ends at 1000.
                          Type(window, "edit_attack_time_6", "995");
                          Key(window, "edit_attack_time_6", Qt::Key_Up);
                          Idle();
                          EXPECT_EQ(Text(window, "edit_attack_time_6"), "1000ms");
                          EXPECT_EQ(Kept2(6).attack, 1000);

                          // Garbage keeps the column's value.
                          const size_t sent = SetsOf(device::DSP_COMPRESSOR_SETTING2);
                          Type(window, "edit_release_time_0", "soon");
                          Idle();
                          EXPECT_EQ(Text(window, "edit_release_time_0"), "1000ms");
                          EXPECT_EQ(SetsOf(device::DSP_COMPRESSOR_SETTING2), sent);

                          // An upright slider dragged: its edit and the amplifier follow.
                          FineDrag(window, "slider_release_time_1", 20);
                          Idle();
                          const int release = Value(window, "slider_release_time_1");
                          EXPECT_GT(release, 1000);
                          EXPECT_EQ(Text(window, "edit_release_time_1"),
                                    std::to_string(release) + "ms");
                          EXPECT_EQ(Kept2(1).releaseSeconds, release / 1000);
                          EXPECT_EQ(Kept2(1).releaseTenths, release / 100 % 10);

                          // A column's box switches its output's compressor.
                          ASSERT_TRUE(window.Find("box_enable_3")->Selected());
                          Click(window, "box_enable_3");
                          Idle();
                          EXPECT_FALSE(Profile().channels[3].compressorOn);
                          EXPECT_EQ(Amp().channels[3].compressorOn, 0);
                          EXPECT_EQ(Amp().channels[2].compressorOn, 1);

                          // Right from the last release goes to the first threshold.
                          Key(window, "edit_release_time_9", Qt::Key_Right);
                          EXPECT_TRUE(Focused(window, "edit_threshold_0"));
                          Key(window, "edit_threshold_9", Qt::Key_Right);
                          EXPECT_TRUE(Focused(window, "edit_attack_time_0"));
                          Click(window, "confirm_btn");
                      }}},
                    [&] { mWindow->Manager().OpenCompressorsOnWindow(); }));
    EXPECT_EQ(OpenCompressorsOnWnd(), nullptr);
}

TEST_F(CompressorWindowsTest, EveryWayOfClosingTheWindows) {
    struct Way {
        const char* title;
        const char* button;  // nullptr: the system's close
        int code;
    };
    const Way ways[] = {
        {kCompressorTitle, "closebtn", 0}, {kCompressorTitle, "confirm_btn", 1},
        {kCompressorTitle, nullptr, 0},    {kColumnsTitle, "closebtn", 0},
        {kColumnsTitle, "confirm_btn", 1}, {kColumnsTitle, nullptr, 0},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(std::string(way.title) + " " + (way.button ? way.button : "system close"));
        int code = -1;
        const bool compressor = std::string(way.title) == kCompressorTitle;
        EXPECT_TRUE(Run({{way.title,
                          [&](toolkit::Window& window) {
                              if (way.button != nullptr) {
                                  Click(window, way.button);
                              } else {
                                  window.Widget()->close();
                              }
                          }}},
                        [&] {
                            code = compressor
                                       ? OpenCompressorWindow(mWindow.get(), mWindow->Manager())
                                       : OpenCompressorsOnWindow(mWindow.get(), mWindow->Manager());
                        }));
        EXPECT_EQ(code, way.code);
    }
    // The compressor window's minimise button only minimises it.
    int code = -1;
    EXPECT_TRUE(Run({{kCompressorTitle,
                      [&](toolkit::Window& window) {
                          Click(window, "minbtn");
                          EXPECT_TRUE(
                              WaitFor([&] { return window.Widget()->isMinimized(); }, 2000));
                          EXPECT_TRUE(window.IsRunningModal());
                          window.Widget()->showNormal();
                          Click(window, "closebtn");
                      }}},
                    [&] { code = OpenCompressorWindow(mWindow.get(), mWindow->Manager()); }));
    EXPECT_EQ(code, 0);
}

TEST_F(CompressorWindowsTest, EveryTextFitsAtEveryScaleAndLanguage) {
    Profile().currOutChannel = 1;
    PutChannel(1, 0, -24.0f, 4.0f, 30, 800, 12.0f);
    const auto& languages = testing::kEveryLanguage;
    for (int scale : {100, 125, 150}) {
        for (const auto& [language, stored] : languages) {
            SwitchLanguage(language, stored);
            const std::string what = language.substr(0, 2) + "_" + std::to_string(scale);
            SetDisplayScale(scale);
            CCompressorWnd compressor(mWindow->Manager());
            compressor.Prepare(mWindow.get());
            CCompressorsOnWnd columns(mWindow->Manager());
            columns.Prepare(mWindow.get());
            SetDisplayScale(100);
            EXPECT_EQ(compressor.Scale(), scale);
            EXPECT_EQ(columns.Scale(), scale);
            compressor.Show();
            columns.Show();
            testing::ExpectEverythingFits(compressor, "compressor " + what);
            testing::ExpectEverythingFits(columns, "compressors on " + what);
            testing::SaveScreenshot(compressor, "compressor_" + what);
            testing::SaveScreenshot(columns, "compressors_on_" + what);
            compressor.Close(0);
            columns.Close(0);
        }
    }
    SwitchLanguage("en", "0");
}

// A model with eight outputs: the last two columns are hidden and the window
// is two columns narrower, its buttons still inside.
class EightOutputCompressorsTest : public CompressorWindowsTest {
protected:
    void SetUp() override {
        app::ModelCfg record = test_support::FeaturesOnRecord();
        record.mOUT_CHANNEL_NUMBER = 8;
        mEight.emplace(record);
        CompressorWindowsTest::SetUp();
    }
    void TearDown() override {
        CompressorWindowsTest::TearDown();
        mEight.reset();
    }
    std::optional<app::ScopedModelCfg> mEight;
};

TEST_F(EightOutputCompressorsTest, HidesTheColumnsPastTheOutputs) {
    int fullWidth = 0;
    {
        // The layout's own width, for comparison.
        toolkit::Window plain("plain", "plain");
        plain.Create(mWindow.get(), "XML_COMPRESSORS_ON");
        fullWidth = plain.Widget()->width();
        plain.Close(0);
    }
    ASSERT_TRUE(Run(
        {{kColumnsTitle,
          [&](toolkit::Window& window) {
              QApplication::setActiveWindow(window.Widget());
              for (int c = 0; c < 10; ++c) {
                  EXPECT_EQ(window.Find("column_" + std::to_string(c))->Visible(), c < 8) << c;
              }
              const int pitch =
                  window.Find("column_1")->Widget()->x() - window.Find("column_0")->Widget()->x();
              EXPECT_EQ(window.Widget()->width(), fullWidth - 2 * pitch);
              for (const char* name : {"confirm_btn", "closebtn"}) {
                  QWidget* button = window.Find(name)->Widget();
                  const QRect inWindow(button->mapTo(window.Widget(), QPoint(0, 0)),
                                       button->size());
                  EXPECT_TRUE(window.Widget()->rect().contains(inWindow)) << name;
              }
              testing::ExpectEverythingFits(window, "eight outputs");
              testing::SaveScreenshot(window, "compressors_on_eight_outputs_en_100");
              // Right from the last shown column's release goes round.
              Key(window, "edit_release_time_7", Qt::Key_Right);
              EXPECT_TRUE(Focused(window, "edit_threshold_0"));
              Type(window, "edit_threshold_7", "-7.5");
              Idle();
              EXPECT_EQ(Kept2(7).thresholdInteger, -7);
              EXPECT_EQ(Kept2(7).thresholdTenths, -5);
              Click(window, "closebtn");
          }}},
        [&] { mWindow->Manager().OpenCompressorsOnWindow(); }));
}

// This model's own record switches the compressors off: neither window opens.
class CompressorsOffTest : public testing::MainWindowTest {};

TEST_F(CompressorsOffTest, TheModelsOwnRecordKeepsTheWindowsShut) {
    ASSERT_TRUE(StartAndSync());
    ASSERT_FALSE(app::CurrentModelCfg().mENABLE_COMPRESSOR);
    bool opened = false;
    testing::ModalScript script;
    script.Play({{kCompressorTitle,
                  [&](toolkit::Window& window) {
                      opened = true;
                      window.Close(0);
                  }},
                 {kColumnsTitle, [&](toolkit::Window& window) {
                      opened = true;
                      window.Close(0);
                  }}});
    mWindow->Manager().OpenCompressorWindow();
    mWindow->Manager().OpenCompressorsOnWindow();
    Idle();
    EXPECT_FALSE(opened);
    EXPECT_EQ(OpenCompressorsOnWnd(), nullptr);
}

}  // namespace
}  // namespace ui
