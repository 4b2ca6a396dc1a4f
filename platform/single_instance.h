// The single-instance guard: a lock on a file named after the program's
// mutex name, held for the life of the process.
#pragma once

#include <chrono>
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

    // Tries once more to take a lock that another process held; true when
    // this process holds it now.
    bool TryTake();
    // Tries every `poll` until the lock is taken or `patience` has passed
    // (a copy of the program that is closing lets go of it soon).
    bool TakeWithin(std::chrono::milliseconds patience, std::chrono::milliseconds poll);

private:
    int mFd = -1;
    bool mFirst = false;
};

}  // namespace platform
