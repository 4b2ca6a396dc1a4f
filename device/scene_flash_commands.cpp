// The scene-flash commands. Saving, loading and deleting a scene writes the
// device's flash, which takes it up to 20 s to acknowledge.
#include <string>

#include "app/log.h"
#include "device/device_link.h"
#include "device/mcu_subcommands.h"

namespace device {

bool DeviceLink::SaveScene(uint8_t scene, uint8_t immediately) {
    app::Log("SaveScene scene(%d) immediately=%d\n", scene, immediately);
    return SubmitCommand(CMD_FLASH, FLASH_SCENE_SAVE, OP_SET, {scene, immediately}, true,
                         kSceneFlashTimeoutMs);
}

bool DeviceLink::ReadScene(uint8_t scene, uint8_t secondScene) {
    app::Log("ReadScene from scene(%d) to scene(%d)\n", scene, secondScene);
    return SubmitCommand(CMD_FLASH, FLASH_SCENE_READ, OP_SET, {scene, secondScene}, true,
                         kSceneFlashTimeoutMs);
}

bool DeviceLink::DeleteScene(uint8_t scene) {
    app::Log("DeleteScene scene(%d)\n", scene);
    return SubmitCommand(CMD_FLASH, FLASH_SCENE_DELETE, OP_SET, {scene}, true,
                         kSceneFlashTimeoutMs);
}

bool DeviceLink::SetSceneName(uint8_t scene, const uint8_t* name, uint8_t length) {
    if (name == nullptr) {
        length = 0;
    }
    std::string text(reinterpret_cast<const char*>(name), name != nullptr ? length : 0);
    app::Log("SetSceneName scene(%d), len(%d), (name)%s\n", scene, length, text.c_str());
    std::vector<uint8_t> data = {scene, length};
    data.insert(data.end(), name, name + length);
    return SubmitCommand(CMD_FLASH, FLASH_SCENE_NAME, OP_SET, std::move(data), true);
}

bool DeviceLink::Get_Scene_Name(uint8_t scene) {
    app::Log("Get_Scene_Name scene(%d)\n", scene);
    return SubmitCommand(CMD_FLASH, FLASH_SCENE_NAME, OP_GET, {scene}, true);
}

bool DeviceLink::Get_Scene_Id() {
    app::Log("Get_Scene_Id\n");
    return SubmitCommand(CMD_FLASH, FLASH_SCENE_ID, OP_GET, {}, true);
}

bool DeviceLink::Get_Scene_Valid() {
    app::Log("Get_Scene_Valid\n");
    return SubmitCommand(CMD_FLASH, FLASH_SCENE_VALID, OP_GET, {}, true);
}

}  // namespace device
