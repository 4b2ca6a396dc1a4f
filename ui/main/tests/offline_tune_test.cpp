// Tuning with no amplifier connected, then connecting one: the question, and
// what each answer leaves on the amplifier, in the window and on disk.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <filesystem>
#include <string>

#include "device/dsp_subcommands.h"
#include "device/packet.h"
#include "dialog_driving.h"
#include "main_window_fixture.h"
#include "modal_script.h"
#include "model/profile_file.h"
#include "ui/skin/languages.h"

namespace ui {
namespace {

using testing::MainWindowTest;
using testing::WaitFor;

constexpr int kSendMine = 1;
constexpr int kKeepTheAmplifiers = 2;

class OfflineTuneTest : public MainWindowTest {
protected:
    void Connect() {
        ASSERT_TRUE(StartAndSync());
        mWindow->Manager().SetAutoSaveFolder(mFolder.path().toStdString() + "/");
        QApplication::setActiveWindow(mWindow->Widget());
        ASSERT_TRUE(QTest::qWaitForWindowActive(mWindow->Widget()));
    }
    // Disconnects, then tunes output 3 (typing its trim makes it the current
    // output): the trim and a band.
    void TuneOffline() {
        // A box that was answered took the activation; typing needs it back.
        QApplication::setActiveWindow(mWindow->Widget());
        ASSERT_TRUE(QTest::qWaitForWindowActive(mWindow->Widget()));
        mBefore = Amp();
        testing::dialog::Click(*mWindow, "btnConnect");
        ASSERT_TRUE(WaitFor([&] { return !mWindow->Manager().IsSynchronised(); }, 5000));
        testing::dialog::Type(*mWindow, "edit_ch_volume_3", "-9");
        testing::dialog::Type(*mWindow, "eq_gain_4", "3.5");
        QApplication::processEvents();
        ASSERT_EQ(mWindow->Manager().WorkingProfile().channels[3].gain, -9.0f);
        ASSERT_FLOAT_EQ(mWindow->Manager().WorkingProfile().eqArray(3)[4].eqGain, 3.5f);
        ASSERT_TRUE(Amp() == mBefore) << "nothing reaches an amplifier that is not connected";
        ASSERT_TRUE(mWindow->Manager().HasOfflineTune());
    }
    // Connects again and answers the question; `look` sees the box first.
    void ConnectAndAnswer(int answer, const std::function<void(toolkit::Window&)>& look = {}) {
        mDemo.amplifier->ClearReceived();
        testing::BoxAnswerer boxes(mWindow.get());
        boxes.Expect(answer, {answer == kSendMine ? "check_box_0" : "check_box_1", "confirm_btn"},
                     [&] {
                         toolkit::Window* box = testing::TopModalWindow();
                         if (box == nullptr) {
                             return false;
                         }
                         if (look) {
                             look(*box);
                         }
                         return true;
                     });
        testing::dialog::Click(*mWindow, "btnConnect");
        ASSERT_TRUE(WaitFor([&] {
            return boxes.Answered(1) && mWindow->Manager().IsSynchronised() &&
                   !mWindow->IsLoadingShown();
        }));
        ASSERT_TRUE(WaitQueueIdle());
        EXPECT_TRUE(boxes.Saw(toolkit::Translate("${offline_tune_question}")));
        EXPECT_FALSE(mWindow->Manager().HasOfflineTune());
    }
    size_t AllSets() {
        size_t sets = 0;
        for (const auto& report : mDemo.amplifier->ReceivedReports()) {
            sets +=
                report.size() > 6 && report[4] == device::CMD_DSP && report[6] == device::OP_SET;
        }
        return sets;
    }

