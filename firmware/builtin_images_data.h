// The firmware images' bytes as the build generates them (see
// tools/embed_images.cpp); builtin_images.h is the way to reach them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace firmware::builtin_data {

extern const uint8_t kBuiltInMcuImage[];
extern const size_t kBuiltInMcuImageSize;
extern const uint8_t kBuiltInBootloaderImage[];
extern const size_t kBuiltInBootloaderImageSize;
extern const uint8_t kBuiltInFlashImage[];
extern const size_t kBuiltInFlashImageSize;

}  // namespace firmware::builtin_data
