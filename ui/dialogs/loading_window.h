// The loading window that covers a window while a background job runs, with
// how far the job is once it reports its steps. Its
// owner closes it with code 1 when the job is done; "confirm_btn" closes it
// with 1, "cancel_btn" and "closebtn" with 0.
#pragma once

#include <QTimer>

#include "ui/dialogs/dialog_frame.h"

namespace toolkit {
class CircleProgress;
}

namespace ui {

class CLoadingWnd : public DialogFrame {
public:
    CLoadingWnd() : DialogFrame("LoadingWnd", "loadingwnd") {}
    void Prepare(toolkit::Window* owner);
    // How far the job is: the bar and "done of total" appear with the first
    // report.
    void SetProgress(int done, int total);

protected:
    void Notify(const toolkit::Notification& notification) override;
    void OnTimer(int id) override;

private:
    toolkit::CircleProgress* Ring() const;
    int mSpin = 0;
};

// The loading window a window runs over itself while a job works: at most
// one at a time, shown by the job's start and hidden by its end.
class LoadingCover {
public:
    // Runs a loading window modally over the owner and returns when it is
    // hidden (posted messages, the one that hides it too, go on meanwhile).
    // Does nothing while one is up.
    void Show(toolkit::Window* owner);
    void Hide();
    void SetProgress(int done, int total);
    bool IsShown() const { return mLoading != nullptr; }

private:
    CLoadingWnd* mLoading = nullptr;  // the loading window running modally, if any
};

}  // namespace ui
