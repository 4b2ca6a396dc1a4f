// The distances the installer measured, kept in the settings file with the
// amplifier they were measured for, so that the distances window shows them
// again next time. An amplifier's section is named by the key its nickname
// is kept under; tuning without an amplifier keeps its own section.
#pragma once

#include <string>
#include <vector>

namespace controller {

inline constexpr const char* kNoDeviceDistancesSection = "distances_no_device";

// The section of the amplifier of this name; the no-device section for an
// empty name.
std::string DistancesSectionOf(const std::string& deviceName);

// The kept text of each output's distance ("250 cm", "98.5 in"), empty for
// an output without one.
std::vector<std::string> ReadKeptDistances(const std::string& section, int outputs);
void KeepDistances(const std::string& section, const std::vector<std::string>& texts);

}  // namespace controller
