#include "toolkit/skin_archive.h"

#include <zip.h>

#include "toolkit/resource_index.h"

namespace toolkit {

SkinArchive::~SkinArchive() {
    Close();
}

bool SkinArchive::Open(const uint8_t* data, size_t size, const std::string& password) {
    Close();
    if (data == nullptr || size == 0) {
        return false;
    }
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(data, size, 0, &error);
    if (source == nullptr) {
        zip_error_fini(&error);
        return false;
    }
    zip_t* archive = zip_open_from_source(source, ZIP_RDONLY, &error);
    zip_error_fini(&error);
    if (archive == nullptr) {
        zip_source_free(source);
        return false;
    }
    if (zip_set_default_password(archive, password.c_str()) != 0) {
        zip_discard(archive);
        return false;
    }
    mZip = archive;
    return true;
}

void SkinArchive::Close() {
    if (mZip != nullptr) {
        zip_discard(mZip);
        mZip = nullptr;
    }
}

std::optional<std::string> SkinArchive::Read(const std::string& path) const {
    if (mZip == nullptr) {
        return std::nullopt;
    }
    std::string name = NormalizeArchivePath(path);
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat(mZip, name.c_str(), 0, &stat) != 0 || (stat.valid & ZIP_STAT_SIZE) == 0 ||
        stat.size > kMaxEntrySize) {
        return std::nullopt;
    }
    zip_file_t* file = zip_fopen(mZip, name.c_str(), 0);
    if (file == nullptr) {
        return std::nullopt;
    }
    std::string bytes(static_cast<size_t>(stat.size), '\0');
    zip_uint64_t done = 0;
    while (done < stat.size) {
        zip_int64_t got = zip_fread(file, bytes.data() + done, stat.size - done);
        if (got <= 0) {
            break;
        }
        done += static_cast<zip_uint64_t>(got);
    }
    // The CRC is checked when the read reaches the end of the entry: one more
    // read must find that end cleanly. A wrong password passes the one-byte
    // check of the traditional encryption once in 256 tries; the CRC is what
    // refuses it then.
    char past = 0;
    const zip_int64_t end = done == stat.size ? zip_fread(file, &past, 1) : -1;
    int closeResult = zip_fclose(file);
    if (done != stat.size || end != 0 || closeResult != 0) {
        return std::nullopt;
    }
    return bytes;
}

bool SkinArchive::Contains(const std::string& path) const {
    return mZip != nullptr && zip_name_locate(mZip, NormalizeArchivePath(path).c_str(), 0) >= 0;
}

std::vector<std::string> SkinArchive::Names() const {
    std::vector<std::string> names;
    if (mZip == nullptr) {
        return names;
    }
    zip_int64_t count = zip_get_num_entries(mZip, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        const char* name = zip_get_name(mZip, static_cast<zip_uint64_t>(i), 0);
        if (name != nullptr) {
            names.emplace_back(name);
        }
    }
    return names;
}

}  // namespace toolkit
