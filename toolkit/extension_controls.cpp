#include "toolkit/extension_controls.h"

#include <QString>

#include "toolkit/skin_widgets.h"

namespace toolkit {

QWidget* MakeExtensionControl(const std::string& tag, QWidget* parent) {
    QString name = QString::fromStdString(tag);
    if (name.compare("SButton", Qt::CaseInsensitive) == 0) {
        return new SwitchButton(parent);
    }
    if (name.compare("CircleProgress", Qt::CaseInsensitive) == 0) {
        return new CircleProgress(parent);
    }
    return nullptr;
}

}  // namespace toolkit
