// Decoding of the scene-flash frames: save and delete acknowledgements, scene
// names, the current scene and the mask of stored scenes. The flash upgrade's
// acknowledgements (0x02..0x05) belong to the upgrade protocol.
#include <string>

#include "app/log.h"
#include "device/device_records.h"
#include "device/frame_reader.h"
#include "device/mcu_subcommands.h"
#include "device/reply_decoders.h"
#include "device/window_messages.h"

namespace device {
namespace {

bool IsUpgradeAcknowledgement(uint8_t sub) {
    return sub >= 0x02 && sub <= 0x05;
}

// An erased flash page reads as 0xFF: a name whose every byte is odd is
// taken for erased and arrives empty.
void ClearErasedName(SceneNameRecord& record) {
    int odd = 0;
    for (uint8_t byte : record.name) {
        odd += byte & 1;
    }
    if (odd == kSceneNameBytes) {
        record.name.fill(0);
    }
}

void DecodeSceneName(const FrameReader& data, platform::WindowHandle main) {
    if (!data.Has(1 + kSceneNameBytes)) {
        return;
    }
    // Only the stored scenes 1..10 have names; anything else would index
    // past the scene list.
    const int scene = data.U8(0);
    if (scene < 1 || scene > kSceneCount) {
        return;
    }
    SceneNameRecord record;
    record.sceneIndex = scene - 1;
    for (int i = 0; i < kSceneNameBytes; ++i) {
        record.name[i] = data.U8(1 + i);
    }
    ClearErasedName(record);
    std::string bytes;
    char hex[8];
    for (uint8_t byte : record.name) {
        std::snprintf(hex, sizeof hex, "0x%02x, ", byte);
        bytes += hex;
    }
    app::Log("scene_name->index(%d), name -->> %s\n", record.sceneIndex, bytes.c_str());
    PostRecord(main, WM_READ_FLASH_VALUE, FLASH_SCENE_NAME, record);
}

void DecodeAcknowledgement(uint8_t sub, const FrameReader& data, const ReplyTargets& targets) {
    if (!data.Has(2) || data.U8(0) != ACK_READY) {
        return;
    }
    const uint32_t message = sub == FLASH_SCENE_SAVE ? WM_READ_FLASH_VALUE : WM_FLASH_SCENE_DELETED;
    PostValue(targets.sceneWnd, message, data.U8(1), 0);
}

}  // namespace

void flash_ack_process(const Frame& frame, const ReplyContext& context) {
    const uint8_t sub = frame.subCommand();
    const uint8_t operation = frame.operation();
    const FrameReader data(frame);
    switch (sub) {
        case FLASH_SCENE_SAVE:
        case FLASH_SCENE_DELETE:
            if (operation == OP_ACK) {
                DecodeAcknowledgement(sub, data, context.targets);
            }
            return;
        case FLASH_SCENE_READ:
            return;
        case FLASH_SCENE_NAME:
            if (operation == OP_UPDATE) {
                DecodeSceneName(data, context.targets.mainWnd);
            }
            return;
        case FLASH_SCENE_ID:
            if (operation == OP_UPDATE && data.Has(1)) {
                app::Log("FLASH_SCENE_ID current scene id = %d\n", data.U8(0));
                PostValue(context.targets.sceneWnd, WM_FLASH_SCENE_ID, FLASH_SCENE_ID, data.U8(0));
            }
            return;
        case FLASH_SCENE_VALID:
            if (operation == OP_UPDATE && data.Has(2)) {
                const int mask = data.U8(0) * 256 + data.U8(1);
                app::Log("FLASH_SCENE_VALID valid scene = %d\n", mask);
                PostRecord(context.targets.mainWnd, WM_READ_FLASH_VALUE, FLASH_SCENE_VALID,
                           SceneValidRecord{mask});
            }
            return;
        default:
            if (!IsUpgradeAcknowledgement(sub)) {
                app::Log("!!! NOT SUPPORT MSG\n");
            }
            return;
    }
}

}  // namespace device
