#include "ui/dialogs/about_window.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>
#include <cstring>

#include "app/version.h"
#include "toolkit/text_resources.h"
#include "ui/dialogs/message_box.h"

namespace ui {

namespace {

std::string ModelPrefix(const app::ModelCfg& model) {
    std::string name(model.mMODEL_NAME, strnlen(model.mMODEL_NAME, sizeof(model.mMODEL_NAME)));
    return name.empty() ? std::string() : name + " ";
}

std::string Utf8(const char16_t* text, size_t capacity) {
    size_t length = 0;
    while (length < capacity && text[length] != 0) {
        ++length;
    }
    return QString::fromUtf16(text, static_cast<qsizetype>(length)).toStdString();
}

}  // namespace

std::string AboutFirmwareLine(const app::ModelCfg& model, const DeviceVersion& device) {
    std::string prefix = ModelPrefix(model);
    if (device.modelNumber == -1) {
        return prefix;
    }
    return prefix + toolkit::Translate("${version}") + " v" + std::to_string(device.masterVersion) +
           "." + std::to_string(device.slaveVersion);
}

std::string AboutSoftwareLine() {
    return toolkit::Translate("${soft_version}") + " " + app::kSoftwareVersion;
}

std::string AboutInnerFirmwareLine(const app::ModelCfg& model) {
    return toolkit::Translate("${inner_fw_version}") + " v" +
           std::to_string(model.mINNER_FW_MAIN_VER) + "." +
           std::to_string(model.mINNER_FW_SLAVE_VER);
}

void CAboutWnd::Prepare(toolkit::Window* owner) {
    CreateOver(owner, "XML_ABOUT");
    toolkit::Control* company = Find("company_title");
    if (company != nullptr && mModel.mCOMPANY_URL != 0) {
        company->SetVisible(false);
    }
    if (toolkit::Control* firmware = Find("fw_version")) {
        firmware->SetText(AboutFirmwareLine(mModel, mDevice));
        firmware->SetVisible(mDevice.modelNumber != -1 || !ModelPrefix(mModel).empty());
    }
    if (toolkit::Control* software = Find("soft_version")) {
        software->SetText(AboutSoftwareLine());
    }
    if (toolkit::Control* inner = Find("inner_fw_version");
        inner != nullptr && mModel.mENABLE_FORCE_UPDATE) {
        inner->SetVisible(true);
        inner->SetText(AboutInnerFirmwareLine(mModel));
    }
    if (company != nullptr) {
        company->SetText(
            Utf8(mModel.mPROGRAM_TITLE, sizeof(mModel.mPROGRAM_TITLE) / sizeof(char16_t)));
    }
    std::string logo = Utf8(mModel.mLOGO_PNG, sizeof(mModel.mLOGO_PNG) / sizeof(char16_t));
    if (toolkit::Control* image = Find("logo"); image != nullptr && !logo.empty()) {
        image->SetImage(logo);
    }
}

void CAboutWnd::Notify(const toolkit::Notification& notification) {
    LogNotification(notification);
    if (notification.type == toolkit::kNotifyClick && notification.name.rfind("web_btn", 0) == 0 &&
        mModel.mCOMPANY_URL != 0 && notification.sender != nullptr) {
        QDesktopServices::openUrl(
            QUrl(QString::fromStdString(toolkit::Translate(notification.sender->Text()))));
    }
    if (IsClickOn(notification, "confirm_btn")) {
        Close(kBoxConfirm);
    } else if (IsClickOn(notification, "cancel_btn") || IsClickOn(notification, "closebtn")) {
        Close(kBoxCancel);
    } else if (IsClickOn(notification, "third_btn")) {
        Close(kBoxThird);
    }
}

int ShowAboutWindow(toolkit::Window* owner, const app::ModelCfg& model, DeviceVersion device) {
    CAboutWnd window(model, device);
    window.Prepare(owner);
    return window.RunModal();
}

}  // namespace ui
