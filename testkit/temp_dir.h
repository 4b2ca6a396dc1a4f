// A fresh temporary folder, removed with everything in it when the object
// goes. Optionally the current directory for its life (the program writes
// "save.log" and the auto-save folder beside itself).
#pragma once

#include <filesystem>
#include <string>

namespace testkit {

class TempDir {
public:
    enum class Enter { kNo, kYes };
    explicit TempDir(Enter enter = Enter::kNo);
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return mPath; }
    std::filesystem::path operator/(const std::string& name) const { return mPath / name; }

private:
    std::filesystem::path mPath;
    std::filesystem::path mPrevious;  // empty unless the folder was entered
};

}  // namespace testkit

namespace testkit {

// A fresh temporary folder that is the current directory for its life; the
// old current directory comes back afterwards.
class TempWorkingDir : public TempDir {
public:
    TempWorkingDir() : TempDir(Enter::kYes) {}
};

}  // namespace testkit
