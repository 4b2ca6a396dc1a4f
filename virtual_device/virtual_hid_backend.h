// The HID seam over virtual amplifiers: each plugged amplifier is listed under
// the path "virtual:N", N its number in this backend.
#pragma once

#include <memory>
#include <mutex>
#include <vector>

#include "device/hid_seam.h"
#include "virtual_device/virtual_amplifier.h"

namespace virtual_device {

class VirtualHidBackend final : public device::HidBackend {
public:
    // Adds an amplifier; returns its path.
    std::string Add(std::shared_ptr<VirtualAmplifier> amplifier);
    std::shared_ptr<VirtualAmplifier> Amplifier(size_t index) const;
    static std::string PathOf(size_t index);

    int Init() override { return 0; }
    std::vector<device::HidDeviceInfo> Enumerate(uint16_t vendorId, uint16_t productId) override;
    std::unique_ptr<device::HidDevice> Open(uint16_t vendorId, uint16_t productId) override;
    std::unique_ptr<device::HidDevice> OpenPath(const std::string& path) override;

private:
    mutable std::mutex mLock;
    std::vector<std::shared_ptr<VirtualAmplifier>> mAmplifiers;  // guarded by mLock
};

}  // namespace virtual_device
