#include "model/device_names.h"

#include <cstdint>
#include <cstdio>
#include <regex>

#include "model/units.h"
#include "platform/text_util.h"

namespace model {
namespace {

constexpr size_t kMaxNameUnits = 63;

}  // namespace

std::string LimitedDeviceName(const std::string& utf8) {
    size_t units = 0;
    size_t at = 0;
    while (at < utf8.size()) {
        unsigned char lead = static_cast<unsigned char>(utf8[at]);
        size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        size_t needed = length == 4 ? 2 : 1;
        if (units + needed > kMaxNameUnits || at + length > utf8.size()) {
            break;
        }
        units += needed;
        at += length;
    }
    return utf8.substr(0, at);
}

std::string DeviceNameOf(const std::string& serialNumber, const std::string& path) {
    std::string name = platform::Trimmed(serialNumber);
    if (name.empty()) {
        static const std::regex kInstance(R"((\d+)&([0-9a-fA-F]+))");
        std::smatch match;
        name = std::regex_search(path, match, kInstance) ? match[1].str() : path;
    }
    return LimitedDeviceName(name);
}

std::string DeviceKeyOf(const std::string& name) {
    uint32_t hash = 0;
    for (char16_t unit : utf8ToWide(name)) {
        hash = hash * 31u + unit;
    }
    char key[16];
    std::snprintf(key, sizeof key, "dev_%08x", hash);
    return key;
}

}  // namespace model
