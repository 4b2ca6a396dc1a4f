#include "ui/main/usb_monitor.h"

#include <libudev.h>

#include <QSocketNotifier>
#include <cstdio>
#include <cstring>

#include "app/log.h"
#include "ui/main/device_notice.h"

namespace ui {
namespace {

// HID_ID of the parent HID device: "0003:00000483:00005750".
bool ReadIds(udev_device* device, uint16_t* vendor, uint16_t* product) {
    udev_device* hid = udev_device_get_parent_with_subsystem_devtype(device, "hid", nullptr);
    const char* id = hid != nullptr ? udev_device_get_property_value(hid, "HID_ID") : nullptr;
    unsigned bus = 0;
    unsigned v = 0;
    unsigned p = 0;
    if (id == nullptr || std::sscanf(id, "%x:%x:%x", &bus, &v, &p) != 3) {
        return false;
    }
    *vendor = static_cast<uint16_t>(v);
    *product = static_cast<uint16_t>(p);
    return true;
}

}  // namespace

UsbMonitor::UsbMonitor(platform::WindowHandle target) : mTarget(target) {
    mUdev = udev_new();
    if (mUdev == nullptr) {
        return;
    }
    mMonitor = udev_monitor_new_from_netlink(mUdev, "udev");
    if (mMonitor == nullptr ||
        udev_monitor_filter_add_match_subsystem_devtype(mMonitor, "hidraw", nullptr) < 0 ||
        udev_monitor_enable_receiving(mMonitor) < 0) {
        return;
    }
    int fd = udev_monitor_get_fd(mMonitor);
    if (fd < 0) {
        return;
    }
    mNotifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    QObject::connect(mNotifier.get(), &QSocketNotifier::activated, [this] { OnEvent(); });
}

UsbMonitor::~UsbMonitor() {
    mNotifier.reset();
    if (mMonitor != nullptr) {
        udev_monitor_unref(mMonitor);
    }
    if (mUdev != nullptr) {
        udev_unref(mUdev);
    }
}

void UsbMonitor::OnEvent() {
    udev_device* device = udev_monitor_receive_device(mMonitor);
    if (device == nullptr) {
        return;
    }
    const char* action = udev_device_get_action(device);
    const char* node = udev_device_get_devnode(device);
    if (action != nullptr && node != nullptr) {
        DeviceNotice notice;
        notice.path = node;
        const bool known = ReadIds(device, &notice.vendorId, &notice.productId);
        const bool arrival = std::strcmp(action, "add") == 0;
        const bool removal = std::strcmp(action, "remove") == 0;
        if (arrival && known && notice.vendorId == 0x0483 && notice.productId == 0x5750) {
            mAmplifierNodes.insert(notice.path);
        }
        if (removal && !known && mAmplifierNodes.erase(notice.path) > 0) {
            notice.vendorId = 0x0483;
            notice.productId = 0x5750;
        }
        if (arrival || removal) {
            platform::PostMessage(mTarget, WM_DEVICECHANGE,
                                  arrival ? DBT_DEVICEARRIVAL : DBT_DEVICEREMOVECOMPLETE, 0,
                                  platform::MakeRecord(notice));
        }
    }
    udev_device_unref(device);
}

}  // namespace ui
