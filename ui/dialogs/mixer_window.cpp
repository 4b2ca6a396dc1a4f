#include "ui/dialogs/mixer_window.h"

#include <QString>
#include <QWidget>
#include <cstdio>

#include "app/log.h"
#include "app/model_cfg.h"
#include "toolkit/text_resources.h"

namespace ui {
namespace {

// The row pitch of the layout, in layout pixels: the window drops this much
// height for every row its source does not have.
constexpr int kRowHeight = 48;
constexpr int kRows = controller::kMixerRows;
constexpr const char* kSourceKeys[] = {
    "${source_opt}", "${source_coax}", "${source_bt}",  "${source_aux}", "${source_low}",
    "${source_hi}",  "${source_dmp}",  "${source_udp}", "${source_scp}", "${source_a2b}"};

CMixerWnd* gOpenMixer = nullptr;

// The results of the window's buttons.
struct CloseButton {
    const char* name;
    int result;
};
constexpr CloseButton kCloseButtons[] = {
    {"closebtn", 0}, {"confirm_btn", 1}, {"cancel_btn", 0}, {"third_btn", 2}};

}  // namespace

CMixerWnd::CMixerWnd(controller::EqualizerManager& manager, int source)
    : DialogFrame("MixerWnd", "MixerWnd"), mManager(manager), mSource(source) {}

CMixerWnd::~CMixerWnd() {
    if (mTimerStarted) {
        KillTimer(controller::STATUS_READ_TIMER);
    }
    if (gOpenMixer == this) {
        gOpenMixer = nullptr;
    }
}

void CMixerWnd::Prepare(toolkit::Window* owner) {
    CreateOver(owner, "XML_MIXER");
    mMixer = std::make_unique<controller::Mixer>(mManager, *this, mSource);
    const bool lamps = mMixer->Fill();
    ShowTitle();
    StackRows();
    CenterOver(owner);
    if (lamps) {
        SetTimer(controller::STATUS_READ_TIMER, controller::kStatusReadPeriodMs);
        mTimerStarted = true;
    }
}

void CMixerWnd::ShowTitle() {
    toolkit::Control* title = Find("mixer_title");
    if (title == nullptr || mSource < 0 || mSource >= static_cast<int>(std::size(kSourceKeys))) {
        return;
    }
    title->SetText(toolkit::Translate("${mixer_title}") + " — " +
                   toolkit::Translate(kSourceKeys[mSource]));
}

// The rows the source has, one under the other from the first row's place,
// then the buttons; the window ends below them.
void CMixerWnd::StackRows() {
    QWidget* window = Widget();
    toolkit::Control* first = Find("mixer_row_0");
    toolkit::Control* footer = Find("mixer_footer");
    if (window == nullptr || first == nullptr || first->Widget() == nullptr) {
        return;
    }
    const int pitch = kRowHeight * Scale() / 100;
    int y = first->Widget()->y();
    int dropped = 0;
    for (int row = 0; row < kRows; ++row) {
        char name[24];
        std::snprintf(name, sizeof name, "mixer_row_%d", row);
        toolkit::Control* line = Find(name);
        if (line == nullptr || line->Widget() == nullptr) {
            continue;
        }
        if (!mMixer->IsRowActive(row)) {
            line->SetVisible(false);
            ++dropped;
            continue;
        }
        line->Widget()->move(line->Widget()->x(), y);
        y += pitch;
    }
    if (footer != nullptr && footer->Widget() != nullptr) {
        footer->Widget()->move(footer->Widget()->x(), footer->Widget()->y() - dropped * pitch);
    }
    window->resize(window->width(), window->height() - dropped * pitch);
}

int CMixerWnd::Run() {
    CMixerWnd* before = gOpenMixer;
    gOpenMixer = this;
    const int result = RunModal();
    gOpenMixer = before;
    return result;
}

void CMixerWnd::Notify(const toolkit::Notification& notification) {
    if (notification.type == toolkit::kNotifyClick) {
        for (const CloseButton& button : kCloseButtons) {
            if (IsClickOn(notification, button.name)) {
                LogNotification(notification);
                Close(button.result);
                return;
            }
        }
    }
    if (mMixer == nullptr || !mMixer->Handle(notification)) {
        DefaultNotify(notification);
    }
}

void CMixerWnd::OnTimer(int id) {
    if (id == controller::STATUS_READ_TIMER && mMixer != nullptr) {
        mMixer->OnStatusTick();
        return;
    }
    DialogFrame::OnTimer(id);
}

int OpenMixerWindow(toolkit::Window* owner, controller::EqualizerManager& manager) {
    CMixerWnd window(manager, manager.WorkingProfile().source);
    window.Prepare(owner);
    return window.Run();
}

void CloseOpenMixerWindow() {
    if (gOpenMixer != nullptr && gOpenMixer->IsRunningModal()) {
        app::Log("close the mixer window\n");
        gOpenMixer->Close(1);
    }
}

CMixerWnd* OpenMixer() {
    return gOpenMixer;
}

}  // namespace ui
