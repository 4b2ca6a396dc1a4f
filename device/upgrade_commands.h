// The firmware upgrade's commands and states as the link carries them. The
// upgrade protocol (firmware/) drives them; the link keeps the state so that
// the controller can tell an upgrade is under way without knowing more of it.
#pragma once

#include <cstdint>

namespace device {

// Upgrade states (the link's sys_upg_status).
inline constexpr uint8_t UPG_IDLE = 0x00;
inline constexpr uint8_t UPG_ENTER = 0x10;  // MCU or bootloader image loaded
inline constexpr uint8_t UPG_START = 0x20;  // flash image loaded, or upgrade mode confirmed
inline constexpr uint8_t UPG_SEND_BIN_DATA = 0x30;
inline constexpr uint8_t UPG_WAITING_BIN_DATA_ACK = 0x31;
inline constexpr uint8_t UPG_FINISH = 0x40;
inline constexpr uint8_t UPG_FAIL = 0x50;
inline constexpr uint8_t UPG_CHIP_ERASED = 0x60;

// CMD_MCU: the microcontroller and its bootloader.
inline constexpr uint8_t MCU_Enter_Upg_Mode = 0x01;
inline constexpr uint8_t MCU_UPG_START = 0x02;
inline constexpr uint8_t MCU_UPG_DATA = 0x03;
inline constexpr uint8_t MCU_UPG_FINISH = 0x04;
inline constexpr uint8_t MCU_BL_ENTER = 0xA0;
inline constexpr uint8_t MCU_BL_START = 0xA1;
inline constexpr uint8_t MCU_BL_DATA = 0xA2;
inline constexpr uint8_t MCU_BL_FINISH = 0xA3;

// CMD_FLASH: the DSP's flash.
inline constexpr uint8_t FLASH_CHIP_ERASE = 0x02;
inline constexpr uint8_t FLASH_UPG_START = 0x03;
inline constexpr uint8_t FLASH_UPG_DATA = 0x04;
inline constexpr uint8_t FLASH_UPG_FINISH = 0x05;

// The status byte of an upgrade acknowledgement.
inline constexpr uint8_t UPG_ACK_READY = 0x0A;
inline constexpr uint8_t UPG_ACK_NOT_READY = 0x60;

// A microcontroller data block: offset (32-bit big-endian) and 32 image
// bytes. A flash block: offset, a count of at most 50, the bytes.
inline constexpr int kMcuBlockBytes = 32;
inline constexpr int kMcuBlockFrameBytes = 4 + kMcuBlockBytes;
inline constexpr int kFlashBlockBytes = 50;

}  // namespace device
