#include "firmware/image_file_loader.h"

#include <cstdio>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "app/log.h"
#include "firmware/image_layout.h"

namespace firmware {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// Only regular files: a directory or a device node opens on some systems but
// holds no image.
File OpenImageFile(const std::filesystem::path& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return nullptr;
    }
    return File(std::fopen(path.c_str(), "rb"));
}

// The file's size, or -1 when it cannot be told.
long FileSize(std::FILE* file) {
    if (std::fseek(file, 0, SEEK_END) != 0) {
        return -1;
    }
    const long size = std::ftell(file);
    if (std::fseek(file, 0, SEEK_SET) != 0) {
        return -1;
    }
    return size;
}

// The whole file, or no image when its size rules it out before anything is
// allocated, or when it ends before the size it stated.
std::optional<FirmwareImage> ReadImage(std::FILE* file, long size) {
    if (size < static_cast<long>(kImageOverhead) || size > static_cast<long>(kMaxImageFileSize)) {
        return std::nullopt;
    }
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    if (std::fread(bytes.data(), 1, bytes.size(), file) != bytes.size()) {
        return std::nullopt;
    }
    return ParseImageBytes(bytes);
}

LoadedImage Invalid(const std::filesystem::path& path, const char* parser, int line) {
    app::Log("return UPG_FILE_INVALID %s, %s %d\n", path.c_str(), parser, line);
    return {UPG_FILE_INVALID, std::nullopt};
}

}  // namespace

LoadedImage CopyFileToBuffer(const std::filesystem::path& path, const ImageRules& rules) {
    app::Log("CopyFileToBuffer\n");
    File file = OpenImageFile(path);
    if (!file) {
        return {UPG_FILE_UNREADABLE, std::nullopt};
    }
    app::Log("Open file %s success!\n", path.c_str());
    std::optional<FirmwareImage> image = ReadImage(file.get(), FileSize(file.get()));
    file.reset();
    if (!image) {
        return Invalid(path, "CopyFileToBuffer", __LINE__);
    }
    app::Log("cal MCU encrypt_checksum=0x%x!\n", image->computedChecksum);
    app::Log("encrypt_checksum=0x%x!\n", image->storedChecksum);
    if (!McuImageAcceptable(*image, rules)) {
        return Invalid(path, "CopyFileToBuffer", __LINE__);
    }
    app::Log("UPG_FILE_VALID\n");
    return {UPG_FILE_VALID, std::move(image)};
}

namespace {

// The microcontroller and bootloader entries differ only in their log texts.
struct McuEntryTexts {
    const char* entered;
    const char* noDevice;
    const char* failed;
    const char* ok;
};

LoadedImage ParseMcuEntry(const McuEntryTexts& texts, const std::filesystem::path& path,
                          const ImageRules& rules, bool connected) {
    app::Log("%s", texts.entered);
    if (!connected) {
        app::Log("%s", texts.noDevice);
        return {UPG_CONNECT_FAIL, std::nullopt};
    }
    LoadedImage loaded = CopyFileToBuffer(path, rules);
    app::Log("%s", loaded.result == UPG_FILE_VALID ? texts.ok : texts.failed);
    return loaded;
}

}  // namespace

LoadedImage MCUUpgParsingFile(const std::filesystem::path& path, const ImageRules& rules,
                              bool connected) {
    static constexpr McuEntryTexts kTexts{
        "MCUUpgParsingFile!\n", "MCUUpgParsingFile return UPG_CONNECT_FAIL!\n",
        "MCUUpgParsingFile return as failed in MCUUpgParsingFile!\n",
        "MCUUpgParsingFile return  ok!\n"};
    return ParseMcuEntry(kTexts, path, rules, connected);
}

LoadedImage MCUUpgBLParsingFile(const std::filesystem::path& path, const ImageRules& rules,
                                bool connected) {
    static constexpr McuEntryTexts kTexts{
        "MCUUpgBLParsingFile!\n", "MCUUpgBLParsingFile return UPG_CONNECT_FAIL!\n",
        "MCUUpgBLParsingFile return as failed in CopyFileToBuffer!\n",
        "MCUUpgBLParsingFile return  ok!\n"};
    return ParseMcuEntry(kTexts, path, rules, connected);
}

LoadedImage FlashUpgParsingFile(const std::filesystem::path& path, const ImageRules& rules,
                                bool connected) {
    app::Log("FlashUpgParsingFile!\n");
    if (!connected) {
        app::Log("FlashUpgParsingFile return USB disconnected!\n");
        return {UPG_CONNECT_FAIL, std::nullopt};
    }
    File file = OpenImageFile(path);
    if (!file) {
        app::Log("Error: Open file %s error!\n", path.c_str());
        return {UPG_FILE_UNREADABLE, std::nullopt};
    }
    const long size = FileSize(file.get());
    if (size < 0 || size > static_cast<long>(kMaxImageFileSize)) {
        return Invalid(path, "FlashUpgParsingFile", __LINE__);
    }
    // The narrow name: converting a name that is not valid UTF-8 to wide text would throw.
    app::Log("%s file size is %ld\n", path.c_str(), size);
    std::optional<FirmwareImage> image = ReadImage(file.get(), size);
    file.reset();
    if (!image) {
        return Invalid(path, "FlashUpgParsingFile", __LINE__);
    }
    app::Log("cal FLASH checksum=0x%x!\n", image->computedChecksum);
    app::Log("encrypt_checksum=0x%x!\n", image->storedChecksum);
    if (!FlashImageAcceptable(*image, rules)) {
        return Invalid(path, "FlashUpgParsingFile", __LINE__);
    }
    app::Log("FlashUpgParsingFile return ok!\n");
    return {UPG_FILE_VALID, std::move(image)};
}

}  // namespace firmware
