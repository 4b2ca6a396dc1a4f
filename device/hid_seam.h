// The HID seam: the operations of hidapi that the device link uses, as an
// interface with two implementations, real hidapi (hidraw backend) and the
// virtual amplifier. Tests inject faults through the virtual one.
//
// Byte rules, as hidapi's:
// - An output report written with Write() starts with the report id byte;
//   this device uses report id 0, so a report is 65 bytes: 0, then 64 bytes
//   of frame. `length` counts the report id byte.
// - An input report returned by ReadTimeout() does not carry the report id:
//   up to 64 bytes of the device's byte stream.
// - Results: Write() returns the number of bytes written or -1; ReadTimeout()
//   returns the number of bytes read, 0 when the time-out passed with no
//   report, or -1 on an error (such as a device that was pulled out).
// - String reads fill a zero-terminated wide string of at most maxChars
//   characters (the terminator included) and return 0, or -1 on failure.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace device {

// What enumeration reports of one attached HID interface.
struct HidDeviceInfo {
    std::string path;  // hidapi's path, or "virtual:N"
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    std::wstring serialNumber;
    std::wstring manufacturer;
    std::wstring product;
    int interfaceNumber = -1;
};

// One open device, the counterpart of hid_device*. Destroying it closes it
// (hid_close). Write and ReadTimeout may be called from two threads at once
// (one writer, one reader), as with hidapi.
class HidDevice {
public:
    virtual ~HidDevice() = default;

    virtual int Write(const uint8_t* data, size_t length) = 0;
    // timeoutMs -1 blocks until a report arrives.
    virtual int ReadTimeout(uint8_t* data, size_t length, int timeoutMs) = 0;
    virtual int SetNonblocking(bool nonblocking) = 0;

    virtual int GetManufacturerString(wchar_t* text, size_t maxChars) = 0;
    virtual int GetProductString(wchar_t* text, size_t maxChars) = 0;
    virtual int GetSerialNumberString(wchar_t* text, size_t maxChars) = 0;
    virtual int GetIndexedString(int index, wchar_t* text, size_t maxChars) = 0;

    // hid_error: the text of the last error on this device.
    virtual std::wstring Error() = 0;

    // True once the device has gone away (pulled out): reads and writes can
    // no longer succeed, so callers stop retrying.
    virtual bool IsGone() = 0;
};

// Enumerating and opening, the counterpart of hid_init/hid_enumerate/
// hid_open/hid_open_path.
class HidBackend {
public:
    virtual ~HidBackend() = default;

    // hid_init: 0 on success, -1 on failure.
    virtual int Init() = 0;

    // Every attached device with these ids (0 matches any id).
    virtual std::vector<HidDeviceInfo> Enumerate(uint16_t vendorId, uint16_t productId) = 0;

    // hid_open with no serial number: the first enumerated device with these
    // ids, or nullptr.
    virtual std::unique_ptr<HidDevice> Open(uint16_t vendorId, uint16_t productId) = 0;

    // hid_open_path: nullptr when the path does not (or no longer) exist.
    virtual std::unique_ptr<HidDevice> OpenPath(const std::string& path) = 0;
};

// The amplifier's USB ids.
inline constexpr uint16_t kAmplifierVendorId = 0x0483;
inline constexpr uint16_t kAmplifierProductId = 0x5750;

// Report sizes on the wire.
inline constexpr size_t kOutputReportSize = 65;
inline constexpr size_t kInputReportSize = 64;

}  // namespace device