    QTemporaryDir mFolder;
    virtual_device::AmplifierState mBefore;
};

TEST_F(OfflineTuneTest, SendingMyTuneSendsOnlyWhatDiffers) {
    Connect();
    TuneOffline();
    ConnectAndAnswer(kSendMine);
    // The difference goes behind the loading window, which opens from a message.
    ASSERT_TRUE(WaitFor(
        [&] {
            const virtual_device::AmplifierState amp = Amp();
            return amp.channels[3].trimAttenuation == 9 &&
                   amp.channels[3].eq[4] != mBefore.channels[3].eq[4];
        },
        5000));
    ASSERT_TRUE(WaitFor([&] { return !mWindow->IsLoadingShown(); }, 5000));
    virtual_device::AmplifierState expected = mBefore;
    expected.channels[3].trimAttenuation = 9;
    expected.channels[3].trimHundredths = 0;
    const virtual_device::AmplifierState now = Amp();
    expected.channels[3].eq[4] = now.channels[3].eq[4];
    EXPECT_TRUE(now == expected) << "the rest of the amplifier is as it was";
    EXPECT_NE(now.channels[3].eq[4], mBefore.channels[3].eq[4]);
    EXPECT_EQ(AllSets(), 2u) << "one trim and one band";
    EXPECT_EQ(Control("edit_ch_volume_3").Text(), "-9dB");
    EXPECT_FALSE(mWindow->Manager().CanUndo()) << "the amplifier's state starts a new history";
}

TEST_F(OfflineTuneTest, KeepingTheAmplifiersSendsNothingAndKeepsMyTuneInAFile) {
    Connect();
    TuneOffline();
    ConnectAndAnswer(kKeepTheAmplifiers);
    EXPECT_TRUE(Amp() == mBefore);
    EXPECT_EQ(AllSets(), 0u);
    EXPECT_NE(Control("edit_ch_volume_3").Text(), "-9dB");
    auto kept = std::make_unique<model::Profile>();
    ASSERT_TRUE(
        model::ProfileFile().readSceneProfile(mWindow->Manager().OfflineTuneFile(), *kept, false));
    EXPECT_EQ(kept->channels[3].gain, -9.0f);
    EXPECT_FLOAT_EQ(kept->eqArray(3)[4].eqGain, 3.5f);
}

TEST_F(OfflineTuneTest, ClosingWithNoTuneMadeOfflineWritesNoFile) {
    Connect();
    const std::string file = mWindow->Manager().OfflineTuneFile();
    mWindow->CloseProgram();  // connected, no tune made offline: no file
    EXPECT_FALSE(std::filesystem::exists(file));
}

TEST_F(OfflineTuneTest, ClosingTheProgramAfterTuningOfflineKeepsTheTune) {
    Connect();
    TuneOffline();
    mWindow->CloseProgram();
    auto kept = std::make_unique<model::Profile>();
    ASSERT_TRUE(
        model::ProfileFile().readSceneProfile(mWindow->Manager().OfflineTuneFile(), *kept, false));
    EXPECT_EQ(kept->channels[3].gain, -9.0f);
    EXPECT_FLOAT_EQ(kept->eqArray(3)[4].eqGain, 3.5f);
    EXPECT_FALSE(mWindow->Manager().HasOfflineTune());
}

TEST_F(OfflineTuneTest, ATuneUndoneOfflineToTheAmplifiersAsksNothing) {
    Connect();
    TuneOffline();
    Keys(Qt::Key_Z, Qt::ControlModifier);
    Keys(Qt::Key_Z, Qt::ControlModifier);
    testing::BoxAnswerer boxes(mWindow.get());
    testing::dialog::Click(*mWindow, "btnConnect");
    ASSERT_TRUE(
        WaitFor([&] { return mWindow->Manager().IsSynchronised() && !mWindow->IsLoadingShown(); }));
    Idle();
    EXPECT_TRUE(boxes.Texts().empty()) << "the tune is the amplifier's again";
    EXPECT_TRUE(Amp() == mBefore);
}

TEST_F(OfflineTuneTest, TheQuestionFitsAtEveryScaleInEveryLanguage) {
    for (int scale : {100, 125, 150}) {
        ASSERT_TRUE(RestartAt(scale));
        SetDisplayScale(scale);  // for the boxes; the fixture put it back to 100
        mWindow->Manager().SetAutoSaveFolder(mFolder.path().toStdString() + "/");
        QApplication::setActiveWindow(mWindow->Widget());
        ASSERT_TRUE(QTest::qWaitForWindowActive(mWindow->Widget()));
        for (const auto& [language, stored] : testing::kEveryLanguage) {
            SwitchLanguage(language, stored);
            TuneOffline();
            const std::string what = "offline_question_" + language + "_" + std::to_string(scale);
            ConnectAndAnswer(kKeepTheAmplifiers, [&](toolkit::Window& box) {
                QApplication::processEvents();
                EXPECT_EQ(box.Scale(), scale);
                testing::ExpectEverythingFits(box, what);
                testing::SaveScreenshot(box, what);
            });
        }
    }
    SetDisplayScale(100);
    SwitchLanguage("en", "0");
}

}  // namespace
}  // namespace ui
