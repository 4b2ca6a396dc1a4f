#include "ui/dialogs/update_fw_window.h"

#include <QString>
#include <QWidget>
#include <cstdio>

#include "app/log.h"
#include "app/model_cfg.h"
#include "controller/controller_messages.h"
#include "toolkit/text_resources.h"

namespace ui {
namespace {

CUpdateFwWnd* sOpenWindow = nullptr;

constexpr const char* kControls[] = {"closebtn", "cancel_btn", "file_btn", "update_btn",
                                     "file_path_edt"};

// The accepted file names, as the model lists them.
std::string AcceptedNames() {
    return QString::fromStdU16String(std::u16string(app::CurrentModelCfg().mUPG_FILE))
        .toStdString();
}

}  // namespace

CUpdateFwWnd::CUpdateFwWnd(controller::EqualizerManager& manager, controller::UiServices& ui)
    : DialogFrame("UpdateFwWnd", "updatefwwnd"), mManager(manager), mUi(ui) {}

CUpdateFwWnd::~CUpdateFwWnd() {
    mWorker.Stop();
    mWorker.Join();
}

void CUpdateFwWnd::Prepare(toolkit::Window* owner, const std::string& path) {
    CreateOver(owner, "XML_UPDATE_FW");
    mChosenPath = path;
    mUpgImagePath = path;
    ShowPath(path);
    if (toolkit::Control* bar = Find("progress")) {
        bar->SetValue(0);
    }
    // The edit would open the file dialog as soon as the window shows.
    if (toolkit::Control* browse = Find("file_btn"); browse != nullptr && browse->Widget()) {
        browse->Widget()->setFocus();
    }
}

void CUpdateFwWnd::ShowPath(const std::string& path) {
    if (toolkit::Control* edit = Find("file_path_edt")) {
        edit->SetText(path);
    }
}

void CUpdateFwWnd::ShowTips(const std::string& text) {
    if (toolkit::Control* tips = Find("update_tips")) {
        tips->SetText(text);
    }
}

void CUpdateFwWnd::EnableControls(bool enabled) {
    for (const char* name : kControls) {
        if (toolkit::Control* control = Find(name)) {
            control->SetEnabled(enabled);
        }
    }
}

// One entry whose text lists the accepted names and which hides no file.
void CUpdateFwWnd::ChooseImage() {
    controller::FileDialogRequest request;
    request.filters = {{AcceptedNames(), ""}};
    const std::string chosen = mUi.ChooseFile(request);
    if (chosen.empty()) {
        return;
    }
    mChosenPath = chosen;
    mUpgImagePath = chosen;
    app::Log("Upg_GetOpenFileName %s ok\n", mUpgImagePath.c_str());
    ShowPath(mUpgImagePath);
}

void CUpdateFwWnd::BeginUpdate() {
    app::Log("%s\n", __PRETTY_FUNCTION__);
    device::DeviceLink& link = mManager.Link();
    if (!link.IsConnected() || mRunning) {
        return;
    }
    // Nothing chosen yet: say so, rather than fail to load no file.
    if (mUpgImagePath.empty()) {
        ShowTips("${update_no_file}");
        return;
    }
    link.DisableCmdCtrl();
    ShowTips("${loading_fw}");
    mRunning = true;
    mWorker.StartTransfer(link, mManager.UpgradeSetupForDevice(), mUpgImagePath, Handle(), 0);
    EnableControls(false);
}

void CUpdateFwWnd::Finish(const char* key) {
    mRunning = false;
    EnableControls(true);
    ShowTips(key);
}

void CUpdateFwWnd::OnMessage(uint32_t message, uintptr_t wParam, intptr_t lParam,
                             std::unique_ptr<platform::PostedRecord>& record) {
    DialogFrame::OnMessage(message, wParam, lParam, record);
    switch (message) {
        case controller::WM_UPG_PROGRESS: {
            const int percent = static_cast<int>(wParam);
            char text[16];
            std::snprintf(text, sizeof text, "%d%%", percent);
            ShowTips(text);
            if (toolkit::Control* bar = Find("progress")) {
                bar->SetValue(percent);
            }
            break;
        }
        case controller::WM_UPG_OK:
            Finish("${update_ok}");
            break;
        case controller::WM_UPG_FAIL:
            Finish("${update_fail}");
            break;
        case controller::WM_UPG_LOAD_FAIL:
            Finish("${load_fw_fail}");
            break;
        default:
            break;
    }
}

void CUpdateFwWnd::Notify(const toolkit::Notification& notification) {
    LogNotification(notification);
    if (IsClickOn(notification, "file_btn")) {
        ChooseImage();
        return;
    }
    if (notification.type == toolkit::kNotifySetFocus && notification.name == "file_path_edt") {
        const toolkit::Control* edit = Find("file_path_edt");
        if (edit != nullptr && edit->Text().empty()) {
            ChooseImage();
        }
        return;
    }
    if (IsClickOn(notification, "update_btn")) {
        BeginUpdate();
        return;
    }
    if (IsClickOn(notification, "cancel_btn") || IsClickOn(notification, "closebtn")) {
        Close(0);
        return;
    }
    DefaultNotify(notification);
}

void CUpdateFwWnd::OnCloseRequest() {
    if (!mRunning) {
        Close(0);
    }
}

int RunUpdateFwWindow(toolkit::Window* owner, controller::EqualizerManager& manager,
                      controller::UiServices& ui) {
    CUpdateFwWnd window(manager, ui);
    window.Prepare(owner, "");
    sOpenWindow = &window;
    const int code = window.RunModal();
    sOpenWindow = nullptr;
    return code;
}

void CloseOpenUpdateFwWindow(int code) {
    if (sOpenWindow != nullptr) {
        sOpenWindow->Close(code);
    }
}

}  // namespace ui
