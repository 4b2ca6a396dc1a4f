#include "app/startup.h"

#include "app/log.h"
#include "app/settings.h"
#include "platform/paths.h"

namespace app {

bool StartLogIfRequested() {
    if (!MarkerFileExists(kSaveLogMarker)) {
        return false;
    }
    if (!OpenLog(platform::CurrentDirectory() + "/" + kLogFileName)) {
        return false;
    }
    WriteLogBanner();
    return true;
}

}  // namespace app
