#include "ui/dialogs/noise_threshold_window.h"

#include <QWidget>

#include "device/dsp_subcommands.h"
#include "device/window_messages.h"

namespace ui {
namespace {

// What stays at the window's right edge when it narrows.
constexpr const char* kRightAnchored[] = {"closebtn", "cancel_btn", "confirm_btn"};

}  // namespace

CNoiseThresholdWnd::CNoiseThresholdWnd(controller::EqualizerManager& manager,
                                       controller::UiServices& ui)
    : DialogFrame("NoiseThresholdWnd", "msgwnd"), mManager(manager), mUi(ui) {}

// The panel lets go of the link's noise reports before the window's handle
// is gone, so none is posted to it afterwards.
CNoiseThresholdWnd::~CNoiseThresholdWnd() {
    mPanel.reset();
}

void CNoiseThresholdWnd::Prepare(toolkit::Window* owner) {
    CreateOver(owner, "XML_NOISE_THRESHOLD");
    mPanel = std::make_unique<controller::NoiseThresholdPanel>(mManager, mUi, *this);
    mPanel->Open();
    FitToInputs();
    CenterOver(owner);
}

// One column fewer for each input the source lacks, down to six; what sits
// at the right edge moves with it.
void CNoiseThresholdWnd::FitToInputs() {
    QWidget* widget = Widget();
    if (widget == nullptr) {
        return;
    }
    const int delta = mPanel->WidthFor(0) * Scale() / 100;
    if (delta == 0) {
        return;
    }
    widget->resize(widget->width() + delta, widget->height());
    for (const char* name : kRightAnchored) {
        if (toolkit::Control* control = Find(name); control != nullptr && control->Widget()) {
            control->Widget()->move(control->Widget()->x() + delta, control->Widget()->y());
        }
    }
    if (toolkit::Control* bar = Find("caption"); bar != nullptr && bar->Widget()) {
        bar->Widget()->resize(bar->Widget()->width() + delta, bar->Widget()->height());
    }
    if (toolkit::Control* title = Find("noise_threshold_title");
        title != nullptr && title->Widget()) {
        title->Widget()->resize(title->Widget()->width() + delta, title->Widget()->height());
    }
}

void CNoiseThresholdWnd::CloseWith(int code) {
    if (mPanel != nullptr) {
        mPanel->Stop();
    }
    Close(code);
}

void CNoiseThresholdWnd::Notify(const toolkit::Notification& notification) {
    LogNotification(notification);
    if (IsClickOn(notification, "closebtn") || IsClickOn(notification, "cancel_btn")) {
        CloseWith(0);
        return;
    }
    if (IsClickOn(notification, "confirm_btn")) {
        CloseWith(1);
        return;
    }
    if (mPanel != nullptr) {
        mPanel->Handle(notification);
    }
    DefaultNotify(notification);
}

void CNoiseThresholdWnd::OnMessage(uint32_t message, uintptr_t wParam, intptr_t lParam,
                                   std::unique_ptr<platform::PostedRecord>& record) {
    DialogFrame::OnMessage(message, wParam, lParam, record);
    if (message != device::WM_READ_DSP_VALUE || wParam != device::DSP_INPUT_NOISE ||
        mPanel == nullptr) {
        return;
    }
    if (const auto* noise = platform::RecordValue<device::InputNoiseRecord>(record)) {
        mPanel->OnNoiseReport(*noise);
    }
    record.reset();
}

void CNoiseThresholdWnd::OnTimer(int id) {
    if (id == controller::noise_threshold::kPollTimerId && mPanel != nullptr) {
        mPanel->OnPollTimer();
    }
}

void CNoiseThresholdWnd::OnKeyDown(int key) {
    if (mPanel != nullptr && (key == Qt::Key_Up || key == Qt::Key_Down)) {
        mPanel->StepThreshold(key == Qt::Key_Up);
    }
}

// The system's close (Alt+F4, the task bar) ends the poll as the buttons do.
void CNoiseThresholdWnd::OnCloseRequest() {
    CloseWith(0);
}

int OpenNoiseThresholdWindow(toolkit::Window* owner, controller::EqualizerManager& manager,
                             controller::UiServices& ui) {
    CNoiseThresholdWnd window(manager, ui);
    window.Prepare(owner);
    return window.RunModal();
}

}  // namespace ui
