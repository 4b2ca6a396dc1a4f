// The skin archive compiled into the program (generated from skin/ by the
// build) and the password of its entries.
#pragma once

#include <cstddef>

namespace skin_data {

extern const unsigned char kArchive[];
extern const size_t kArchiveSize;
extern const char kPassword[];

}  // namespace skin_data
