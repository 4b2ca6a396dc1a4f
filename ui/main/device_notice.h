// Device arrival and removal as the main window receives them: the stand-in
// for the system's device-change broadcast, raised by the udev monitor for
// real amplifiers and by virtual amplifiers when they are plugged or pulled.
#pragma once

#include <cstdint>
#include <string>

namespace ui {

inline constexpr uint32_t WM_DEVICECHANGE = 0x0219;
inline constexpr uintptr_t DBT_DEVNODES_CHANGED = 0x0007;
inline constexpr uintptr_t DBT_DEVICEARRIVAL = 0x8000;
inline constexpr uintptr_t DBT_DEVICEREMOVECOMPLETE = 0x8004;

// The record of an arrival or removal: the interface path as hidapi names it
// and the USB ids (0 when the system no longer tells them).
struct DeviceNotice {
    std::string path;
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    bool isHid = true;
};

}  // namespace ui
