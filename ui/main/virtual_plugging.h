// Virtual amplifiers tell the main window when they are plugged or pulled,
// as the udev monitor does for real ones.
#pragma once

#include <string>

#include "platform/message_post.h"
#include "virtual_device/virtual_amplifier.h"

namespace ui {

void AnnounceVirtualPlugging(virtual_device::VirtualAmplifier& amplifier, const std::string& path,
                             platform::WindowHandle window);

}  // namespace ui
