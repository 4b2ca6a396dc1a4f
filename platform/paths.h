// Where the program keeps its files on this platform.
#pragma once

#include <string>

namespace platform {

// The program's folder name under the user's configuration folder.
inline constexpr const char* kProgramFolderName = "tq-dsp-audio";

// The application configuration folder ($XDG_CONFIG_HOME/tq-dsp-audio, else
// $HOME/.config/tq-dsp-audio), created when missing. Empty when it cannot be
// resolved or created.
std::string AppConfigFolder();

// The current directory ("." when it cannot be read).
std::string CurrentDirectory();

// Whether a file of this name exists in the current directory.
bool FileExistsInCurrentDirectory(const std::string& name);

// The folder for temporary files ($TMPDIR, else /tmp).
std::string TempFolder();

// Accepts both '/' and '\\' as separators in a file name from a user or a
// stored profile, and returns it with '/'.
std::string NormalizeSeparators(std::string path);

}  // namespace platform
