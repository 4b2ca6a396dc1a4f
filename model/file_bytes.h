// Whole-file reads with a size limit and writes that replace a file only once
// its new content is complete.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace model {

enum class FileReadStatus { Ok, CannotOpen, TooLarge };

// Reads a regular file of at most maxBytes into text.
FileReadStatus readWholeFile(const std::filesystem::path& path, size_t maxBytes, std::string& text);

// Writes bytes beside the target ("<target>.tmp") and renames that over the
// target, so a failed or interrupted save leaves the old file as it was.
bool writeFileReplacing(const std::filesystem::path& path, std::string_view bytes);

}  // namespace model
