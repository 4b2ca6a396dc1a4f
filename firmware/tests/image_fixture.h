// Image files in a fresh temporary folder, and the log they produce.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <string>
#include <vector>

#include "device/tests/log_capture.h"
#include "firmware/image_file_loader.h"
#include "firmware/test_images.h"
#include "testkit/temp_dir.h"

namespace firmware_test {

inline constexpr uint8_t kOurModel = 94;

class ImageFileTest : public ::testing::Test {
protected:
    std::filesystem::path Write(const std::string& name, const std::vector<uint8_t>& bytes) {
        const std::filesystem::path path = mDir.path() / name;
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        return path;
    }

    static std::vector<uint8_t> Image(uint8_t part, uint8_t model, size_t size, uint32_t seed = 7) {
        return firmware::MakeTestImage({part, model, size, seed});
    }

    // The wrapping sum of every byte before the last four, as the device adds it.
    static uint32_t SumBeforeChecksum(const std::vector<uint8_t>& file) {
        return std::accumulate(file.begin(), file.end() - 4, uint32_t{0},
                               [](uint32_t sum, uint8_t byte) { return sum + byte; });
    }
    static uint32_t StoredChecksum(const std::vector<uint8_t>& file) {
        const size_t at = file.size() - 4;
        return uint32_t{file[at]} << 24 | uint32_t{file[at + 1]} << 16 |
               uint32_t{file[at + 2]} << 8 | uint32_t{file[at + 3]};
    }

    firmware::ImageRules Rules(bool noCheckID = false) const { return {kOurModel, noCheckID}; }

    bool Logged(const std::string& piece) const { return mLog.Contains(piece); }
    std::string LogText() const { return mLog.Text(); }

private:
    testkit::TempWorkingDir mDir;
    test_support::LogCapture mLog;
};

}  // namespace firmware_test
