#include "virtual_device/virtual_hid_backend.h"

#include <atomic>
#include <cwchar>
#include <mutex>

namespace virtual_device {
namespace {

constexpr const char* kPathPrefix = "virtual:";

// One open handle on a virtual amplifier; dead once the amplifier is
// unplugged, even if it is plugged back in.
class VirtualHidDevice final : public device::HidDevice {
public:
    explicit VirtualHidDevice(std::shared_ptr<VirtualAmplifier> amplifier)
        : mAmplifier(std::move(amplifier)), mGeneration(mAmplifier->Generation()) {}

    int Write(const uint8_t* data, size_t length) override {
        int result = mAmplifier->HostWrite(mGeneration, data, length);
        if (result < 0) {
            SetError(L"The device is not connected.");
        }
        return result;
    }
    int ReadTimeout(uint8_t* data, size_t length, int timeoutMs) override {
        if (mNonblocking && timeoutMs < 0) {
            timeoutMs = 0;
        }
        int result = mAmplifier->HostRead(mGeneration, data, length, timeoutMs);
        if (result < 0) {
            SetError(L"The device is not connected.");
        }
        return result;
    }
    int SetNonblocking(bool nonblocking) override {
        mNonblocking = nonblocking;
        return 0;
    }
    int GetManufacturerString(wchar_t* text, size_t maxChars) override {
        return CopyString(0, text, maxChars);
    }
    int GetProductString(wchar_t* text, size_t maxChars) override {
        return CopyString(1, text, maxChars);
    }
    int GetSerialNumberString(wchar_t* text, size_t maxChars) override {
        return CopyString(2, text, maxChars);
    }
    int GetIndexedString(int, wchar_t* text, size_t maxChars) override {
        return CopyString(3, text, maxChars);
    }
    std::wstring Error() override {
        std::lock_guard<std::mutex> hold(mErrorLock);
        return mLastError;
    }
    bool IsGone() override { return !mAmplifier->IsAlive(mGeneration); }

private:
    void SetError(const wchar_t* text) {
        std::lock_guard<std::mutex> hold(mErrorLock);
        mLastError = text;
    }

    int CopyString(int which, wchar_t* text, size_t maxChars) {
        std::wstring value;
        if (maxChars == 0 || mAmplifier->HostString(mGeneration, which, &value) != 0) {
            return -1;
        }
        std::wcsncpy(text, value.c_str(), maxChars - 1);
        text[maxChars - 1] = L'\0';
        return 0;
    }

    std::shared_ptr<VirtualAmplifier> mAmplifier;
    const uint64_t mGeneration;
    std::atomic<bool> mNonblocking{false};
    std::mutex mErrorLock;
    std::wstring mLastError;  // guarded by mErrorLock
};

bool Matches(const VirtualAmplifier& amplifier, uint16_t vendorId, uint16_t productId) {
    return (vendorId == 0 || amplifier.identity().vendorId == vendorId) &&
           (productId == 0 || amplifier.identity().productId == productId);
}

}  // namespace

std::string VirtualHidBackend::PathOf(size_t index) {
    return kPathPrefix + std::to_string(index);
}

std::string VirtualHidBackend::Add(std::shared_ptr<VirtualAmplifier> amplifier) {
    std::lock_guard<std::mutex> hold(mLock);
    mAmplifiers.push_back(std::move(amplifier));
    return PathOf(mAmplifiers.size() - 1);
}

std::shared_ptr<VirtualAmplifier> VirtualHidBackend::Amplifier(size_t index) const {
    std::lock_guard<std::mutex> hold(mLock);
    return index < mAmplifiers.size() ? mAmplifiers[index] : nullptr;
}

std::vector<device::HidDeviceInfo> VirtualHidBackend::Enumerate(uint16_t vendorId,
                                                                uint16_t productId) {
    std::lock_guard<std::mutex> hold(mLock);
    std::vector<device::HidDeviceInfo> found;
    for (size_t i = 0; i < mAmplifiers.size(); ++i) {
        const VirtualAmplifier& amplifier = *mAmplifiers[i];
        if (!amplifier.IsPlugged() || !Matches(amplifier, vendorId, productId)) {
            continue;
        }
        device::HidDeviceInfo info;
        info.path = PathOf(i);
        info.vendorId = amplifier.identity().vendorId;
        info.productId = amplifier.identity().productId;
        info.serialNumber = amplifier.identity().serialNumber;
        info.manufacturer = amplifier.identity().manufacturer;
        info.product = amplifier.identity().product;
        info.interfaceNumber = 0;
        found.push_back(std::move(info));
    }
    return found;
}

std::unique_ptr<device::HidDevice> VirtualHidBackend::Open(uint16_t vendorId, uint16_t productId) {
    std::lock_guard<std::mutex> hold(mLock);
    for (const auto& amplifier : mAmplifiers) {
        if (amplifier->IsPlugged() && Matches(*amplifier, vendorId, productId)) {
            return std::make_unique<VirtualHidDevice>(amplifier);
        }
    }
    return nullptr;
}

std::unique_ptr<device::HidDevice> VirtualHidBackend::OpenPath(const std::string& path) {
    if (path.rfind(kPathPrefix, 0) != 0) {
        return nullptr;
    }
    const std::string number = path.substr(std::char_traits<char>::length(kPathPrefix));
    if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos ||
        number.size() > 6) {
        return nullptr;
    }
    std::shared_ptr<VirtualAmplifier> amplifier = Amplifier(std::stoul(number));
    if (amplifier == nullptr || !amplifier->IsPlugged()) {
        return nullptr;
    }
    return std::make_unique<VirtualHidDevice>(amplifier);
}

}  // namespace virtual_device
