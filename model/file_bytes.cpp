#include "model/file_bytes.h"

#include <fstream>
#include <system_error>

#if defined(__unix__) || defined(__APPLE__)
#include <fcntl.h>
#include <unistd.h>
#endif

namespace model {

namespace {

// The content must be on disk before the rename makes it the file.
void flushToDisk([[maybe_unused]] const std::filesystem::path& path) {
#if defined(__unix__) || defined(__APPLE__)
    int fd = ::open(path.c_str(), O_RDONLY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#endif
}

bool writeAll(const std::filesystem::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
        return false;
    }
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return !out.fail();
}

}  // namespace

FileReadStatus readWholeFile(const std::filesystem::path& path, size_t maxBytes,
                             std::string& text) {
    std::error_code error;
    // Devices and pipes could be endless; only regular files are profiles.
    if (!std::filesystem::is_regular_file(path, error)) {
        return FileReadStatus::CannotOpen;
    }
    uintmax_t size = std::filesystem::file_size(path, error);
    if (error) {
        return FileReadStatus::CannotOpen;
    }
    if (size > maxBytes) {
        return FileReadStatus::TooLarge;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return FileReadStatus::CannotOpen;
    }
    // One byte more than the size seen, so a file that grew meanwhile is caught.
    std::string bytes(static_cast<size_t>(size) + 1, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (in.bad()) {
        return FileReadStatus::CannotOpen;
    }
    size_t got = static_cast<size_t>(in.gcount());
    if (got > maxBytes) {
        return FileReadStatus::TooLarge;
    }
    bytes.resize(got);
    text = std::move(bytes);
    return FileReadStatus::Ok;
}

bool writeFileReplacing(const std::filesystem::path& path, std::string_view bytes) {
    std::filesystem::path temporary = path;
    temporary += ".tmp";
    std::error_code error;
    if (!writeAll(temporary, bytes)) {
        std::filesystem::remove(temporary, error);
        return false;
    }
    flushToDisk(temporary);
    std::filesystem::rename(temporary, path, error);
    if (error) {
        std::filesystem::remove(temporary, error);
        return false;
    }
    return true;
}

}  // namespace model
