// The names of attached amplifiers: the name shown in the device list, and
// the key that the settings file keeps a nickname and the distances under.
#pragma once

#include <string>

namespace model {

// The text cut to at most 63 UTF-16 units, never through a character: the
// longest name or nickname the device list shows.
std::string LimitedDeviceName(const std::string& utf8);

// A device's name: its serial number trimmed, else the digits before the
// first "&<hex>" of its path, else the whole path; limited as above.
std::string DeviceNameOf(const std::string& serialNumber, const std::string& path);

// "dev_%08x" of the 31-times hash of the name's UTF-16 units.
std::string DeviceKeyOf(const std::string& name);

}  // namespace model
