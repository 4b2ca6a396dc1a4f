// The transport half of the device link: open, close, write one report, read
// one report with a time-out.
#include <algorithm>
#include <cwchar>
#include <string>
#include <thread>

#include "app/log.h"
#include "device/device_link.h"
#include "device/tick.h"

namespace device {
namespace {

constexpr int kWriterWaitMs = 2000;
constexpr int64_t kReadSliceMs = 50;
constexpr size_t kStringChars = 256;
constexpr int kMaxStringReadFailures = 2;
constexpr uint8_t MCU_PC_CONNECT = 0x1F;

// A number for the log that tells devices apart, as the handle value does.
int HandleNumber(const HidDevice* device) {
    return static_cast<int>(reinterpret_cast<uintptr_t>(device) & 0x7FFFFFFF);
}

std::string ByteList(const uint8_t* bytes, size_t count) {
    std::string text;
    char hex[4];
    for (size_t i = 0; i < count; ++i) {
        std::snprintf(hex, sizeof hex, "%02x ", bytes[i]);
        text += hex;
    }
    return text;
}

// Reads the four string descriptors into the log; returns how many failed.
// hidraw cannot read indexed string 1, so one failure is normal there.
int LogStringDescriptors(HidDevice& device) {
    wchar_t text[kStringChars];
    int failures = 0;
    text[0] = L'\0';
    if (device.GetManufacturerString(text, kStringChars - 1) == 0) {
        app::Log("Manufacturer String: %ls\n", text);
    } else {
        app::Log("Unable to read manufacturer string\n");
        ++failures;
    }
    text[0] = L'\0';
    if (device.GetProductString(text, kStringChars - 1) == 0) {
        app::Log("Product String: %ls\n", text);
    } else {
        app::Log("Unable to read product string\n");
        ++failures;
    }
    text[0] = L'\0';
    if (device.GetSerialNumberString(text, kStringChars - 1) == 0) {
        app::Log("Serial Number String: (%d) %ls\n", static_cast<int>(text[0]), text);
    } else {
        app::Log("Unable to read serial number string\n");
        ++failures;
    }
    text[0] = L'\0';
    if (device.GetIndexedString(1, text, kStringChars - 1) == 0) {
        app::Log("Indexed String 1: %ls\n", text);
    } else {
        app::Log("Unable to read indexed string 1\n");
        ++failures;
    }
    return failures;
}

}  // namespace

std::shared_ptr<HidDevice> DeviceLink::Handle() const {
    std::lock_guard<std::mutex> hold(mHandleLock);
    return mHidHandle;
}

bool DeviceLink::IsConnected() const {
    return Handle() != nullptr;
}

bool DeviceLink::IsDeviceGone() const {
    std::shared_ptr<HidDevice> handle = Handle();
    return handle != nullptr && handle->IsGone();
}

void DeviceLink::OpenHIDDevice(const std::string& path) {
    if (mBackend == nullptr || mBackend->Init() != 0) {
        return;
    }
    std::shared_ptr<HidDevice> opened;
    if (!path.empty()) {
        opened = mBackend->OpenPath(path);
        app::Log("open device %s\n", path.c_str());
    } else {
        opened = mBackend->Open(kAmplifierVendorId, kAmplifierProductId);
        app::Log("auto open device %s\n", path.c_str());
    }
    if (opened == nullptr) {
        app::Log("unable to open device\n");
        return;
    }
    if (LogStringDescriptors(*opened) > kMaxStringReadFailures) {
        app::Log("read HID info error, unable open device correctly\n");
        return;  // the device closes as `opened` goes
    }
    opened->SetNonblocking(true);
    {
        std::lock_guard<std::recursive_mutex> readers(mReadLock);
        mParser.Reset();  // nothing of an earlier connection is carried over
    }
    std::lock_guard<std::mutex> hold(mHandleLock);
    mHidHandle = std::move(opened);
}

void DeviceLink::CloseHIDDevice(bool notifyDevice) {
    if (!IsConnected()) {
        return;
    }
    if (notifyDevice) {
        PC_Connect(0);  // the PC lets go
    }
    app::Log("call hid_close\n");
    {
        // A reader or writer still inside a call keeps its own reference;
        // the device is closed when the last of them lets go.
        std::lock_guard<std::mutex> hold(mHandleLock);
        mHidHandle.reset();
    }
    // Commands queued for this device must never reach the next one.
    ReleaseLeftoverItems();
    WRITE_ROPRT.store(false);
    app::Log("CloseHIDDevice!\n");
}

bool DeviceLink::WriteReport(const uint8_t* report) {
    const int64_t start = TickMs();
    mHidBusy.store(true);
    if (!IsConnected()) {
        return false;
    }
    // Polled rather than a timed lock: timed locks are invisible to the
    // thread sanitizer, which then reports every write.
    std::unique_lock<std::mutex> writer(mWriteLock, std::defer_lock);
    while (!writer.try_lock()) {
        std::this_thread::sleep_for(std::chrono::microseconds(100));
        if (TickMs() - start > kWriterWaitMs) {
            app::Log("time out, break out send cmd!\n");
            return false;
        }
        if (!IsConnected()) {
            app::Log("mHidHandle is NULL, break out send cmd!\n");
            return false;
        }
    }
    WRITE_ROPRT.store(true);
    app::Log("set WRITE_ROPRT = TRUE\n");
    std::shared_ptr<HidDevice> handle = Handle();
    if (handle == nullptr) {
        app::Log("mHidHandle is NULL, can't send cmd\n");
        WRITE_ROPRT.store(false);
        return false;
    }
    int result = handle->Write(report, kOutputReportSize);
    WRITE_ROPRT.store(false);
    if (result < 0) {
        app::Log("Write HidDeviceObject = %d errot = %ls\n", HandleNumber(handle.get()),
                 handle->Error().c_str());
        return false;
    }
    app::Log("write data ok! HidDeviceObject = %d\n", HandleNumber(handle.get()));
    return true;
}

bool DeviceLink::ReadHIDData(uint8_t* buffer, int timeoutMs) {
    std::lock_guard<std::recursive_mutex> reader(mReadLock);
    const int64_t start = TickMs();
    app::Log("ReadHIDData timestart = %ld\n", static_cast<long>(start));
    mHidBusy.store(true);

    auto notConnected = [this] {
        app::Log("mHidHandle is NULL\n");
        mBytesRead.store(0);
        WRITE_ROPRT.store(false);
        return false;
    };

    int result = 0;
    for (;;) {
        std::shared_ptr<HidDevice> handle = Handle();
        if (handle == nullptr) {
            return notConnected();
        }
        const int64_t elapsed = TickMs() - start;
        const int64_t remaining = timeoutMs - elapsed > 0 ? timeoutMs - elapsed : 0;
        // Waiting in short slices lets a close on another thread end the wait
        // at once instead of after the whole time-out.
        result = handle->ReadTimeout(buffer, kInputReportSize,
                                     static_cast<int>(std::min<int64_t>(remaining, kReadSliceMs)));
        mBytesRead.store(result);
        const bool timeLeft = TickMs() - start < timeoutMs;
        if (result == 0 && timeLeft && IsConnected()) {
            continue;
        }
        // Errors are retried within the time-out, unless the device is gone:
        // a pulled device would only fail again.
        if (result >= 0 || handle->IsGone() || !IsConnected() || !timeLeft) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }

    app::Log("ReadHIDData done timeend-timestart = %ld\n", static_cast<long>(TickMs() - start));
    app::Log("ReadHIDData NumberOfBytesRead = %d\n", result);
    if (result <= 0) {
        mBytesRead.store(0);
        mHidBusy.store(false);
        return false;
    }
    if (!IsConnected()) {
        return notConnected();
    }
    for (int i = 0; i < result; ++i) {
        mParser.AppendToRing(buffer[i]);
    }
    if (app::IsLogOpen()) {
        app::Log("read data: %s\n", ByteList(buffer, static_cast<size_t>(result)).c_str());
    }
    DrainRing();
    mHidBusy.store(false);
    return true;
}

}  // namespace device
