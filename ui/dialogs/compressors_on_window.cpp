#include "ui/dialogs/compressors_on_window.h"

#include <QWidget>
#include <array>

namespace ui {
namespace {

CCompressorsOnWnd* sOpenWindow = nullptr;

struct CloseButton {
    const char* name;
    int code;
};
constexpr std::array<CloseButton, 3> kCloseButtons = {{
    {"cancel_btn", 0},
    {"confirm_btn", 1},
    {"third_btn", 2},
}};

// What sits at the window's right edge moves with it.
constexpr std::array<const char*, 3> kRightAnchored = {"closebtn", "minbtn", "confirm_btn"};

void Widen(toolkit::Window& window, const char* name, int delta) {
    if (toolkit::Control* control = window.Find(name); control != nullptr && control->Widget()) {
        QWidget* widget = control->Widget();
        widget->resize(widget->width() + delta, widget->height());
    }
}

void Shift(toolkit::Window& window, const char* name, int delta) {
    if (toolkit::Control* control = window.Find(name); control != nullptr && control->Widget()) {
        QWidget* widget = control->Widget();
        widget->move(widget->x() + delta, widget->y());
    }
}

}  // namespace

CCompressorsOnWnd::CCompressorsOnWnd(controller::EqualizerManager& manager)
    : DialogFrame("CompressorsOnWnd", "CompressorsOnWnd"), mManager(manager) {
    sOpenWindow = this;
}

CCompressorsOnWnd::~CCompressorsOnWnd() {
    if (sOpenWindow == this) {
        sOpenWindow = nullptr;
    }
}

void CCompressorsOnWnd::Prepare(toolkit::Window* owner) {
    CreateOver(owner, "XML_COMPRESSORS_ON");
    mPanel = std::make_unique<controller::CompressorsOnPanel>(mManager, *this);
    mPanel->Open();
    FitToOutputs();
    CenterOver(owner);
}

// A column fewer for each column past the model's outputs; the columns'
// pitch is the layout's.
void CCompressorsOnWnd::FitToOutputs() {
    const int hidden =
        controller::CompressorsOnPanel::Columns() - controller::CompressorsOnPanel::ShownColumns();
    toolkit::Control* first = Find("column_0");
    toolkit::Control* second = Find("column_1");
    if (hidden <= 0 || Widget() == nullptr || first == nullptr || second == nullptr ||
        first->Widget() == nullptr || second->Widget() == nullptr) {
        return;
    }
    const int delta = -hidden * (second->Widget()->x() - first->Widget()->x());
    Widget()->resize(Widget()->width() + delta, Widget()->height());
    for (const char* name : kRightAnchored) {
        Shift(*this, name, delta);
    }
    Widen(*this, "caption", delta);
    Widen(*this, "compressors_on_title", delta);
}

void CCompressorsOnWnd::Notify(const toolkit::Notification& notification) {
    LogNotification(notification);
    for (const CloseButton& button : kCloseButtons) {
        if (IsClickOn(notification, button.name)) {
            Close(button.code);
            return;
        }
    }
    if (mPanel != nullptr && mPanel->Handle(notification)) {
        return;
    }
    DefaultNotify(notification);  // "closebtn" closes with 0
}

CCompressorsOnWnd* OpenCompressorsOnWnd() {
    return sOpenWindow;
}

int OpenCompressorsOnWindow(toolkit::Window* owner, controller::EqualizerManager& manager) {
    CCompressorsOnWnd window(manager);
    window.Prepare(owner);
    return window.RunModal();
}

}  // namespace ui
