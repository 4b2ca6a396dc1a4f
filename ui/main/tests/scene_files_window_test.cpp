// Profile files and auto save through the running main window: the scene
// menu's file items with the file the test picks, the auto-save option and
// its minute timer, the slot buttons, and the loading window's progress.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QTimer>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>
#include <vector>

#include "main_window_fixture.h"
#include "model/profile_file.h"
#include "testkit/temp_dir.h"
#include "toolkit/popup_menu.h"
#include "toolkit/skin_widgets.h"
#include "ui/dialogs/loading_window.h"

namespace ui {
namespace {

using testing::MainWindowTest;
using testing::WaitFor;

class SceneFilesWindowTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        mWindow->SetFileChooser([this](const controller::FileDialogRequest& request) {
            mRequests.push_back(request);
            return mChosen;
        });
        // Message boxes are answered as they open, and their texts kept.
        QObject::connect(&mCloser, &QTimer::timeout, [this] {
            for (toolkit::Window* window : toolkit::window_registry::All()) {
                if (window == mWindow.get() || !window->IsRunningModal() ||
                    window->ClassName() == "LoadingWnd") {
                    continue;
                }
                toolkit::Control* text = window->Find("MessageText");
                mBoxes.push_back(text != nullptr ? text->Text() : "");
                window->Close(1);
            }
        });
        mCloser.start(20);
    }
    void TearDown() override {
        mCloser.stop();
        MainWindowTest::TearDown();
    }
    bool Synchronised() {
        if (!StartAndSync()) {
            return false;
        }
        mWindow->Manager().SetJobWaits({0, 0, 20});
        mWindow->Manager().SetAutoSaveFolder((mDir.path() / "autoSave").string() + "/");
        return true;
    }
    void ClickMenuItem(const char* name) {
        toolkit::MenuClick click{name, "", ""};
        platform::PostMessage(mWindow->Handle(), toolkit::WM_MENU_CLICK, 0, 0,
                              platform::MakeRecord(click));
    }
    // Waits for a job behind the loading window: it opens, then closes.
    bool WaitForJob() {
        WaitFor([&] { return mWindow->IsLoadingShown(); }, 3000);
        return WaitFor([&] { return !mWindow->IsLoadingShown(); }, 20000) && WaitQueueIdle();
    }
    model::Profile Retuned(int seed) {
        model::Profile p = mWindow->Manager().WorkingProfile();
        for (int c = 0; c < 10; ++c) {
            p.channels[c].gain = -static_cast<float>((c + seed) % 20 + 1);
            p.channels[c].delay = static_cast<float>(c + seed) / 2.0f;
        }
        return p;
    }

    testkit::TempWorkingDir mDir;
    QTimer mCloser;
    std::string mChosen;
    std::vector<controller::FileDialogRequest> mRequests;
    std::vector<std::string> mBoxes;
};

TEST_F(SceneFilesWindowTest, TheSceneMenuLoadsASceneFileIntoTheAmplifierAndTheView) {
    ASSERT_TRUE(Synchronised());
    auto* sceneButton = qobject_cast<QAbstractButton*>(Control("btn_scene").Widget());
    ASSERT_NE(sceneButton, nullptr);
    sceneButton->click();
    ASSERT_NE(mWindow->OpenMenu(), nullptr);
    ASSERT_TRUE(mWindow->OpenMenu()->IsOpen());
    toolkit::ControlHandle* loadScene = mWindow->OpenMenu()->FindItem("scene_item_load_scene");
    ASSERT_NE(loadScene, nullptr);
    EXPECT_TRUE(loadScene->Enabled());  // a device is connected
    mWindow->OpenMenu()->CloseMenu();

    const model::Profile tune = Retuned(3);
    ASSERT_TRUE(model::ProfileFile().writeSceneProfile(tune, mDir.path() / "tune.spf", false));
    mChosen = (mDir.path() / "tune.spf").string();
    qobject_cast<QAbstractButton*>(Control("ch_mute_2").Widget())->click();
    ASSERT_TRUE(mWindow->Manager().CanUndo());
    ClickMenuItem("scene_item_load_file");
    ASSERT_TRUE(WaitForJob());
    Idle();
    EXPECT_FALSE(mWindow->Manager().CanUndo()) << "no step of before applies to the file's tune";
    for (int c = 0; c < 10; ++c) {
        EXPECT_EQ(Amp().channels[c].trimAttenuation, static_cast<int>(-tune.channels[c].gain));
        EXPECT_EQ(Amp().channels[c].delayMs * 1000 + Amp().channels[c].delayThousandths,
                  static_cast<int>(tune.channels[c].delay * 1000));
    }
    EXPECT_EQ(Control("edit_ch_volume_5").Text(),
              std::to_string(static_cast<int>(tune.channels[5].gain)) + "dB");
    ASSERT_EQ(mRequests.size(), 1u);
    EXPECT_FALSE(mRequests[0].save);
    EXPECT_TRUE(mBoxes.empty());
}

