#include "ui/dialogs/dialog_frame.h"

#include <QString>

#include "app/log.h"
#include "toolkit/extension_controls.h"
#include "ui/skin/display_scale.h"

namespace ui {

DialogFrame::DialogFrame(std::string className, std::string title)
    : toolkit::Window(std::move(className), std::move(title)) {
    SetBuilder([](const std::string& tag, const toolkit::XmlElement&, QWidget* parent,
                  toolkit::Window&) { return toolkit::MakeExtensionControl(tag, parent); });
}

void DialogFrame::CreateOver(toolkit::Window* owner, const std::string& layoutId) {
    SetScale(DisplayScale());
    Create(owner, layoutId);
    CenterOver(owner);
}

void DialogFrame::LogNotification(const toolkit::Notification& notification) const {
    app::Log("Notify %s\n", notification.type.c_str());
}

bool DialogFrame::IsClickOn(const toolkit::Notification& notification, const char* name) {
    return notification.type == toolkit::kNotifyClick &&
           QString::fromStdString(notification.name)
                   .compare(QString::fromLatin1(name), Qt::CaseInsensitive) == 0;
}

}  // namespace ui
