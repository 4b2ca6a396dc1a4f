#include "ui/dialogs/preference_window.h"

#include <QString>

#include "app/log.h"
#include "ui/dialogs/message_box.h"

namespace ui {
namespace {

bool NameIs(const toolkit::Notification& notification, const char* name) {
    return QString::fromStdString(notification.name)
               .compare(QString::fromLatin1(name), Qt::CaseInsensitive) == 0;
}

void ShowSelected(toolkit::Window& window, const char* name, bool selected) {
    if (toolkit::Control* option = window.Find(name)) {
        option->SetSelected(selected, false);
    }
}

}  // namespace

CPreferenceWnd::CPreferenceWnd(controller::EqualizerManager& manager)
    : DialogFrame("PreferenceWnd", "prefwnd"), mManager(manager) {}

void CPreferenceWnd::Prepare(toolkit::Window* owner) {
    CreateOver(owner, "XML_PREFERENCE");
    ShowSelected(*this, "ch_link_phase", mManager.LinksPhase());
    ShowSelected(*this, "ch_link_mute", mManager.LinksMute());
    ShowSelected(*this, "ch_usb_udp", !mManager.UsbModeIsScp());
    ShowSelected(*this, "ch_usb_scp", mManager.UsbModeIsScp());
}

void CPreferenceWnd::Notify(const toolkit::Notification& notification) {
    LogNotification(notification);
    if (IsClickOn(notification, "confirm_btn") || IsClickOn(notification, "closebtn")) {
        Close(kBoxConfirm);
        return;
    }
    if (notification.type == toolkit::kNotifySelectChanged) {
        OnOptionChanged(notification);
    }
    DefaultNotify(notification);
}

void CPreferenceWnd::OnOptionChanged(const toolkit::Notification& notification) {
    app::Log("on option %s DUI_MSGTYPE_SELECTCHANGED index %d\n", notification.name.c_str(),
             notification.userDataInt);
    const bool selected = notification.sender != nullptr && notification.sender->Selected();
    if (NameIs(notification, "ch_link_phase")) {
        mManager.SetLinkOptions(mManager.LinksMute(), selected);
        app::Log("m_pEqualizerManager->mLinkPhase %d\n", selected ? 1 : 0);
    } else if (NameIs(notification, "ch_link_mute")) {
        mManager.SetLinkOptions(selected, mManager.LinksPhase());
        app::Log("m_pEqualizerManager->mLinkMute %d\n", selected ? 1 : 0);
    } else if (NameIs(notification, "ch_usb_udp")) {
        mManager.SetUsbMode(!selected);
    } else if (NameIs(notification, "ch_usb_scp")) {
        mManager.SetUsbMode(selected);
    }
}

void CPreferenceWnd::OnCloseRequest() {
    Close(kBoxConfirm);
}

int OpenPreferenceWindow(toolkit::Window* owner, controller::EqualizerManager& manager) {
    CPreferenceWnd window(manager);
    window.Prepare(owner);
    return window.RunModal();
}

}  // namespace ui
