// The names of attached amplifiers and the settings keys kept for them.
#include <gtest/gtest.h>

#include <string>

#include "model/device_names.h"

namespace {

TEST(DeviceNames, FromSerialNumberOrPath) {
    EXPECT_EQ(model::DeviceNameOf("  SN 42 \t", "whatever"), "SN 42");
    EXPECT_EQ(
        model::DeviceNameOf("", "\\\\?\\hid#vid_0483&pid_5750#7&2a8b3c1&0&0000#{4d1e55b2-f16f}"),
        "7");
    EXPECT_EQ(model::DeviceNameOf("", "/dev/hidraw3"), "/dev/hidraw3");
    EXPECT_EQ(model::DeviceNameOf(std::string(100, 'x'), "p").size(), 63u);
    EXPECT_EQ(model::DeviceKeyOf("A"), "dev_00000041");
    EXPECT_EQ(model::DeviceKeyOf("AB"), "dev_00000821");
}

}  // namespace
