// The calibration window before, during and after a run over the simulated
// car, in every language at every display scale: every text fits and no
// control overlaps another, and the screenshots are kept for looking at.
#include "auto_cal_fixture.h"
#include "ui/skin/languages.h"

namespace ui {
namespace {

using testing::AutoCalTest;
using testing::BoxAnswerer;
using testing::TopModalWindow;
using testing::WaitFor;

class AutoCalScreensTest : public AutoCalTest {
protected:
    void SetUp() override {
        mRunSpeedUp = 20;
        AutoCalTest::SetUp();
    }
};

TEST_F(AutoCalScreensTest, TheWindowBeforeDuringAndAfterARunInEveryLanguageAndScale) {
    const auto& languages = testing::kEveryLanguage;
    BoxAnswerer boxes(mWindow.get());
    for (int scale : {100, 125, 150}) {
        for (const auto& [language, stored] : languages) {
            SwitchLanguage(language, stored);
            const std::string what = language.substr(0, 2) + "_" + std::to_string(scale);
            SCOPED_TRACE(what);
            SetDisplayScale(scale);
            ASSERT_TRUE(InCalibrationWindow([&](CAutoCalWnd& window) {
                SetDisplayScale(100);
                EXPECT_EQ(window.Scale(), scale);
                testing::ExpectEverythingFits(window, "calibration before " + what);
                testing::SaveScreenshot(window, "auto_cal_before_" + what);
                // Four channels: the front speakers and the rear pair.
                for (int c = 0; c < 8; ++c) {
                    SetOption(window, "ch_checkbox_" + std::to_string(c),
                              c < 2 || c == 4 || c == 5);
                }
                boxes.Expect(1, {"confirm_btn"}, testing::AMessageBoxIsUp);
                Click(window, "start_auto_cal");
                // Two channels measured, the others still to come.
                ASSERT_TRUE(WaitFor([&] { return window.Panel()->Curves().Measured(1); }))
                    << "tips: " << Shown(window, "tips") << ", status "
                    << window.Panel()->State().mIrcStatus.load() << ", running "
                    << window.Panel()->State().mIrcRunning.load();
                testing::ExpectEverythingFits(window, "calibration during " + what);
                testing::SaveScreenshot(window, "auto_cal_during_" + what);
                ASSERT_TRUE(WaitFor([&] { return RunEnded(window); }));
                Idle();  // the last progress report
                testing::ExpectEverythingFits(window, "calibration after " + what);
                testing::SaveScreenshot(window, "auto_cal_after_" + what);
                Click(window, "irc_cancel_data");
                Click(window, "closebtn");
            }));
            WaitFor(
                [&] { return mWindow->Manager().IsSynchronised() && !mWindow->IsLoadingShown(); });
        }
    }
    SwitchLanguage("en", "0");
}

}  // namespace
}  // namespace ui
