// The steps of the edit history as the windows' notifications make them:
// one per action, one per drag, none for what the amplifier reports, nested
// actions, the depth of the history and what undo and redo hand back.
#include "controller/edit_history.h"

#include <gtest/gtest.h>

#include "controller/profile_delta.h"
#include "controller/tuning_parts.h"

namespace controller {
namespace {

class EditHistoryTest : public ::testing::Test {
protected:
    // A notification whose handler runs `change`.
    void Action(const std::function<void()>& change) {
        mHistory.BeforeNotification();
        change();
        mHistory.AfterNotification();
    }
    float& Trim(int c) { return mProfile.channels[c].gain; }

    model::Profile mProfile;
    bool mHeld = false;
    EditHistory mHistory{mProfile, TuningDiffers, [this] { return mHeld; }};
};

TEST_F(EditHistoryTest, EachActionIsOneStepAndUndoRedoWalkThem) {
    Action([&] { Trim(0) = -3.0f; });
    Action([&] { Trim(1) = -6.0f; });
    Action([] {});  // a click that changed nothing is no step
    ASSERT_EQ(mHistory.UndoSteps(), 2u);

    mProfile = mHistory.TakeUndo();
    mHistory.Rebase();
    EXPECT_EQ(Trim(1), 0.0f);
    EXPECT_EQ(Trim(0), -3.0f);
    EXPECT_TRUE(mHistory.CanRedo());
    mProfile = mHistory.TakeRedo();
    mHistory.Rebase();
    EXPECT_EQ(Trim(1), -6.0f);

    mProfile = mHistory.TakeUndo();
    mHistory.Rebase();
    Action([&] { mProfile.channels[2].delay = 1.5f; });
    EXPECT_FALSE(mHistory.CanRedo()) << "a new step ends what could be redone";
}

TEST_F(EditHistoryTest, ADragIsOneStepFromPressToRelease) {
    mHeld = true;
    for (int move = 1; move <= 30; ++move) {
        Action([&] { mProfile.eqBands[0][4].eqGain = move * 0.2f; });
    }
    EXPECT_EQ(mHistory.UndoSteps(), 0u) << "no step while the button is held";
    mHeld = false;
    mHistory.PointerReleased();
    ASSERT_EQ(mHistory.UndoSteps(), 1u);
    mProfile = mHistory.TakeUndo();
    EXPECT_EQ(mProfile.eqBands[0][4].eqGain, 0.0f);

    // A release the program did not hear: the next action ends the drag first.
    mHistory.Rebase();
    mHeld = true;
    Action([&] { mProfile.eqBands[0][4].eqGain = 2.0f; });
    mHeld = false;
    Action([&] { Trim(3) = -1.0f; });
    EXPECT_EQ(mHistory.UndoSteps(), 2u);
}

TEST_F(EditHistoryTest, WhatTheAmplifierReportsIsNoStepAndIsNotUndone) {
    Action([&] { Trim(0) = -3.0f; });
    mProfile.channels[5].delay = 2.0f;  // a report between two actions
    Action([&] { Trim(1) = -6.0f; });
    ASSERT_EQ(mHistory.UndoSteps(), 2u);
    mProfile = mHistory.TakeUndo();
    EXPECT_EQ(mProfile.channels[5].delay, 2.0f);
    mProfile = mHistory.TakeUndo();
    EXPECT_EQ(Trim(0), 0.0f);
    EXPECT_EQ(mProfile.channels[5].delay, 2.0f);
}

TEST_F(EditHistoryTest, ANestedActionAndWhatItsWindowDidAfterAreStepsOfTheirOwn) {
    mHistory.BeforeNotification();  // a menu click that opens a modal window
    Trim(0) = -1.0f;                // changed before the window opened
    Action([&] { Trim(1) = -2.0f; });
    Action([&] { Trim(2) = -3.0f; });
    Trim(3) = -4.0f;  // applied when the window closed
    mHistory.AfterNotification();
    ASSERT_EQ(mHistory.UndoSteps(), 4u);
    mProfile = mHistory.TakeUndo();
    EXPECT_EQ(Trim(3), 0.0f);
    EXPECT_EQ(Trim(2), -3.0f);
}

TEST_F(EditHistoryTest, ListeningStateAndLinkGroups) {
    // A source switch or a main mute alone is no tuning step.
    Action([&] { mProfile.source = 3; });
    Action([&] { mProfile.mainVolumeMute = 1; });
    EXPECT_EQ(mHistory.UndoSteps(), 0u);
    // A link group is, though the amplifier is not told of it.
    Action([&] { mProfile.linkGroup[4] = 2; });
    EXPECT_EQ(mHistory.UndoSteps(), 1u);
    // A routing change of the source playing is.
    Action([&] { mProfile.inputs[mProfile.source][2] ^= 1; });
    EXPECT_EQ(mHistory.UndoSteps(), 2u);
}

TEST_F(EditHistoryTest, HoldsHundredsOfStepsAndClearForgetsThem) {
    for (int step = 1; step <= 300; ++step) {
        Action([&] { Trim(step % 10) = -0.1f * step; });
    }
    ASSERT_EQ(mHistory.UndoSteps(), 300u);
    while (mHistory.CanUndo()) {
        mProfile = mHistory.TakeUndo();
        mHistory.Rebase();
    }
    for (int c = 0; c < 10; ++c) {
        EXPECT_EQ(Trim(c), 0.0f) << c;
    }
    Action([&] { Trim(0) = -3.0f; });
    mHistory.Clear();
    EXPECT_FALSE(mHistory.CanUndo());
    EXPECT_FALSE(mHistory.CanRedo());
    Action([] {});
    EXPECT_FALSE(mHistory.CanUndo()) << "the replaced profile is the new start";
}

TEST(ProfileDeltaTest, KeepsOnlyWhatChangedAndRestoresBothWays) {
    auto before = std::make_unique<model::Profile>();
    auto after = std::make_unique<model::Profile>(*before);
    after->eqBands[3][7].eqGain = -4.5f;
    after->eqBands[3][7].freq = 1250;
    after->channels[9].delay = 3.25f;
    after->curveMagnitude[3][100] = 12.0;  // a curve is computed again, never kept
    const ProfileDelta delta = ProfileDelta::Between(*before, *after);
    EXPECT_LT(delta.Bytes(), 128u);

    auto restored = std::make_unique<model::Profile>(*after);
    delta.RestoreBefore(*restored);
    EXPECT_EQ(restored->eqBands[3][7], before->eqBands[3][7]);
    EXPECT_EQ(restored->channels[9].delay, 0.0f);
    delta.RestoreAfter(*restored);
    EXPECT_EQ(restored->eqBands[3][7], after->eqBands[3][7]);
    EXPECT_EQ(restored->channels[9].delay, 3.25f);
    EXPECT_TRUE(ProfileDelta::Between(*before, *before).Empty());
}

}  // namespace
}  // namespace controller
