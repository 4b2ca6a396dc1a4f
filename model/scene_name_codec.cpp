#include "model/scene_name_codec.h"

#include <iconv.h>

#include <cerrno>
#include <vector>

namespace model {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

}  // namespace

std::u16string SceneNameFromBytes(const std::string& bytes) {
    std::string text = bytes.substr(0, bytes.find('\0'));
    std::u16string name;
    iconv_t codec = iconv_open("UTF-16LE", "GBK");
    if (codec == reinterpret_cast<iconv_t>(-1)) {
        for (unsigned char c : text) {
            name.push_back(c < 0x80 ? static_cast<char16_t>(c) : kReplacement);
        }
        return name;
    }
    char* in = text.data();
    size_t inLeft = text.size();
    while (inLeft > 0) {
        char16_t unit[2];
        char* out = reinterpret_cast<char*>(unit);
        size_t outLeft = sizeof unit;
        size_t converted = iconv(codec, &in, &inLeft, &out, &outLeft);
        const size_t produced = (sizeof unit - outLeft) / sizeof(char16_t);
        name.append(unit, produced);
        if (converted == static_cast<size_t>(-1) && errno != E2BIG) {
            name.push_back(kReplacement);  // a byte that starts no GBK character
            ++in;
            --inLeft;
        }
    }
    iconv_close(codec);
    return name;
}

std::array<uint8_t, 16> SceneNameToBytes(const std::u16string& name) {
    std::array<uint8_t, 16> bytes{};
    size_t used = 0;
    iconv_t codec = iconv_open("GBK", "UTF-16LE");
    for (size_t i = 0; i < name.size() && name[i] != 0; ++i) {
        char16_t units[2] = {name[i], 0};
        size_t count = 1;
        if (name[i] >= 0xD800 && name[i] <= 0xDBFF && i + 1 < name.size()) {
            units[1] = name[++i];
            count = 2;
        }
        char encoded[8];
        size_t length = 0;
        if (codec != reinterpret_cast<iconv_t>(-1)) {
            char* in = reinterpret_cast<char*>(units);
            size_t inLeft = count * sizeof(char16_t);
            char* out = encoded;
            size_t outLeft = sizeof encoded;
            if (iconv(codec, &in, &inLeft, &out, &outLeft) != static_cast<size_t>(-1)) {
                length = sizeof encoded - outLeft;
            }
            iconv(codec, nullptr, nullptr, nullptr, nullptr);
        } else if (units[0] < 0x80) {
            encoded[0] = static_cast<char>(units[0]);
            length = 1;
        }
        if (length == 0) {
            encoded[0] = '?';
            length = 1;
        }
        if (used + length > bytes.size()) {
            break;
        }
        for (size_t b = 0; b < length; ++b) {
            bytes[used++] = static_cast<uint8_t>(encoded[b]);
        }
    }
    if (codec != reinterpret_cast<iconv_t>(-1)) {
        iconv_close(codec);
    }
    return bytes;
}

}  // namespace model
