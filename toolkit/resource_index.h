// The skin's resource index ("xml/res.xml"): elements "Image" and "Xml" that
// map an identifier to a path in the archive.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace toolkit {

class ResourceIndex {
public:
    // Replaces the index with the document's entries; false (index left
    // empty) when the document cannot be parsed.
    bool Parse(std::string_view text);
    // The archive path of an identifier, or nothing.
    std::optional<std::string> Resolve(const std::string& id) const;
    const std::map<std::string, std::string>& Entries() const { return mEntries; }

private:
    std::map<std::string, std::string> mEntries;
};

// Archive paths are written with either separator; the archive uses '/'.
std::string NormalizeArchivePath(std::string_view path);

}  // namespace toolkit
