// The window messages by which the device link hands decoded device values
// to the user interface. The numbers are fixed: the windows dispatch on them.
#pragma once

#include <cstdint>

namespace device {

// wParam: the DSP sub-command; lParam: a value, or the record carries it.
inline constexpr uint32_t WM_READ_DSP_VALUE = 1234;
// wParam: the MCU sub-command.
inline constexpr uint32_t WM_READ_MCU_VALUE = 1235;
// wParam: the flash sub-command (0x0B, 0x0F), or the saved scene for a save
// acknowledgement.
inline constexpr uint32_t WM_READ_FLASH_VALUE = 1237;
// wParam: the deleted scene.
inline constexpr uint32_t WM_FLASH_SCENE_DELETED = 1238;
// The handshake found the device in its upgrade program.
inline constexpr uint32_t WM_DEVICE_STATUS_UNNORMAL = 1239;
// wParam: the calibration sub-command or status.
inline constexpr uint32_t WM_READ_IRC_VALUE = 1241;
// wParam: the KTV sub-command; lParam: the value.
inline constexpr uint32_t WM_READ_KTV_VALUE = 1246;
// wParam: 0x42; the record holds address and value.
inline constexpr uint32_t WM_READ_MEM_VALUE = 1249;
// wParam: 0x0E; lParam: the current scene id.
inline constexpr uint32_t WM_FLASH_SCENE_ID = 1250;

}  // namespace device
