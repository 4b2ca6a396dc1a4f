// Auto save: the minute timer writes "HHMM.spf" of the local time, the ten
// slot buttons take the times in turn, and a slot's button loads its file
// into the working profile, and into the amplifier when one is connected.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "profile_flow_fixture.h"

namespace test_support {
namespace {

using AutoSaveTest = ProfileFlowTest;

std::filesystem::path Saved(const std::filesystem::path& dir, const char* stamp) {
    return dir / "autoSave" / (std::string(stamp) + ".spf");
}

TEST_F(AutoSaveTest, SwitchingOnSavesAtOnceAndEveryTickAfterInTheNextSlot) {
    EXPECT_FALSE(mPage.TimerRunning(controller::STATUS_ATUO_SAVE_TIMER));
    mPage.Get("autoSave0").SetText("--:--");
    mManager->SetAutoSave(true);
    EXPECT_TRUE(mPage.TimerRunning(controller::STATUS_ATUO_SAVE_TIMER));
    EXPECT_EQ(mPage.TimerPeriod(controller::STATUS_ATUO_SAVE_TIMER), 60000);
    EXPECT_TRUE(std::filesystem::exists(Saved(mDir.path(), "0905")));
    EXPECT_EQ(mPage.Get("autoSave0").Text(), "09:05");

    mNow = {9, 6};
    mManager->OnAutoSaveTimer();
    EXPECT_TRUE(std::filesystem::exists(Saved(mDir.path(), "0906")));
    EXPECT_EQ(mPage.Get("autoSave1").Text(), "09:06");
    EXPECT_EQ(mPage.Get("autoSave0").Text(), "09:05");

    // Ten slots in turn: the eleventh save relabels the first.
    for (int minute = 7; minute <= 15; ++minute) {
        mNow = {23, minute};
        mManager->OnAutoSaveTimer();
    }
    EXPECT_EQ(mPage.Get("autoSave9").Text(), "23:14");
    EXPECT_EQ(mPage.Get("autoSave0").Text(), "23:15");
    EXPECT_TRUE(std::filesystem::exists(Saved(mDir.path(), "2315")));
    // Files are kept; only their buttons move on.
    EXPECT_TRUE(std::filesystem::exists(Saved(mDir.path(), "0905")));

    mManager->SetAutoSave(false);
    EXPECT_FALSE(mPage.TimerRunning(controller::STATUS_ATUO_SAVE_TIMER));
    mNow = {1, 2};
    mManager->OnAutoSaveTimer();
    EXPECT_FALSE(std::filesystem::exists(Saved(mDir.path(), "0102")));
}

TEST_F(AutoSaveTest, TheSavedFileIsTheWorkingProfileAndNoTemporaryIsLeft) {
    ASSERT_TRUE(ConnectAndSync());
    mManager->SetAutoSave(true);
    model::Profile read;
    ASSERT_TRUE(model::ProfileFile().readSceneProfile(Saved(mDir.path(), "0905"), read, false));
    EXPECT_EQ(model::sceneProfileText(read), model::sceneProfileText(mManager->WorkingProfile()));
    // A save in the same minute replaces the file in one piece.
    mManager->OnAutoSaveTimer();
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(mDir.path() / "autoSave")) {
        ++files;
        EXPECT_EQ(entry.path().extension(), ".spf");
    }
    EXPECT_EQ(files, 1);
    EXPECT_EQ(mPage.Get("autoSave1").Text(), "09:05");
}

TEST_F(AutoSaveTest, AFailedSaveKeepsTheLabelAndStillMovesOn) {
    // A file where the folder should be: nothing can be saved.
    std::ofstream(mDir.path() / "autoSave") << "x";
    mPage.Get("autoSave0").SetText("--:--");
    mManager->SetAutoSave(true);
    EXPECT_EQ(mPage.Get("autoSave0").Text(), "--:--");
    std::filesystem::remove(mDir.path() / "autoSave");
    mManager->OnAutoSaveTimer();
    EXPECT_EQ(mPage.Get("autoSave1").Text(), "09:05");
    EXPECT_TRUE(mUi.mMessages.empty());  // auto save never asks or tells
}

TEST_F(AutoSaveTest, ASlotButtonLoadsItsSceneIntoTheAmplifier) {
    ASSERT_TRUE(ConnectAndSync());
    const model::Profile saved = Retuned(4);
    mManager->WorkingProfile() = saved;
    mManager->SetAutoSave(true);
    mManager->SetAutoSave(false);
    mManager->WorkingProfile() = Retuned(9);  // the tune moved on since

    ASSERT_TRUE(RunBehindLoading([&] { mManager->LoadAutoSavedScene("09:05"); }));
    ASSERT_TRUE(WaitQueueIdle());
    Settle();
    EXPECT_EQ(model::sceneProfileText(mManager->WorkingProfile()), model::sceneProfileText(saved));
    ExpectOutputsHeld(Amp(0), saved);
    EXPECT_EQ(mPage.Get("edit_ch_volume_2").Text(),
              std::to_string(static_cast<int>(saved.channels[2].gain)) + "dB");
}

TEST_F(AutoSaveTest, WithoutADeviceASlotButtonLoadsIntoTheProfileAndViewOnly) {
    model::Profile saved = mManager->WorkingProfile();
    saved.channels[2].gain = -7.0f;
    mManager->WorkingProfile() = saved;
    mManager->SetAutoSave(true);
    mManager->WorkingProfile().channels[2].gain = -1.0f;

    mManager->LoadAutoSavedScene("09:05");
    Settle();
    EXPECT_EQ(mManager->WorkingProfile().channels[2].gain, -7.0f);
    EXPECT_EQ(mPage.Get("edit_ch_volume_2").Text(), "-7dB");
    EXPECT_EQ(mUi.mLoadingShown, 0);
    EXPECT_EQ(mDemo.amplifier->ReceivedCount(), 0u);
}

TEST_F(AutoSaveTest, AnUnusedOrMissingSlotLoadsNothing) {
    const model::Profile before = mManager->WorkingProfile();
    mManager->LoadAutoSavedScene("--:--");
    EXPECT_TRUE(mUi.mMessages.empty());
    mManager->LoadAutoSavedScene("12:34");  // no such file
    EXPECT_EQ(mUi.mMessages, std::vector<std::string>{"${tips}|${profile_open_error}"});
    EXPECT_TRUE(mManager->WorkingProfile() == before);
    EXPECT_EQ(mUi.mLoadingShown, 0);
}

}  // namespace
}  // namespace test_support
