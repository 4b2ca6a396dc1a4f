// The single-instance guard: a lock on a file named after the program's
// mutex name, held for the life of the process.
#pragma once

#include <string>

namespace platform {

class SingleInstanceLock {
public:
    // Takes the lock named `name` (for example "MARAVO4TO8_VTA3300.4-KM")
    // in the runtime or temporary folder.
    explicit SingleInstanceLock(const std::string& name);
    ~SingleInstanceLock();
    SingleInstanceLock(const SingleInstanceLock&) = delete;
    SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

    // False when another process holds the lock of the same name.
    bool IsFirstInstance() const { return mFirst; }

private:
    int mFd = -1;
    bool mFirst = false;
};

}  // namespace platform
