// The HID seam over the real hidapi library (hidraw backend on Linux).
#pragma once

#include "device/hid_seam.h"

namespace device {

class HidapiBackend final : public HidBackend {
public:
    int Init() override;
    std::vector<HidDeviceInfo> Enumerate(uint16_t vendorId, uint16_t productId) override;
    std::unique_ptr<HidDevice> Open(uint16_t vendorId, uint16_t productId) override;
    std::unique_ptr<HidDevice> OpenPath(const std::string& path) override;
};

}  // namespace device
