// The undo and redo history of the tuning. A step is what one user action
// changed in the working profile: everything one notification changed, or,
// while a mouse button is held, everything from the press to the release (a
// whole drag). Changes made outside the user's actions (the amplifier's
// reports) belong to no step and are never undone.
//
// The history keeps what each step changed. Undoing hands back the working
// profile with the last step's changes taken back, and the caller makes it
// the working profile (and the amplifier's); redoing hands back the one with
// them made again.
#pragma once

#include <cstddef>
#include <deque>
#include <functional>

#include "controller/profile_delta.h"
#include "model/profile.h"
#include "toolkit/user_actions.h"

namespace controller {

class EditHistory : public toolkit::UserActionObserver {
public:
    // Whether two profiles differ in anything a step would take back.
    using Differs = std::function<bool(const model::Profile&, const model::Profile&)>;
    using PointerHeld = std::function<bool()>;

    static constexpr size_t kMaxSteps = 500;

    EditHistory(const model::Profile& watched, Differs differs, PointerHeld pointerHeld);

    void BeforeNotification() override;
    void AfterNotification() override;
    void PointerReleased() override;

    // The working profile was replaced (a connection read the amplifier, a
    // scene or a file was loaded): every step is forgotten.
    void Clear();
    // The caller changed the working profile itself (an undo, a redo): no
    // step is made of it.
    void Rebase();

    bool CanUndo() const { return !mUndo.empty(); }
    bool CanRedo() const { return !mRedo.empty(); }
    size_t UndoSteps() const { return mUndo.size(); }
    // The bytes the steps keep, undone ones included.
    size_t KeptBytes() const;
    // The working profile without the last step; the step is kept for redo.
    // Only when CanUndo.
    model::Profile TakeUndo();
    // The working profile with the step last undone made again. Only when
    // CanRedo.
    model::Profile TakeRedo();

    // Called whenever a step was made, undone, redone or the history cleared.
    void OnChange(std::function<void()> changed) { mChanged = std::move(changed); }
    // Called when a step was made by the user.
    void OnStep(std::function<void()> stepped) { mStepped = std::move(stepped); }

private:
    bool Changed() const { return mDiffers(mBaseline, mWatched); }
    void CommitStep();
    void Tell() const;

    const model::Profile& mWatched;
    Differs mDiffers;
    PointerHeld mPointerHeld;
    // The working profile as the step being made found it.
    model::Profile mBaseline;
    // Changes were made while a button was held: the step ends at the release.
    bool mPending = false;
    int mDepth = 0;
    std::deque<ProfileDelta> mUndo;  // the steps made, oldest first
    std::deque<ProfileDelta> mRedo;  // the steps undone, the latest last
    std::function<void()> mChanged;
    std::function<void()> mStepped;
};

}  // namespace controller
