// Watches hidraw devices come and go (libudev) and posts each arrival or
// removal of a HID interface to a window as WM_DEVICECHANGE with a
// DeviceNotice. Runs on the Qt event loop.
#pragma once

#include <memory>
#include <set>
#include <string>

#include "platform/message_post.h"

class QSocketNotifier;
struct udev;
struct udev_monitor;

namespace ui {

class UsbMonitor {
public:
    explicit UsbMonitor(platform::WindowHandle target);
    ~UsbMonitor();
    UsbMonitor(const UsbMonitor&) = delete;
    UsbMonitor& operator=(const UsbMonitor&) = delete;

    // False when udev could not be reached: the program then runs without
    // hot-plug detection.
    bool IsWatching() const { return mNotifier != nullptr; }

private:
    void OnEvent();

    platform::WindowHandle mTarget;
    udev* mUdev = nullptr;
    udev_monitor* mMonitor = nullptr;
    std::unique_ptr<QSocketNotifier> mNotifier;
    // hidraw nodes known to belong to an amplifier: a removal no longer
    // carries the ids of the device that went.
    std::set<std::string> mAmplifierNodes;
};

}  // namespace ui
