#include "ui/main/virtual_plugging.h"

#include "ui/main/device_notice.h"

namespace ui {

void AnnounceVirtualPlugging(virtual_device::VirtualAmplifier& amplifier, const std::string& path,
                             platform::WindowHandle window) {
    const uint16_t vendor = amplifier.identity().vendorId;
    const uint16_t product = amplifier.identity().productId;
    amplifier.SetPlugListener([path, window, vendor, product](bool plugged) {
        DeviceNotice notice{path, vendor, product, true};
        platform::PostMessage(window, WM_DEVICECHANGE,
                              plugged ? DBT_DEVICEARRIVAL : DBT_DEVICEREMOVECOMPLETE, 0,
                              platform::MakeRecord(notice));
    });
}

}  // namespace ui
