#include "controller/distance_settings.h"

#include <string>

#include "app/settings.h"
#include "model/device_names.h"

namespace controller {
namespace {

std::string KeyOf(int output) {
    return "distance_" + std::to_string(output);
}

}  // namespace

std::string DistancesSectionOf(const std::string& deviceName) {
    return deviceName.empty() ? kNoDeviceDistancesSection : model::DeviceKeyOf(deviceName);
}

std::vector<std::string> ReadKeptDistances(const std::string& section, int outputs) {
    std::vector<std::string> texts;
    for (int c = 0; c < outputs; ++c) {
        texts.push_back(app::ReadSettingString(section, KeyOf(c), ""));
    }
    return texts;
}

void KeepDistances(const std::string& section, const std::vector<std::string>& texts) {
    for (size_t c = 0; c < texts.size(); ++c) {
        app::WriteSetting(section, KeyOf(static_cast<int>(c)), texts[c]);
    }
}

}  // namespace controller
