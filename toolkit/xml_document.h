// A small XML reader for the skin's own files (layouts, the resource index,
// language files). It understands elements, attributes, comments, the XML
// declaration and the five named entities plus numeric character references;
// text between elements is skipped, since the skin keeps every value in
// attributes. Input is untrusted: nesting depth, sizes and every index are
// checked, and a malformed document yields no tree.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace toolkit {

struct XmlElement {
    std::string name;
    std::vector<std::pair<std::string, std::string>> attributes;
    std::vector<XmlElement> children;

    // The attribute's value, or nullptr when absent.
    const std::string* Attribute(std::string_view key) const;
    std::string AttributeOr(std::string_view key, std::string_view fallback) const;
};

inline constexpr int kMaxXmlDepth = 64;
inline constexpr size_t kMaxXmlSize = 8u * 1024u * 1024u;

// Parses a whole document into its root element. A UTF-8 byte-order mark is
// skipped.
std::optional<XmlElement> ParseXml(std::string_view text);

}  // namespace toolkit
