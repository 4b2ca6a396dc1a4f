// Several HID backends seen as one: the real hidapi devices and any virtual
// amplifiers. Enumeration lists the devices of every backend in order; a path
// is opened by the backend that lists it.
#pragma once

#include <memory>
#include <mutex>
#include <vector>

#include "device/hid_seam.h"

namespace device {

class HidBackendChain final : public HidBackend {
public:
    void Add(std::shared_ptr<HidBackend> backend);

    int Init() override;
    std::vector<HidDeviceInfo> Enumerate(uint16_t vendorId, uint16_t productId) override;
    std::unique_ptr<HidDevice> Open(uint16_t vendorId, uint16_t productId) override;
    std::unique_ptr<HidDevice> OpenPath(const std::string& path) override;

private:
    std::vector<std::shared_ptr<HidBackend>> Backends();

    std::mutex mLock;
    std::vector<std::shared_ptr<HidBackend>> mBackends;  // guarded by mLock
};

}  // namespace device