TEST_F(SceneFilesWindowTest, SavingAWholeConfigurationWritesTheAmplifiersScenes) {
    ASSERT_TRUE(Synchronised());
    for (int k = 1; k <= 10; ++k) {
        virtual_device::AmplifierState slot = Amp();
        slot.channels[1].trimAttenuation = static_cast<uint8_t>(k + 2);
        mDemo.protocol->SetState(k, slot);
        mDemo.protocol->SetName(k, "Slot" + std::to_string(k));
    }
    mChosen = (mDir.path() / "all.wpf").string();
    ClickMenuItem("scene_item_save_whole");
    ASSERT_TRUE(WaitForJob());
    ASSERT_EQ(mBoxes.size(), 1u);
    EXPECT_EQ(mBoxes[0], "${profile_save_ok}");
    ASSERT_EQ(mRequests.size(), 1u);
    EXPECT_TRUE(mRequests[0].save);
    EXPECT_EQ(mRequests[0].defaultExtension, "wpf");

    model::Profile live;
    std::vector<model::Profile> scenes(10);
    std::vector<model::SceneName> names(10);
    ASSERT_TRUE(model::ProfileFile().readWholeConfig(
        mDir.path() / "all.wpf", live, std::span<model::Profile, 10>(scenes.data(), 10),
        std::span<model::SceneName, 10>(names.data(), 10)));
    for (int k = 1; k <= 10; ++k) {
        EXPECT_EQ(scenes[static_cast<size_t>(k - 1)].channels[1].gain, -static_cast<float>(k + 2));
        const std::string name = "Slot" + std::to_string(k);
        EXPECT_EQ(
            std::string(reinterpret_cast<const char*>(names[static_cast<size_t>(k - 1)].data())),
            name);
    }

    // Loading it back puts every scene into the amplifier's slots.
    for (int k = 1; k <= 10; ++k) {
        mDemo.protocol->SetState(k, Amp());
    }
    ClickMenuItem("scene_item_load_whole");
    ASSERT_TRUE(WaitForJob());
    for (int k = 1; k <= 10; ++k) {
        EXPECT_EQ(mDemo.protocol->State(k).channels[1].trimAttenuation, k + 2) << "scene " << k;
    }
}

TEST_F(SceneFilesWindowTest, ABadSceneFileIsRefusedAndTheViewStays) {
    ASSERT_TRUE(Synchronised());
    const std::string before = Control("edit_ch_volume_3").Text();
    std::ofstream(mDir.path() / "bad.spf") << "{\"model\":94,\"source\":\"x\"}";
    mChosen = (mDir.path() / "bad.spf").string();
    const uint64_t sent = mDemo.amplifier->ReceivedCount();
    ClickMenuItem("scene_item_load_file");
    ASSERT_TRUE(WaitFor([&] { return !mBoxes.empty(); }, 3000));
    EXPECT_EQ(mBoxes[0], "${profile_load_error}");
    Idle();
    EXPECT_FALSE(mWindow->IsLoadingShown());
    EXPECT_EQ(Control("edit_ch_volume_3").Text(), before);
    EXPECT_EQ(mDemo.amplifier->ReceivedCount(), sent);
}

