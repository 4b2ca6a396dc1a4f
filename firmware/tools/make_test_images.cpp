// Writes the stand-in firmware images into the folder given as the only
// argument: MCU_UPG.bin, BL_UPG.bin and FLASH_UPG.bin for model 94.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include "firmware/test_images.h"

namespace {

bool WriteImage(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_test_images FOLDER\n");
        return 2;
    }
    const std::filesystem::path folder(argv[1]);
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    using firmware::UpgradeTarget;
    const bool ok = WriteImage(folder / "MCU_UPG.bin",
                               firmware::MakeTestImageFor(UpgradeTarget::UPG_DEVICE_MCU)) &&
                    WriteImage(folder / "BL_UPG.bin",
                               firmware::MakeTestImageFor(UpgradeTarget::UPG_DEVICE_MCU_BL)) &&
                    WriteImage(folder / "FLASH_UPG.bin",
                               firmware::MakeTestImageFor(UpgradeTarget::UPG_DEVICE_FLASH));
    if (!ok) {
        std::fprintf(stderr, "make_test_images: cannot write into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
