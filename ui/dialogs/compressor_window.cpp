#include "ui/dialogs/compressor_window.h"

#include "toolkit/extension_controls.h"
#include "ui/controls/ui_compressor_curve.h"

namespace ui {
namespace {

constexpr const char* kCurve = "Curve";

QWidget* BuildControl(const std::string& tag, const toolkit::XmlElement& node, QWidget* parent,
                      toolkit::Window& window) {
    if (QWidget* extension = toolkit::MakeExtensionControl(tag, parent)) {
        return extension;
    }
    if (tag == kCurve) {
        return UICompressorCurve::Build(node, parent, window);
    }
    return nullptr;
}

}  // namespace

CCompressorWnd::CCompressorWnd(controller::EqualizerManager& manager)
    : DialogFrame("CustomEqWnd", "msgwnd"), mManager(manager) {
    SetBuilder(BuildControl);
}

UICompressorCurve* CCompressorWnd::Curve() const {
    toolkit::Control* control = Find(kCurve);
    return control != nullptr ? dynamic_cast<UICompressorCurve*>(control->Widget()) : nullptr;
}

void CCompressorWnd::Prepare(toolkit::Window* owner) {
    CreateOver(owner, "XML_COMPRESSOR");
    mPanel = std::make_unique<controller::CompressorPanel>(mManager, *this, Curve());
    mPanel->Open();
}

void CCompressorWnd::Notify(const toolkit::Notification& notification) {
    LogNotification(notification);
    if (IsClickOn(notification, "confirm_btn")) {
        Close(1);
        return;
    }
    if (mPanel != nullptr && mPanel->Handle(notification)) {
        return;
    }
    DefaultNotify(notification);  // "closebtn" closes with 0, "minbtn" minimises
}

int OpenCompressorWindow(toolkit::Window* owner, controller::EqualizerManager& manager) {
    CCompressorWnd window(manager);
    window.Prepare(owner);
    return window.RunModal();
}

}  // namespace ui
