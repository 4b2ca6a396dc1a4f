// The layout every firmware image file shares, whatever it updates:
//   offset 0      1 byte   part (1 microcontroller or bootloader, 2 DSP flash)
//   offset 1      1 byte   model the image is built for
//   offset 2      4 bytes  head, passed unchanged to the device in the start command
//   offset 6      n bytes  body, opaque to this program
//   offset 6 + n  4 bytes  trailer, covered by the checksum and otherwise unused
//   offset 10 + n 4 bytes  checksum, big-endian: the wrapping 32-bit sum of every
//                          byte before it
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace firmware {

inline constexpr size_t kPartOffset = 0;
inline constexpr size_t kModelOffset = 1;
inline constexpr size_t kHeadOffset = 2;
inline constexpr size_t kHeadSize = 4;
inline constexpr size_t kBodyOffset = kHeadOffset + kHeadSize;
inline constexpr size_t kTrailerSize = 4;
inline constexpr size_t kChecksumSize = 4;
// Header, head, trailer and checksum: a file shorter than this holds no image.
inline constexpr size_t kImageOverhead = kBodyOffset + kTrailerSize + kChecksumSize;
// The device's flash is far smaller; anything larger is refused unread.
inline constexpr size_t kMaxImageFileSize = 1048576;

inline constexpr uint8_t FW_PART_MCU = 1;    // microcontroller or its bootloader
inline constexpr uint8_t FW_PART_FLASH = 2;  // DSP flash

// The wrapping 32-bit sum of the bytes.
uint32_t ImageByteSum(std::span<const uint8_t> bytes);

uint32_t ReadBigEndian32(std::span<const uint8_t, 4> bytes);
void WriteBigEndian32(uint32_t value, std::span<uint8_t, 4> bytes);

}  // namespace firmware
