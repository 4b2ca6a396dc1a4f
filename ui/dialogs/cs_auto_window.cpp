#include "ui/dialogs/cs_auto_window.h"

#include <utility>

namespace ui {
namespace {

// The buttons that close the window, with their codes.
constexpr std::pair<const char*, int> kClosing[] = {
    {"closebtn", 0}, {"cancel_btn", 0}, {"confirm_btn", 1}, {"third_btn", 2}};

}  // namespace

CSAutoWnd::CSAutoWnd(controller::EqualizerManager& manager, controller::UiServices& ui)
    : DialogFrame("CSAutoWnd", "csautownd"), mManager(manager), mUi(ui) {}

void CSAutoWnd::Prepare(toolkit::Window* owner) {
    CreateOver(owner, "XML_CS_AUTO");
    mPanel = std::make_unique<controller::CsAutoPanel>(mManager, mUi, *this);
    mPanel->Open();
}

void CSAutoWnd::Notify(const toolkit::Notification& notification) {
    LogNotification(notification);
    // Until the block is shown, the toolkit alone handles what arrives.
    if (mPanel == nullptr || !mPanel->IsOpen()) {
        DefaultNotify(notification);
        return;
    }
    for (const auto& [button, code] : kClosing) {
        if (IsClickOn(notification, button)) {
            Close(code);
            return;
        }
    }
    mPanel->Handle(notification);
    DefaultNotify(notification);
}

int OpenCsAutoWindow(toolkit::Window* owner, controller::EqualizerManager& manager,
                     controller::UiServices& ui) {
    CSAutoWnd window(manager, ui);
    window.Prepare(owner);
    return window.RunModal();
}

}  // namespace ui
