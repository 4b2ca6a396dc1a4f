#include "ui/skin/skin_setup.h"

#include <QCoreApplication>

#include "app/log.h"
#include "skin/skin_data.h"
#include "toolkit/skin.h"

namespace ui {

bool SetUpSkinFrom(const uint8_t* data, size_t size, const std::string& password) {
    toolkit::Skin& skin = toolkit::Skin::Instance();
    skin.Reset();
    std::string folder =
        QCoreApplication::applicationDirPath().toStdString() + "/" + kSkinResourceFolder;
    skin.SetResourcePath(folder);
    if (data == nullptr || size == 0) {
        return false;
    }
    if (!skin.SetArchive(data, size, password)) {
        app::Log("skin archive cannot be opened\n");
        return false;
    }
    if (!skin.LoadResourceIndex(kSkinIndexPath)) {
        app::Log("skin index %s cannot be read\n", kSkinIndexPath);
        return false;
    }
    return true;
}

bool SetUpSkin() {
    return SetUpSkinFrom(skin_data::kArchive, skin_data::kArchiveSize, skin_data::kPassword);
}

}  // namespace ui
