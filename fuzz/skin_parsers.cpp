// Fuzz target for the parsers of skin files: layouts (with their geometry
// and colour attributes), the resource index and language files, and the
// translation of whatever texts a language file holds.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "toolkit/layout_spec.h"
#include "toolkit/resource_index.h"
#include "toolkit/text_resources.h"
#include "toolkit/xml_document.h"

namespace {

void WalkLayout(const toolkit::XmlElement& node, int depth) {
    for (const auto& [key, value] : node.attributes) {
        toolkit::ParseRect(value);
        toolkit::ParseColor(value);
        toolkit::ParseInt(value, 0);
        toolkit::ImageVariantName(value, 150);
    }
    for (const auto& child : node.children) {
        WalkLayout(child, depth + 1);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    if (auto layout = toolkit::ParseLayout(text)) {
        WalkLayout(*layout, 0);
    }
    toolkit::ResourceIndex index;
    if (index.Parse(text)) {
        for (const auto& [id, path] : index.Entries()) {
            index.Resolve(id);
        }
    }
    toolkit::TextResources texts;
    if (texts.RegisterLanguage(text, "en")) {
        if (auto table = toolkit::ParseLanguageFile(text)) {
            for (const auto& [key, value] : *table) {
                texts.Translate(key);
                texts.Translate(value);
            }
        }
    }
    texts.Translate(text);
    return 0;
}
