#include "app/startup.h"

#include "app/log.h"
#include "app/model_cfg.h"
#include "app/settings.h"
#include "platform/paths.h"

namespace app {

std::string InstanceMutexName() {
    return std::string("MARAVO4TO8_") + CurrentModelCfg().mMODEL_NAME;
}

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
