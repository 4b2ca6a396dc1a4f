#include "platform/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>
#include <thread>

#include "platform/paths.h"

namespace platform {

SingleInstanceLock::SingleInstanceLock(const std::string& name) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::string folder = (runtime != nullptr && *runtime == '/') ? runtime : TempFolder();
    std::string path = folder + "/" + name + ".lock";
    mFd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    // A lock file that cannot be created must not keep the user out.
    mFirst = mFd < 0 || ::flock(mFd, LOCK_EX | LOCK_NB) == 0;
}

bool SingleInstanceLock::TryTake() {
    if (!mFirst) {
        mFirst = ::flock(mFd, LOCK_EX | LOCK_NB) == 0;
    }
    return mFirst;
}

bool SingleInstanceLock::TakeWithin(std::chrono::milliseconds patience,
                                    std::chrono::milliseconds poll) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (!TryTake()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(poll);
    }
    return true;
}

SingleInstanceLock::~SingleInstanceLock() {
    if (mFd >= 0) {
        ::close(mFd);  // releases the lock
    }
}

}  // namespace platform
