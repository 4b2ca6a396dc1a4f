// Standard Base64 with "=" padding, for the scene names of configuration files.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace model {

std::string encodeBase64(std::span<const uint8_t> bytes);
// Decodes up to the first character outside the alphabet ("=" included);
// a trailing partial group contributes the whole bytes it holds.
std::vector<uint8_t> decodeBase64(std::string_view text);

}  // namespace model
