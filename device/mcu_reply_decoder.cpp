// Decoding of the microcontroller's frames: the handshake, versions, ACC,
// USB power option, power-off delay and pings. Upgrade acknowledgements are
// left to the upgrade protocol, which sees them through the frame tap.
#include "app/log.h"
#include "device/device_records.h"
#include "device/frame_reader.h"
#include "device/mcu_subcommands.h"
#include "device/reply_decoders.h"
#include "device/window_messages.h"

namespace device {
namespace {

constexpr size_t kMcuStringMax = 16;

bool IsUpgradeAcknowledgement(uint8_t sub) {
    return (sub >= 0x01 && sub <= 0x04) || (sub >= 0xA0 && sub <= 0xA3);
}

bool IsIgnored(uint8_t sub) {
    return (sub >= 0x05 && sub <= 0x07) || sub == 0x0A || sub == 0x0D || sub == MCU_PC_CONNECT ||
           sub == MCU_REBOOT || sub == MCU_FACTORY_DEFAULT;
}

void DecodeHandshake(const FrameReader& data, platform::WindowHandle main, McuReport& report) {
    if (!data.Has(1)) {
        return;
    }
    if (data.U8(0) == MCU_UPGRADE_MODE) {
        report.handshake = true;
        report.normalMode = false;
        PostValue(main, WM_DEVICE_STATUS_UNNORMAL, 0, 0);
        return;
    }
    if (!data.Has(4)) {
        return;
    }
    report.handshake = true;
    report.normalMode = true;
    report.modelId = data.U8(1);
    app::Log("model = %d, master verion = %d, slave verion = %d\n", data.U8(1), data.U8(2),
             data.U8(3));
    PostRecord(main, WM_READ_MCU_VALUE, MCU_HANDSHAKE,
               HandshakeRecord{0, data.U8(1), data.U8(2), data.U8(3)});
}

void DecodeFlashVersion(const FrameReader& data, platform::WindowHandle main) {
    if (!data.Has(4)) {
        return;
    }
    app::Log("flashver = %02d%02d%02d%02d\n", data.U8(0), data.U8(1), data.U8(2), data.U8(3));
    FlashVersionRecord record;
    for (int i = 0; i < 4; ++i) {
        record.version[i] = data.U8(i);
    }
    PostRecord(main, WM_READ_MCU_VALUE, MCU_GET_DSPFLASH_VER, record);
}

void DecodeString(const FrameReader& data, platform::WindowHandle main) {
    if (!data.Has(1)) {
        return;
    }
    McuStringRecord record;
    size_t length = data.U8(0);
    if (length > kMcuStringMax) {
        length = kMcuStringMax;
    }
    if (!data.Has(static_cast<int>(1 + length))) {
        length = static_cast<size_t>(data.Length() - 1);
    }
    record.length = static_cast<uint8_t>(length);
    for (size_t i = 0; i < length; ++i) {
        record.bytes[i] = data.U8(static_cast<int>(1 + i));
    }
    PostRecord(main, WM_READ_MCU_VALUE, MCU_STRING, record);
}

void DecodeUpdate(uint8_t sub, const FrameReader& data, platform::WindowHandle main,
                  McuReport& report) {
    switch (sub) {
        case MCU_HANDSHAKE:
            DecodeHandshake(data, main, report);
            return;
        case MCU_GET_DSPFLASH_VER:
            DecodeFlashVersion(data, main);
            return;
        case MCU_BOOTLOADER_VER:
            if (data.Has(1)) {
                report.bootloaderVersionSeen = true;
                report.bootloaderVersion = data.U8(0);
            }
            return;
        case MCU_STRING:
            DecodeString(data, main);
            return;
        case MCU_POWER_OFF_DELAY:
            if (data.Has(2)) {
                PostValue(main, WM_READ_MCU_VALUE, sub, data.U8(0) * 256 + data.U8(1));
            }
            return;
        case MCU_ACC:
            if (data.Has(1)) {
                app::Log("MCU_ACC OP=0x%x, delay = %d\n", OP_UPDATE, data.U8(0));
                PostValue(main, WM_READ_MCU_VALUE, sub, data.S8(0));
            }
            return;
        case MCU_PING:
            app::Log("\n post WM_READ_MCU_VALUE + MCU_PING\n");
            report.ping = true;
            PostValue(main, WM_READ_MCU_VALUE, sub, 0);
            return;
        case MCU_USB_POWER_PIN:
            if (data.Has(1)) {
                app::Log("MCU_USB_POWER_PIN OP=0x%x, usb option = %d\n", OP_UPDATE, data.U8(0));
                PostValue(main, WM_READ_MCU_VALUE, sub, data.S8(0));
            }
            return;
        default:
            return;
    }
}

bool IsDecodedUpdate(uint8_t sub) {
    switch (sub) {
        case MCU_HANDSHAKE:
        case MCU_GET_DSPFLASH_VER:
        case MCU_BOOTLOADER_VER:
        case MCU_STRING:
        case MCU_POWER_OFF_DELAY:
        case MCU_ACC:
        case MCU_PING:
        case MCU_USB_POWER_PIN:
            return true;
        default:
            return false;
    }
}

}  // namespace

McuReport mcu_ack_process(const Frame& frame, const ReplyContext& context) {
    McuReport report;
    const uint8_t sub = frame.subCommand();
    if (sub == MCU_INIT) {
        app::Log("MCU INIT\n");
        return report;
    }
    if (IsIgnored(sub) || IsUpgradeAcknowledgement(sub)) {
        return report;
    }
    if (!IsDecodedUpdate(sub)) {
        app::Log("!!! NOT SUPPORT MSG\n");
        return report;
    }
    if (frame.operation() == OP_UPDATE) {
        DecodeUpdate(sub, FrameReader(frame), context.targets.mainWnd, report);
    }
    return report;
}

}  // namespace device
