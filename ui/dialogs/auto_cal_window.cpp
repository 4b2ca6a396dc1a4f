#include "ui/dialogs/auto_cal_window.h"

#include <QWidget>

#include "controller/auto_cal_worker.h"
#include "device/window_messages.h"
#include "toolkit/extension_controls.h"
#include "ui/controls/ui_equalizer_ac.h"
#include "ui/dialogs/message_box.h"

namespace ui {
namespace {

CAutoCalWnd* sOpenWindow = nullptr;

QWidget* BuildControl(const std::string& tag, const toolkit::XmlElement& node, QWidget* parent,
                      toolkit::Window& window) {
    if (QWidget* extension = toolkit::MakeExtensionControl(tag, parent)) {
        return extension;
    }
    if (tag == "CurveAc") {
        return UIEqualizerAc::Build(node, parent, window);
    }
    return nullptr;
}

}  // namespace

CAutoCalWnd::CAutoCalWnd(controller::EqualizerManager& manager, controller::AutoCalTimings timings)
    : DialogFrame("AutoCalWnd", "updatefwwnd"), mManager(manager), mTimings(timings) {
    SetBuilder(BuildControl);
    sOpenWindow = this;
}

CAutoCalWnd::~CAutoCalWnd() {
    mPanel.reset();
    if (sOpenWindow == this) {
        sOpenWindow = nullptr;
    }
}

void CAutoCalWnd::Prepare(toolkit::Window* owner) {
    CreateOver(nullptr, "XML_AUTO_CAL");
    CenterOver(owner);
    controller::CalibrationChart* chart = nullptr;
    if (toolkit::Control* control = Find("equalizer_ac")) {
        chart = dynamic_cast<controller::CalibrationChart*>(control->Widget());
    }
    controller::AutoCalQuestions& questions = *this;
    mPanel = std::make_unique<controller::AutoCalPanel>(mManager.Link(), mManager.WorkingProfile(),
                                                        *this, chart, questions, mTimings);
    mPanel->Open();
}

void CAutoCalWnd::Notify(const toolkit::Notification& notification) {
    LogNotification(notification);
    if (IsClickOn(notification, "closebtn")) {
        CloseAsked();
        return;
    }
    if (mPanel != nullptr && mPanel->Handle(notification)) {
        return;
    }
    DefaultNotify(notification);
}

void CAutoCalWnd::OnMessage(uint32_t message, uintptr_t wParam, intptr_t lParam,
                            std::unique_ptr<platform::PostedRecord>& record) {
    DialogFrame::OnMessage(message, wParam, lParam, record);
    if (mPanel == nullptr) {
        return;
    }
    if (message == device::WM_READ_IRC_VALUE) {
        mPanel->OnReport(wParam, lParam, record.get());
        record.reset();
    } else if (message == controller::WM_IRC_PROGRESS) {
        mPanel->OnProgress(wParam);
    } else if (message == controller::WM_IRC_LINK_LOST) {
        mPanel->OnLinkLost();
    }
}

// The system's close asks as the close button does; a run under way is
// stopped first.
void CAutoCalWnd::OnCloseRequest() {
    CloseAsked();
}

void CAutoCalWnd::CloseAsked() {
    Close(mPanel != nullptr ? mPanel->Close() : 0);
}

bool CAutoCalWnd::Ask(const std::string& text, const std::string& first,
                      const std::string& second) {
    return ShowMessageBox(this, "${tips}", text, {first, second, ""}, 2) == kBoxConfirm;
}

void CAutoCalWnd::Tell(const std::string& text) {
    ShowMessage(this, "${tips}", text);
}

bool CAutoCalWnd::Confirm(const std::string& text) {
    return ShowConfirmBox(this, "${tips}", text) == kBoxConfirm;
}

int RunAutoCalWindow(toolkit::Window* owner, controller::EqualizerManager& manager,
                     controller::AutoCalTimings timings) {
    CAutoCalWnd window(manager, timings);
    window.Prepare(owner);
    QWidget* main = owner != nullptr ? owner->Widget() : nullptr;
    if (main != nullptr) {
        main->showMinimized();
    }
    const int result = window.RunModal();
    if (main != nullptr) {
        main->showNormal();
        main->raise();
        main->activateWindow();
    }
    return result;
}

void CloseOpenAutoCalWindow() {
    if (sOpenWindow != nullptr && sOpenWindow->IsRunningModal()) {
        sOpenWindow->Close(0);
    }
}

CAutoCalWnd* OpenAutoCalWindow() {
    return sOpenWindow;
}

}  // namespace ui