TEST_F(SceneFilesWindowTest, TheAutoSaveOptionSavesEveryTickAndASlotButtonLoadsIt) {
    ASSERT_TRUE(Synchronised());
    int minute = 5;
    mWindow->Manager().SetLocalClock([&] {
        return controller::EqualizerManager::LocalTime{9, minute++};
    });
    EXPECT_FALSE(Control("autoSave0").Enabled()) << "an empty slot offers nothing to load";
    auto* option = qobject_cast<QAbstractButton*>(Control("enableAutoSave").Widget());
    ASSERT_NE(option, nullptr);
    option->click();
    ASSERT_TRUE(WaitFor([&] { return mWindow->HasTimer(controller::STATUS_ATUO_SAVE_TIMER); }));
    EXPECT_TRUE(std::filesystem::exists(mDir.path() / "autoSave" / "0905.spf"));
    EXPECT_EQ(Control("autoSave0").Text(), "09:05");
    EXPECT_TRUE(Control("autoSave0").Enabled());
    EXPECT_FALSE(Control("autoSave1").Enabled());
    const model::Profile saved = mWindow->Manager().WorkingProfile();

    // The minute timer, run faster: each tick saves into the next slot.
    mWindow->SetTimer(controller::STATUS_ATUO_SAVE_TIMER, 30);
    ASSERT_TRUE(WaitFor([&] { return Control("autoSave2").Text() == "09:07"; }, 5000));
    option->click();  // off: the timer stops
    EXPECT_FALSE(mWindow->HasTimer(controller::STATUS_ATUO_SAVE_TIMER));
    EXPECT_TRUE(std::filesystem::exists(mDir.path() / "autoSave" / "0906.spf"));

    // Change a trim, then go back to the scene saved at 09:05.
    mWindow->Manager().SetChVolumeUp(2, false);
    ASSERT_TRUE(WaitQueueIdle());
    ASSERT_NE(Amp().channels[2].trimAttenuation, static_cast<int>(-saved.channels[2].gain));
    auto* slot = qobject_cast<QAbstractButton*>(Control("autoSave0").Widget());
    ASSERT_NE(slot, nullptr);
    slot->click();
    ASSERT_TRUE(WaitForJob());
    EXPECT_EQ(Amp().channels[2].trimAttenuation, static_cast<int>(-saved.channels[2].gain));
    EXPECT_EQ(mWindow->Manager().WorkingProfile().channels[2].gain, saved.channels[2].gain);

    // A slot never used loads nothing.
    auto* unused = qobject_cast<QAbstractButton*>(Control("autoSave9").Widget());
    ASSERT_NE(unused, nullptr);
    EXPECT_EQ(Control("autoSave9").Text(), "--:--");
    unused->click();
    Idle();
    EXPECT_FALSE(mWindow->IsLoadingShown());
    EXPECT_TRUE(mBoxes.empty());
}

// The loading window with a job part way through, in every language and at
// every scale, for looking at.
TEST_F(SceneFilesWindowTest, LoadingWindowProgressScreenshots) {
    const auto& languages = testing::kEveryLanguage;
    ASSERT_TRUE(StartAndSync());
    for (int scale : {100, 125, 150}) {
        for (const auto& [language, stored] : languages) {
            SwitchLanguage(language, stored);
            SetDisplayScale(scale);
            CLoadingWnd loading;
            loading.Prepare(mWindow.get());
            SetDisplayScale(100);
            EXPECT_EQ(loading.Scale(), scale);
            loading.Show();
            auto* spinner =
                dynamic_cast<toolkit::CircleProgress*>(loading.Find("loading_progress")->Widget());
            ASSERT_NE(spinner, nullptr);
            EXPECT_TRUE(spinner->Spinning()) << "no share is shown before the job reports one";
            loading.SetProgress(127, 340);
            EXPECT_FALSE(spinner->Spinning());
            Idle();
            toolkit::Control* count = loading.Find("loading_count");
            ASSERT_NE(count, nullptr);
            EXPECT_TRUE(count->Visible());
            char expected[64];
            std::snprintf(expected, sizeof expected,
                          toolkit::Translate("${ui_loading_progress}").c_str(), 127, 340);
            EXPECT_EQ(count->Text(), expected);
            toolkit::Control* bar = loading.Find("loading_bar");
            ASSERT_NE(bar, nullptr);
            EXPECT_EQ(bar->Value(), 127);
            EXPECT_EQ(bar->Maximum(), 340);
            // The ring stops turning and shows the share done.
            toolkit::Control* ring = loading.Find("loading_progress");
            ASSERT_NE(ring, nullptr);
            EXPECT_EQ(ring->Value(), 127 * 100 / 340);
            testing::SaveScreenshot(
                loading, "loading_progress_" + language.substr(0, 2) + "_" + std::to_string(scale));
            loading.Close(0);
        }
        SwitchLanguage("en", "0");
    }
}

}  // namespace
}  // namespace ui
