#include "controller/edit_history.h"

namespace controller {

EditHistory::EditHistory(const model::Profile& watched, Differs differs, PointerHeld pointerHeld)
    : mWatched(watched),
      mDiffers(std::move(differs)),
      mPointerHeld(std::move(pointerHeld)),
      mBaseline(watched) {}

void EditHistory::BeforeNotification() {
    const bool outermost = mDepth == 0;
    ++mDepth;
    if (!outermost) {
        // What the enclosing action changed before this one started is the
        // user's too, and a step of its own.
        if (!mPending && Changed()) {
            CommitStep();
        }
        return;
    }
    if (mPending) {
        if (!mPointerHeld()) {
            CommitStep();  // the release was not heard; the drag is over
        }
        return;
    }
    // Whatever changed since the last action came from the amplifier.
    mBaseline = mWatched;
}

void EditHistory::AfterNotification() {
    if (mDepth > 0) {
        --mDepth;
    }
    if (!Changed()) {
        return;
    }
    if (mPointerHeld()) {
        mPending = true;
    } else {
        CommitStep();
    }
}

void EditHistory::PointerReleased() {
    if (mPending && mDepth == 0) {
        CommitStep();
    }
}

void EditHistory::CommitStep() {
    mPending = false;
    if (!Changed()) {
        return;  // a drag that ended where it began
    }
    mUndo.push_back(ProfileDelta::Between(mBaseline, mWatched));
    mBaseline = mWatched;
    if (mUndo.size() > kMaxSteps) {
        mUndo.pop_front();
    }
    mRedo.clear();
    if (mStepped) {
        mStepped();
    }
    Tell();
}

void EditHistory::Clear() {
    mUndo.clear();
    mRedo.clear();
    Rebase();
    Tell();
}

void EditHistory::Rebase() {
    mBaseline = mWatched;
    mPending = false;
}

model::Profile EditHistory::TakeUndo() {
    model::Profile before = mWatched;
    mUndo.back().RestoreBefore(before);
    mRedo.push_back(std::move(mUndo.back()));
    mUndo.pop_back();
    Tell();
    return before;
}

model::Profile EditHistory::TakeRedo() {
    model::Profile after = mWatched;
    mRedo.back().RestoreAfter(after);
    mUndo.push_back(std::move(mRedo.back()));
    mRedo.pop_back();
    Tell();
    return after;
}

size_t EditHistory::KeptBytes() const {
    size_t bytes = 0;
    for (const auto* steps : {&mUndo, &mRedo}) {
        for (const ProfileDelta& step : *steps) {
            bytes += step.Bytes();
        }
    }
    return bytes;
}

void EditHistory::Tell() const {
    if (mChanged) {
        mChanged();
    }
}

}  // namespace controller
