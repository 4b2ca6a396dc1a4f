#include "device/hidapi_backend.h"

#include <hidapi/hidapi.h>
#include <sys/stat.h>

namespace device {
namespace {

std::wstring TextOrEmpty(const wchar_t* text) {
    return text != nullptr ? text : L"";
}

class HidapiDevice final : public HidDevice {
public:
    HidapiDevice(hid_device* handle, std::string path) : mHandle(handle), mPath(std::move(path)) {}
    ~HidapiDevice() override { hid_close(mHandle); }

    int Write(const uint8_t* data, size_t length) override {
        return hid_write(mHandle, data, length);
    }
    int ReadTimeout(uint8_t* data, size_t length, int timeoutMs) override {
        return hid_read_timeout(mHandle, data, length, timeoutMs);
    }
    int SetNonblocking(bool nonblocking) override {
        return hid_set_nonblocking(mHandle, nonblocking ? 1 : 0);
    }
    int GetManufacturerString(wchar_t* text, size_t maxChars) override {
        return hid_get_manufacturer_string(mHandle, text, maxChars);
    }
    int GetProductString(wchar_t* text, size_t maxChars) override {
        return hid_get_product_string(mHandle, text, maxChars);
    }
    int GetSerialNumberString(wchar_t* text, size_t maxChars) override {
        return hid_get_serial_number_string(mHandle, text, maxChars);
    }
    int GetIndexedString(int index, wchar_t* text, size_t maxChars) override {
        return hid_get_indexed_string(mHandle, index, text, maxChars);
    }
    std::wstring Error() override { return TextOrEmpty(hid_error(mHandle)); }

    // hidraw keeps the node of a pulled device until its last user closes
    // it only while the kernel still knows the device; once the node is gone
    // no read or write will succeed again.
    bool IsGone() override {
        struct stat info {};
        return ::stat(mPath.c_str(), &info) != 0;
    }

private:
    hid_device* mHandle;
    std::string mPath;
};

std::string PathOfFirst(uint16_t vendorId, uint16_t productId) {
    std::string path;
    hid_device_info* list = hid_enumerate(vendorId, productId);
    if (list != nullptr && list->path != nullptr) {
        path = list->path;
    }
    hid_free_enumeration(list);
    return path;
}

}  // namespace

int HidapiBackend::Init() {
    return hid_init();
}

std::vector<HidDeviceInfo> HidapiBackend::Enumerate(uint16_t vendorId, uint16_t productId) {
    std::vector<HidDeviceInfo> found;
    hid_device_info* list = hid_enumerate(vendorId, productId);
    for (hid_device_info* at = list; at != nullptr; at = at->next) {
        HidDeviceInfo info;
        info.path = at->path != nullptr ? at->path : "";
        info.vendorId = at->vendor_id;
        info.productId = at->product_id;
        info.serialNumber = TextOrEmpty(at->serial_number);
        info.manufacturer = TextOrEmpty(at->manufacturer_string);
        info.product = TextOrEmpty(at->product_string);
        info.interfaceNumber = at->interface_number;
        found.push_back(std::move(info));
    }
    hid_free_enumeration(list);
    return found;
}

std::unique_ptr<HidDevice> HidapiBackend::Open(uint16_t vendorId, uint16_t productId) {
    std::string path = PathOfFirst(vendorId, productId);
    if (path.empty()) {
        return nullptr;
    }
    return OpenPath(path);
}

std::unique_ptr<HidDevice> HidapiBackend::OpenPath(const std::string& path) {
    hid_device* handle = hid_open_path(path.c_str());
    if (handle == nullptr) {
        return nullptr;
    }
    return std::make_unique<HidapiDevice>(handle, path);
}

}  // namespace device
