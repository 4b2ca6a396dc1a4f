#include "toolkit/resource_index.h"

#include "toolkit/xml_document.h"

namespace toolkit {

namespace {

void Collect(const XmlElement& element, std::map<std::string, std::string>& entries) {
    if (element.name == "Image" || element.name == "Xml") {
        const std::string* id = element.Attribute("id");
        const std::string* path = element.Attribute("path");
        if (id != nullptr && path != nullptr && !id->empty()) {
            entries[*id] = NormalizeArchivePath(*path);
        }
    }
    for (const auto& child : element.children) {
        Collect(child, entries);
    }
}

}  // namespace

bool ResourceIndex::Parse(std::string_view text) {
    mEntries.clear();
    auto root = ParseXml(text);
    if (!root) {
        return false;
    }
    Collect(*root, mEntries);
    return true;
}

std::optional<std::string> ResourceIndex::Resolve(const std::string& id) const {
    auto found = mEntries.find(id);
    if (found == mEntries.end()) {
        return std::nullopt;
    }
    return found->second;
}

std::string NormalizeArchivePath(std::string_view path) {
    std::string out(path);
    for (char& c : out) {
        if (c == '\\') {
            c = '/';
        }
    }
    while (!out.empty() && out.front() == '/') {
        out.erase(out.begin());
    }
    return out;
}

}  // namespace toolkit
