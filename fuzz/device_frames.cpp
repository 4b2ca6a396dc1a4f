// Arbitrary input report streams through the device link's reassembly and
// every reply decoder. Input: one byte of model flags, then reports, each a
// length byte (taken modulo 65) and that many bytes.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

#include "device/device_link.h"
#include "platform/message_post.h"

namespace {

constexpr platform::WindowHandle kWindow = 1;

// The reports of the current input, served one per read.
std::deque<std::vector<uint8_t>> gReports;

class FakeDevice final : public device::HidDevice {
public:
    int Write(const uint8_t*, size_t length) override { return static_cast<int>(length); }
    int ReadTimeout(uint8_t* data, size_t length, int) override {
        if (gReports.empty()) {
            return 0;
        }
        std::vector<uint8_t> report = std::move(gReports.front());
        gReports.pop_front();
        const size_t count = report.size() < length ? report.size() : length;
        std::memcpy(data, report.data(), count);
        return static_cast<int>(count);
    }
    int SetNonblocking(bool) override { return 0; }
    int GetManufacturerString(wchar_t* text, size_t) override { return Empty(text); }
    int GetProductString(wchar_t* text, size_t) override { return Empty(text); }
    int GetSerialNumberString(wchar_t* text, size_t) override { return Empty(text); }
    int GetIndexedString(int, wchar_t* text, size_t) override { return Empty(text); }
    std::wstring Error() override { return L""; }
    bool IsGone() override { return false; }

private:
    static int Empty(wchar_t* text) {
        text[0] = L'\0';
        return 0;
    }
};

class FakeBackend final : public device::HidBackend {
public:
    int Init() override { return 0; }
    std::vector<device::HidDeviceInfo> Enumerate(uint16_t, uint16_t) override { return {}; }
    std::unique_ptr<device::HidDevice> Open(uint16_t, uint16_t) override {
        return std::make_unique<FakeDevice>();
    }
    std::unique_ptr<device::HidDevice> OpenPath(const std::string&) override {
        return std::make_unique<FakeDevice>();
    }
};

// Takes every message and drops it, which releases its record.
class DiscardingSink final : public platform::MessageSink {
public:
    bool Post(platform::PostedMessage message) override {
        mLast = message.message ^ static_cast<uint32_t>(message.wParam);
        return true;
    }
    uint32_t mLast = 0;
};

device::DeviceLink& Link() {
    static auto* link = [] {
        platform::SetMessageSink(std::make_shared<DiscardingSink>());
        auto* made = new device::DeviceLink(std::make_shared<FakeBackend>());
        made->SetMainWnd(kWindow);
        made->SetSceneWnd(kWindow);
        made->SetAutoCalWnd(kWindow);
        made->SetNoiseWnd(kWindow);
        made->SetMemWnd(kWindow);
        return made;
    }();
    return *link;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    device::DeviceLink& link = Link();
    const uint8_t flags = data[0];
    device::ModelParams params;
    params.outputChannels = (flags & 0x1F) + 2;
    params.mixerInputs = 8 * ((flags >> 5) & 0x3) + 2;
    params.floatTrim = (flags & 0x80) != 0;
    params.eqPrecision = (flags & 0x40) != 0;
    link.SetModelParams(params);

    gReports.clear();
    size_t at = 1;
    while (at < size) {
        const size_t length = data[at++] % 65;
        const size_t take = length < size - at ? length : size - at;
        gReports.emplace_back(data + at, data + at + take);
        at += take;
    }
    link.OpenHIDDevice("");  // a fresh parser for every input
    uint8_t buffer[device::kOutputReportSize];
    while (!gReports.empty()) {
        link.ReadHIDData(buffer, 0);
    }
    link.CloseHIDDevice(false);
    return 0;
}
