// The skin archive: a ZIP held in memory whose entries are encrypted with the
// traditional PKWARE scheme, read with libzip.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct zip;
struct zip_source;

namespace toolkit {

class SkinArchive {
public:
    // Entries larger than this are refused rather than read.
    static constexpr uint64_t kMaxEntrySize = 32u * 1024u * 1024u;

    SkinArchive() = default;
    ~SkinArchive();
    SkinArchive(const SkinArchive&) = delete;
    SkinArchive& operator=(const SkinArchive&) = delete;

    // Opens the archive over the caller's bytes, which must outlive it.
    bool Open(const uint8_t* data, size_t size, const std::string& password);
    void Close();
    bool IsOpen() const { return mZip != nullptr; }
    // The entry's bytes; nothing when absent, undecryptable or too large.
    // Either separator is accepted in the path.
    std::optional<std::string> Read(const std::string& path) const;
    bool Contains(const std::string& path) const;
    std::vector<std::string> Names() const;

private:
    zip* mZip = nullptr;
};

}  // namespace toolkit
