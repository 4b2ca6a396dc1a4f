#include "controller/scene_name_codec.h"

#include <iconv.h>

#include <cerrno>
#include <vector>

namespace controller {
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

}  // namespace controller
