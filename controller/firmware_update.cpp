// The firmware update as the controller runs it: the forced update of a
// device older than the images the program carries, the manual update
// window, and what a transfer needs to know of the connected device.
#include <cstdio>
#include <fstream>
#include <span>
#include <system_error>

#include "app/log.h"
#include "app/model_cfg.h"
#include "app/settings.h"
#include "controller/equalizer_manager.h"
#include "firmware/builtin_images.h"

namespace controller {
namespace {

constexpr const char* kMcuImageName = "MCU_UPG.bin";
constexpr const char* kFlashImageName = "FLASH_UPG.bin";
// The virtual amplifier's device paths start with this.
constexpr const char* kVirtualPathPrefix = "virtual:";

// Why a built-in image could not be written: 0 written, 3 the program
// carries no bytes for it, 5 the file cannot be created, 6 it was not
// written completely.
constexpr int kImageWritten = 0;
constexpr int kImageEmpty = 3;
constexpr int kFileNotCreated = 5;
constexpr int kFileIncomplete = 6;
// A failure of the flash image counts after those of the microcontroller's.
constexpr int kFlashErrorOffset = 6;

int WriteImageFile(std::span<const uint8_t> image, const std::filesystem::path& file) {
    if (image.empty()) {
        return kImageEmpty;
    }
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    if (!out) {
        return kFileNotCreated;
    }
    out.write(reinterpret_cast<const char*>(image.data()),
              static_cast<std::streamsize>(image.size()));
    out.close();
    return out ? kImageWritten : kFileIncomplete;
}

// 0, or the error code the user is told.
int WriteBuiltInImages(const std::filesystem::path& mcuFile,
                       const std::filesystem::path& flashFile) {
    int code =
        WriteImageFile(firmware::BuiltInImage(firmware::UpgradeTarget::UPG_DEVICE_MCU), mcuFile);
    if (code == kImageWritten) {
        code = WriteImageFile(firmware::BuiltInImage(firmware::UpgradeTarget::UPG_DEVICE_FLASH),
                              flashFile);
        if (code != kImageWritten) {
            code += kFlashErrorOffset;
        }
    }
    return code;
}

void RemoveFile(const std::filesystem::path& file) {
    std::error_code ignored;
    if (!std::filesystem::is_directory(file, ignored)) {
        std::filesystem::remove(file, ignored);
    }
}

std::string Formatted(const std::string& format, int a, int b, int c, int d) {
    char text[512];
    std::snprintf(text, sizeof text, format.c_str(), a, b, c, d);
    return text;
}

}  // namespace

std::filesystem::path EqualizerManager::ForceUpdateMcuFile() {
    std::error_code ignored;
    return std::filesystem::temp_directory_path(ignored) / kMcuImageName;
}

std::filesystem::path EqualizerManager::ForceUpdateFlashFile() {
    std::error_code ignored;
    return std::filesystem::temp_directory_path(ignored) / kFlashImageName;
}

bool EqualizerManager::IsVirtualAmplifier() const {
    return mSelectedPath.rfind(kVirtualPathPrefix, 0) == 0;
}

UpgradeSetup EqualizerManager::UpgradeSetupForDevice() const {
    UpgradeSetup setup;
    // Stand-in images exist for the virtual amplifier only; a real one must
    // never be sent one.
    setup.rules = firmware::RulesForLink(*mDeviceLink, app::CurrentModelCfg().mNO_CHECK_ID,
                                         IsVirtualAmplifier());
    setup.timings = mUpgradeTimings;
    return setup;
}

void EqualizerManager::StartForceUpdate() {
    if (mUi == nullptr || app::MarkerFileExists(app::kNoForceUpdateMarker)) {
        return;
    }
    const app::ModelCfg& cfg = app::CurrentModelCfg();
    const int deviceMajor = mProfile.fwMainVersion;
    const int deviceMinor = mProfile.fwSlaveVersion;
    // A build without the maker's images carries stand-ins, which only the
    // virtual amplifier may take: a real amplifier is told where its
    // firmware comes from instead.
    if (!firmware::BuiltInImagesAreReal() && !IsVirtualAmplifier()) {
        app::Log("no built-in firmware for a real amplifier: device %d.%d, program %d.%d\n",
                 deviceMajor, deviceMinor, cfg.mINNER_FW_MAIN_VER, cfg.mINNER_FW_SLAVE_VER);
        mUi->ShowMessage("${tips}",
                         Formatted(mUi->Translate("${update_no_builtin_fw}"), deviceMajor,
                                   deviceMinor, cfg.mINNER_FW_MAIN_VER, cfg.mINNER_FW_SLAVE_VER));
        return;
    }
    const std::string question =
        Formatted(mUi->Translate("${update_tips}"), deviceMajor, deviceMinor,
                  cfg.mINNER_FW_MAIN_VER, cfg.mINNER_FW_SLAVE_VER);
    if (!mUi->Confirm("${tips}", question)) {
        return;
    }
    app::Log("Start force update!\n");
    const std::filesystem::path mcuFile = ForceUpdateMcuFile();
    const std::filesystem::path flashFile = ForceUpdateFlashFile();
    const int code = WriteBuiltInImages(mcuFile, flashFile);
    if (code != kImageWritten) {
        RemoveFile(mcuFile);
        RemoveFile(flashFile);
        char text[64];
        std::snprintf(text, sizeof text, "File prepare error. error code %d", code);
        app::Log("%s\n", text);
        mUi->ShowMessage("${tips}", text);
        return;
    }
    mForceUpdatePending = true;
    const int result = mUi->RunForceUpdateWindow(mcuFile.string(), flashFile.string());
    mForceUpdatePending = false;
    app::Log("force update window returned %d\n", result);
    // The window leaves the command queue disabled whatever it returns: a
    // device that is back is read again, which enables the queue.
    mForceUpdateWindowClosed = true;
    if (mDeviceLink->IsConnected()) {
        ReadDeviceAgain();
    }
}

void EqualizerManager::ReadDeviceAgain() {
    mDeviceLink->DisableCmdCtrl();
    Post(WM_SHOW_LOADING);
    JoinJobs();
    mJobBands = jobs::BandCountsOf(mProfile);
    StartJob(&EqualizerManager::ReadMcuValueThread);
}

void EqualizerManager::OpenFirmwareUpdate() {
    if (mUi == nullptr) {
        return;
    }
    // The device restarts by itself at the end of an update.
    mPlugOutMsgSuppressed = true;
    const int result = mUi->RunUpdateFwWindow();
    mPlugOutMsgSuppressed = false;
    // An update that was started and did not end in a restart (a refused
    // file, a failed transfer) leaves the command queue disabled: a device
    // still running normally is read again, which enables it.
    if (result == 0 && mDeviceLink->IsConnected() && mDeviceLink->IsMcuNormalMode() &&
        !mDeviceLink->IsCmdCtrlEnabled()) {
        ReadDeviceAgain();
    }
}

void EqualizerManager::OnDeviceStatusUnnormal() {
    if (mUi == nullptr) {
        return;
    }
    // An update window that is open is already taking care of the device.
    if (mForceUpdatePending || mPlugOutMsgSuppressed || mDeviceLink->IsUpgradeUnderWay()) {
        app::Log("device in its upgrade program during an update\n");
        return;
    }
    mUi->ShowMessage("${tips}", "${device_status_unnormal}");
    OpenFirmwareUpdate();
}

}  // namespace controller
