#include "device/hid_backend_chain.h"

namespace device {

void HidBackendChain::Add(std::shared_ptr<HidBackend> backend) {
    std::lock_guard<std::mutex> hold(mLock);
    mBackends.push_back(std::move(backend));
}

std::vector<std::shared_ptr<HidBackend>> HidBackendChain::Backends() {
    std::lock_guard<std::mutex> hold(mLock);
    return mBackends;
}

int HidBackendChain::Init() {
    int result = -1;
    for (auto& backend : Backends()) {
        if (backend->Init() == 0) {
            result = 0;  // one working backend is enough
        }
    }
    return result;
}

std::vector<HidDeviceInfo> HidBackendChain::Enumerate(uint16_t vendorId, uint16_t productId) {
    std::vector<HidDeviceInfo> all;
    for (auto& backend : Backends()) {
        for (auto& info : backend->Enumerate(vendorId, productId)) {
            all.push_back(std::move(info));
        }
    }
    return all;
}

std::unique_ptr<HidDevice> HidBackendChain::Open(uint16_t vendorId, uint16_t productId) {
    for (auto& backend : Backends()) {
        if (auto device = backend->Open(vendorId, productId)) {
            return device;
        }
    }
    return nullptr;
}

std::unique_ptr<HidDevice> HidBackendChain::OpenPath(const std::string& path) {
    for (auto& backend : Backends()) {
        for (const auto& info : backend->Enumerate(0, 0)) {
            if (info.path == path) {
                return backend->OpenPath(path);
            }
        }
    }
    return nullptr;
}

}  // namespace device
