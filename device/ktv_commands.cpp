// The karaoke effect commands: one byte per value, two for the echo delay.
#include "app/log.h"
#include "device/device_link.h"
#include "device/mcu_subcommands.h"

namespace device {

bool DeviceLink::KTV_Ctrl(uint8_t subCommand, int value, bool syncMode) {
    app::Log("KTV_Ctrl subcmd(0x%02x), value(%d), syncMode(%d)\n", subCommand, value, syncMode);
    std::vector<uint8_t> data;
    if (subCommand == KTV_ECHO_DELAY) {
        data = {static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)};
    } else {
        data = {static_cast<uint8_t>(value)};
    }
    return SubmitCommand(CMD_KTV, subCommand, OP_SET, std::move(data), syncMode);
}

bool DeviceLink::KTV_Get(uint8_t subCommand) {
    app::Log("KTV_Get subcmd(0x%02x)\n", subCommand);
    return SubmitCommand(CMD_KTV, subCommand, OP_GET, {}, true);
}

}  // namespace device
