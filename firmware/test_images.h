// Stand-ins for the amplifier maker's firmware images: the same layout, the
// sizes of the images the program carries and valid checksums. The virtual
// amplifier and the tests use them; a real amplifier must never receive one.
//
// Their own format, which only the virtual amplifier reads: the body starts
// with the marker "TQ STAND-IN IMAGE", then reproducible pseudo-random bytes;
// the head is {major, minor, sumHi, sumLo}, the firmware version the image
// installs and the low 16 bits of the byte sum of the body, big-endian. So
// the virtual amplifier can tell a whole, undamaged transfer from a broken
// one, and report the version it installed.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "firmware/image_file_loader.h"
#include "firmware/image_layout.h"

namespace firmware {

inline constexpr uint8_t kTestImageModel = 94;
inline constexpr size_t kMcuImageFileSize = 89517;
inline constexpr size_t kFlashImageFileSize = 105538;
// No bootloader image is carried; the stand-in is a plausible small one.
inline constexpr size_t kBootloaderImageFileSize = 16398;

inline constexpr std::string_view kStandInMarker = "TQ STAND-IN IMAGE";

// The versions the stand-ins install: the program's own firmware 1.32 for the
// microcontroller and the DSP flash, 2.1 for the bootloader.
inline constexpr uint8_t kStandInMcuMajor = 1;
inline constexpr uint8_t kStandInMcuMinor = 32;
inline constexpr uint8_t kStandInFlashMajor = 1;
inline constexpr uint8_t kStandInFlashMinor = 32;
inline constexpr uint8_t kStandInBootloaderMajor = 2;
inline constexpr uint8_t kStandInBootloaderMinor = 1;

struct TestImageSpec {
    uint8_t part = 1;
    uint8_t model = kTestImageModel;
    size_t fileSize = kImageOverhead;
    uint32_t seed = 1;  // varies body and trailer
    uint8_t versionMajor = kStandInMcuMajor;
    uint8_t versionMinor = kStandInMcuMinor;
};

// The whole file; sizes below 14 bytes are raised to 14. A body shorter than
// the marker holds only as much of it as fits.
std::vector<uint8_t> MakeTestImage(const TestImageSpec& spec);

// The stand-in for a target at its full size, for model 94.
std::vector<uint8_t> MakeTestImageFor(UpgradeTarget target);

// True when the body starts with the stand-in marker.
bool IsStandInImage(std::span<const uint8_t> body);

struct StandInHead {
    uint8_t major = 0;
    uint8_t minor = 0;
    uint16_t bodySum = 0;
};

StandInHead DecodeStandInHead(std::array<uint8_t, 4> head);

// The low 16 bits of the byte sum of the body.
uint16_t StandInBodySum(std::span<const uint8_t> body);

}  // namespace firmware
