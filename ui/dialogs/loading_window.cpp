#include "ui/dialogs/loading_window.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "toolkit/skin_widgets.h"
#include "toolkit/text_resources.h"
#include "ui/dialogs/message_box.h"

namespace ui {

namespace {
// Turns the progress ring while the window is up.
constexpr int kSpinTimer = 1;
constexpr int kSpinPeriodMs = 40;
}  // namespace

toolkit::CircleProgress* CLoadingWnd::Ring() const {
    toolkit::Control* ring = Find("loading_progress");
    return ring != nullptr ? dynamic_cast<toolkit::CircleProgress*>(ring->Widget()) : nullptr;
}

void CLoadingWnd::Prepare(toolkit::Window* owner) {
    CreateOver(owner, "XML_LOADING");
    if (toolkit::CircleProgress* ring = Ring()) {
        ring->SetSpinning(true);
    }
    SetTimer(kSpinTimer, kSpinPeriodMs);
}

void CLoadingWnd::SetProgress(int done, int total) {
    if (total <= 0) {
        return;
    }
    done = std::clamp(done, 0, total);
    // The ring turned while nothing was known; now it shows the share done.
    KillTimer(kSpinTimer);
    if (toolkit::CircleProgress* spinner = Ring()) {
        spinner->SetSpinning(false);
    }
    if (toolkit::Control* ring = Find("loading_progress")) {
        ring->SetValue(static_cast<int>(int64_t{done} * 100 / total));
    }
    if (toolkit::Control* bar = Find("loading_bar")) {
        bar->SetRange(0, total);
        bar->SetValue(done);
        bar->SetVisible(true);
    }
    if (toolkit::Control* count = Find("loading_count")) {
        const std::string format = toolkit::Translate("${ui_loading_progress}");
        char text[128];
        std::snprintf(text, sizeof text, format.c_str(), done, total);
        count->SetText(text);
        count->SetVisible(true);
    }
}

void CLoadingWnd::OnTimer(int id) {
    if (id != kSpinTimer) {
        return;
    }
    mSpin = (mSpin + 2) % 100;
    if (toolkit::Control* ring = Find("loading_progress")) {
        ring->SetValue(mSpin);
    }
}

void CLoadingWnd::Notify(const toolkit::Notification& notification) {
    if (IsClickOn(notification, "confirm_btn")) {
        Close(kBoxConfirm);
    } else if (IsClickOn(notification, "cancel_btn") || IsClickOn(notification, "closebtn")) {
        Close(kBoxCancel);
    }
}

void LoadingCover::Show(toolkit::Window* owner) {
    if (mLoading != nullptr) {
        return;
    }
    CLoadingWnd loading;
    loading.Prepare(owner);
    mLoading = &loading;
    loading.RunModal();
    if (mLoading == &loading) {
        mLoading = nullptr;
    }
}

void LoadingCover::Hide() {
    if (mLoading != nullptr) {
        mLoading->Close(1);
        mLoading = nullptr;
    }
}

void LoadingCover::SetProgress(int done, int total) {
    if (mLoading != nullptr) {
        mLoading->SetProgress(done, total);
    }
}

}  // namespace ui
