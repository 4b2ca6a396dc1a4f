// The microcontroller's commands: the handshake, PC control, factory default,
// ignition delay, USB power option, power-off delay and the versions of the
// DSP flash and the bootloader.
#include "app/log.h"
#include "device/device_link.h"
#include "device/mcu_subcommands.h"

namespace device {

bool DeviceLink::Hand_Connect() {
    app::Log("Hand_Connect\n");
    return SubmitCommand(CMD_MCU, MCU_HANDSHAKE, OP_SET, {}, true, kReplyTimeoutMs);
}

bool DeviceLink::PC_Connect(uint8_t connect) {
    app::Log("PC_Connect = %d\n", connect);
    // The device does not answer; a read here would take the handshake's
    // answer away from Hand_Connect.
    return SendCtrlCommand(CMD_MCU, MCU_PC_CONNECT, OP_SET, &connect, 1);
}

bool DeviceLink::MCU_Factory_Default_Ctrl() {
    app::Log("MCU_Factory_Default_Ctrl\n");
    return SubmitCommand(CMD_MCU, MCU_FACTORY_DEFAULT, OP_SET, {}, true, kFactoryDefaultTimeoutMs);
}

bool DeviceLink::MCU_Reboot_Ctrl() {
    app::Log("MCU_Reboot_Ctrl\n");
    return SubmitCommand(CMD_MCU, MCU_REBOOT, OP_SET, {}, true, kReplyTimeoutMs);
}

bool DeviceLink::Get_Delay_Power_Off_Time() {
    app::Log("Get_Delay_Power_Off_Time\n");
    return SubmitCommand(CMD_MCU, MCU_POWER_OFF_DELAY, OP_GET, {}, true, kPowerOffDelayTimeoutMs);
}

bool DeviceLink::Get_Dsp_Flash_Version() {
    app::Log("Get_Dsp_Flash_Version\n");
    return SubmitCommand(CMD_MCU, MCU_GET_DSPFLASH_VER, OP_GET, {}, true, kVersionRequestTimeoutMs);
}

bool DeviceLink::Get_Bootloader_Version() {
    app::Log("Get_Bootloader_Version\n");
    return SubmitCommand(CMD_MCU, MCU_BOOTLOADER_VER, OP_GET, {}, true, kVersionRequestTimeoutMs);
}

bool DeviceLink::Set_Power_Off_Time(int delayMs, bool syncMode) {
    app::Log("Set_Power_Off_Time = %dms\n", delayMs);
    std::vector<uint8_t> data = {static_cast<uint8_t>(delayMs >> 8), static_cast<uint8_t>(delayMs)};
    return SubmitCommand(CMD_MCU, MCU_POWER_OFF_DELAY, OP_SET, std::move(data), syncMode);
}

bool DeviceLink::Get_Acc() {
    app::Log("Get_Acc\n");
    return SubmitCommand(CMD_MCU, MCU_ACC, OP_GET, {}, true);
}

bool DeviceLink::Set_Acc(uint8_t delay, bool syncMode) {
    app::Log("Set_Acc delay:%d\n", delay);
    return SubmitCommand(CMD_MCU, MCU_ACC, OP_SET, {delay}, syncMode);
}

bool DeviceLink::Get_Usb_Power_Pin() {
    app::Log("Get_Usb_Power_Pin\n");
    return SubmitCommand(CMD_MCU, MCU_USB_POWER_PIN, OP_GET, {}, true);
}

bool DeviceLink::Set_Usb_Power_Pin(uint8_t option, bool syncMode) {
    app::Log("Set_Usb_Power_Pin value:%d\n", option);
    return SubmitCommand(CMD_MCU, MCU_USB_POWER_PIN, OP_SET, {option}, syncMode);
}

}  // namespace device
