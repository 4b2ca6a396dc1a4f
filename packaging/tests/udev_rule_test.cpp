// The udev rule lets the logged-in user open the amplifier, and only the
// amplifier.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "device/hid_seam.h"
#include "packaging/tests/packaging_files.h"

namespace {

using packaging_testing::ReadFile;
using packaging_testing::SourcePath;

std::vector<std::string> Rules() {
    std::vector<std::string> rules;
    std::istringstream in(ReadFile(SourcePath("packaging/udev/70-tq-dsp-audio.rules")));
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line[0] != '#') {
            rules.push_back(line);
        }
    }
    return rules;
}

std::string Match(const char* key, uint16_t id) {
    char text[64];
    std::snprintf(text, sizeof text, "ATTRS{%s}==\"%04x\"", key, id);
    return text;
}

TEST(UdevRule, EveryRuleGivesTheLoggedInUserTheAmplifierOnly) {
    const std::vector<std::string> rules = Rules();
    ASSERT_FALSE(rules.empty());
    for (const std::string& rule : rules) {
        EXPECT_NE(rule.find(Match("idVendor", device::kAmplifierVendorId)), std::string::npos)
            << rule;
        EXPECT_NE(rule.find(Match("idProduct", device::kAmplifierProductId)), std::string::npos)
            << rule;
        EXPECT_NE(rule.find("TAG+=\"uaccess\""), std::string::npos) << rule;
        // Not for everybody: the access list names the user at the seat.
        EXPECT_EQ(rule.find("MODE=\"0666\""), std::string::npos) << rule;
    }
}

TEST(UdevRule, TheHidrawNodeThatHidapiOpensIsCovered) {
    int hidraw = 0;
    for (const std::string& rule : Rules()) {
        hidraw += rule.rfind("KERNEL==\"hidraw*\"", 0) == 0 ? 1 : 0;
    }
    EXPECT_EQ(hidraw, 1);
}

}  // namespace
