// Sub-commands of the microcontroller (CMD_MCU), scene-flash (CMD_FLASH) and
// karaoke (CMD_KTV) frames that the connection upkeep sends and decodes.
#pragma once

#include <cstdint>

namespace device {

// CMD_MCU
inline constexpr uint8_t MCU_HANDSHAKE = 0x08;
inline constexpr uint8_t MCU_GET_DSPFLASH_VER = 0x0B;
inline constexpr uint8_t MCU_BOOTLOADER_VER = 0x0C;
inline constexpr uint8_t MCU_PC_CONNECT = 0x1F;
inline constexpr uint8_t MCU_STRING = 0x41;
inline constexpr uint8_t MCU_INIT = 0x60;
inline constexpr uint8_t MCU_REBOOT = 0x8F;
inline constexpr uint8_t MCU_FACTORY_DEFAULT = 0x90;
inline constexpr uint8_t MCU_POWER_OFF_DELAY = 0x91;
inline constexpr uint8_t MCU_ACC = 0x92;
inline constexpr uint8_t MCU_PING = 0x93;
inline constexpr uint8_t MCU_USB_POWER_PIN = 0x95;

// The handshake's first data byte when the device runs its upgrade program.
inline constexpr uint8_t MCU_UPGRADE_MODE = 0xF0;

// CMD_FLASH
inline constexpr uint8_t FLASH_SCENE_SAVE = 0x08;
inline constexpr uint8_t FLASH_SCENE_READ = 0x09;
inline constexpr uint8_t FLASH_SCENE_DELETE = 0x0A;
inline constexpr uint8_t FLASH_SCENE_NAME = 0x0B;
inline constexpr uint8_t FLASH_SCENE_ID = 0x0E;
inline constexpr uint8_t FLASH_SCENE_VALID = 0x0F;

// A second ReadScene byte of 255 starts reading a stored scene back.
inline constexpr uint8_t FLASH_READ_BACK = 255;
inline constexpr int kSceneCount = 10;
inline constexpr int kSceneNameBytes = 16;

// CMD_KTV
inline constexpr uint8_t KTV_MIC_VOL = 0x01;
inline constexpr uint8_t KTV_MUSIC_VOL = 0x02;
inline constexpr uint8_t KTV_HOWLING = 0x03;
inline constexpr uint8_t KTV_ECHO_LEVEL = 0x04;
inline constexpr uint8_t KTV_ECHO_DELAY = 0x05;
inline constexpr uint8_t KTV_REVERB_LEVEL = 0x06;
inline constexpr uint8_t KTV_REVERB_TIME = 0x07;
inline constexpr uint8_t KTV_VOICE_CHANGER = 0x08;
inline constexpr uint8_t KTV_BASS_GAIN = 0x09;
inline constexpr uint8_t KTV_TREBLE_GAIN = 0x0A;

}  // namespace device
