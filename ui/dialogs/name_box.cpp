#include "ui/dialogs/name_box.h"

#include <QLineEdit>
#include <QString>

#include "ui/dialogs/message_box.h"

namespace ui {

CNameMsgWnd::CNameMsgWnd(char16_t (&name)[kNameBufferUnits])
    : DialogFrame("NameMsgWnd", "namemsgwnd"), mName(name) {}

void CNameMsgWnd::Prepare(toolkit::Window* owner) {
    CreateOver(owner, "XML_MSG_NAME");
    toolkit::Control* edit = Find("name_edt");
    if (edit == nullptr) {
        return;
    }
    mName[kNameBufferUnits - 1] = 0;
    if (auto* line = qobject_cast<QLineEdit*>(edit->Widget())) {
        line->setMaxLength(kMaxNameChars);
        line->setText(QString::fromUtf16(mName));
    }
    edit->SetFocus();
}

void CNameMsgWnd::StoreName() {
    toolkit::Control* edit = Find("name_edt");
    if (edit == nullptr) {
        return;
    }
    // The edit refuses an eighth character; a pasted text is cut here too,
    // without splitting a surrogate pair.
    QString text = QString::fromStdString(edit->Text());
    qsizetype units = std::min<qsizetype>(text.size(), kMaxNameChars);
    if (units > 0 && units < text.size() && text.at(units - 1).isHighSurrogate()) {
        --units;
    }
    size_t i = 0;
    for (; i < static_cast<size_t>(units); ++i) {
        mName[i] = text.at(static_cast<qsizetype>(i)).unicode();
    }
    for (; i < kNameBufferUnits; ++i) {
        mName[i] = 0;
    }
}

void CNameMsgWnd::Notify(const toolkit::Notification& notification) {
    LogNotification(notification);
    bool enterInEdit =
        notification.type == toolkit::kNotifyReturn && notification.name == "name_edt";
    if (enterInEdit || IsClickOn(notification, "confirm_btn")) {
        StoreName();
        Close(kBoxConfirm);
    } else if (IsClickOn(notification, "cancel_btn") || IsClickOn(notification, "closebtn")) {
        Close(kBoxCancel);
    } else if (IsClickOn(notification, "third_btn")) {
        Close(kBoxThird);
    }
}

void CNameMsgWnd::OnKeyDown(int) {
    if (toolkit::Control* edit = Find("name_edt")) {
        edit->SetFocus();
    }
}

int ShowNameBox(toolkit::Window* owner, char16_t (&name)[kNameBufferUnits]) {
    CNameMsgWnd box(name);
    box.Prepare(owner);
    return box.RunModal();
}

}  // namespace ui
