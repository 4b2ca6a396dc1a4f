#include "ui/dialogs/poweroff_delay_window.h"

#include <Qt>
#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>

#include "app/log.h"
#include "model/units.h"
#include "ui/dialogs/message_box.h"

namespace ui {
namespace {

constexpr const char* kEdit = "value_edt";
constexpr const char* kSlider = "slider_poweroff_delay";
constexpr const char* kProblemLabel = "value_problem";

std::string DelayText(int milliseconds) {
    char text[24];
    std::snprintf(text, sizeof text, "%d ms", milliseconds);
    return text;
}

int Limited(double milliseconds) {
    return static_cast<int>(std::clamp(milliseconds, 0.0, double{kPowerOffDelayMaxMs}));
}

}  // namespace

CPowerOffDelayWnd::CPowerOffDelayWnd(controller::EqualizerManager& manager)
    : DialogFrame("PowerOffDelayWnd", "msgwnd"), mManager(manager) {}

void CPowerOffDelayWnd::Prepare(toolkit::Window* owner) {
    CreateOver(owner, "XML_POWEROFF_DELAY");
    if (toolkit::Control* slider = Find(kSlider)) {
        slider->SetRange(0, kPowerOffDelayMaxMs);
        slider->SetValue(mManager.PowerOffDelay());
    }
    ShowDelay(mManager.PowerOffDelay());
    ShowProblem(false);
}

void CPowerOffDelayWnd::Notify(const toolkit::Notification& notification) {
    LogNotification(notification);
    const bool onEdit = notification.name == kEdit;
    const bool onSlider = notification.name == kSlider;
    if (onEdit && notification.type == toolkit::kNotifyReturn) {
        ApplyEdit();
    } else if (onEdit && notification.type == toolkit::kNotifyValueChangedUp) {
        Step(1);
    } else if (onEdit && notification.type == toolkit::kNotifyValueChangedDown) {
        Step(-1);
    } else if (onSlider && (notification.type == toolkit::kNotifyValueChanged ||
                            notification.type == toolkit::kNotifyMoveValueChanged)) {
        ApplySlider();
    } else if (IsClickOn(notification, "confirm_btn")) {
        ApplyEdit();
        Close(kBoxConfirm);
        return;
    } else if (IsClickOn(notification, "cancel_btn") || IsClickOn(notification, "closebtn")) {
        Close(kBoxCancel);
        return;
    }
    DefaultNotify(notification);
}

void CPowerOffDelayWnd::OnKeyDown(int key) {
    if (key == Qt::Key_Up) {
        Step(1);
    } else if (key == Qt::Key_Down) {
        Step(-1);
    }
}

void CPowerOffDelayWnd::ApplyEdit() {
    const toolkit::Control* edit = Find(kEdit);
    const std::optional<double> typed =
        edit != nullptr ? model::leadingNumber(edit->Text()) : std::nullopt;
    if (!typed) {
        app::Log("%s: no number, nothing sent\n", kEdit);
        ShowDelay(mManager.PowerOffDelay());
        ShowProblem(true);
        return;
    }
    const int delay = Limited(*typed);
    app::Log("on input threshold edit change to %d dB\n", delay);
    Apply(delay, true);
}

void CPowerOffDelayWnd::Step(int by) {
    const toolkit::Control* edit = Find(kEdit);
    const std::optional<double> shown =
        edit != nullptr ? model::leadingNumber(edit->Text()) : std::nullopt;
    // A text without a number steps from the delay the amplifier has.
    const int from = shown ? static_cast<int>(*shown) : mManager.PowerOffDelay();
    const int delay = Limited(static_cast<double>(from) + by);
    app::Log("on input threshold edit change to %d dB\n", delay);
    Apply(delay, true);
}

void CPowerOffDelayWnd::ApplySlider() {
    const toolkit::Control* slider = Find(kSlider);
    if (slider == nullptr) {
        return;
    }
    const int delay = Limited(slider->Value());
    app::Log("on input threshold slider change to %d dB\n", delay);
    Apply(delay, false);
}

void CPowerOffDelayWnd::Apply(int milliseconds, bool moveSlider) {
    ShowProblem(false);
    mManager.SetPowerOffDelay(milliseconds);
    ShowDelay(milliseconds);
    if (toolkit::Control* slider = Find(kSlider); slider != nullptr && moveSlider) {
        slider->SetValue(milliseconds);
    }
    if (toolkit::Control* edit = Find(kEdit)) {
        edit->SetFocus();
        edit->SelectAllText();
    }
}

void CPowerOffDelayWnd::ShowDelay(int milliseconds) {
    if (toolkit::Control* edit = Find(kEdit)) {
        edit->SetText(DelayText(milliseconds));
    }
}

void CPowerOffDelayWnd::ShowProblem(bool shown) {
    if (toolkit::Control* label = Find(kProblemLabel)) {
        label->SetVisible(shown);
    }
}

int OpenPowerOffDelayWindow(toolkit::Window* owner, controller::EqualizerManager& manager) {
    CPowerOffDelayWnd window(manager);
    window.Prepare(owner);
    return window.RunModal();
}

}  // namespace ui
