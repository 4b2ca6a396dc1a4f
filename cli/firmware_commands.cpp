// firmware update --mcu FILE | --bootloader FILE | --flash FILE: the
// program's upgrade session run in the terminal. The image's name must say
// what it is for, as the program's update window needs: a DSP flash image's
// part byte is never examined, so the name is what keeps a microcontroller
// image out of the DSP's flash.
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>

#include "app/model_cfg.h"
#include "cli/amplifier_session.h"
#include "cli/commands.h"
#include "cli/interrupts.h"
#include "cli/progress_report.h"
#include "firmware/upgrade_session.h"

namespace cli {
namespace {

constexpr const char* kUsage = "firmware update --mcu FILE | --bootloader FILE | --flash FILE";
constexpr const char* kVirtualPathPrefix = "virtual:";
// The virtual amplifier is back on the bus 3 s after it restarts.
constexpr int kVirtualRebootWaitMs = 3500;

struct TargetEntry {
    const char* option;
    firmware::UpgradeTarget target;
    const char* nameMark;  // what the image's name contains
    const char* what;
};

// In the order the upgrade session looks at a name.
constexpr TargetEntry kTargets[] = {
    {"--bootloader", firmware::UpgradeTarget::UPG_DEVICE_MCU_BL, "BL_UPG.BIN", "bootloader"},
    {"--flash", firmware::UpgradeTarget::UPG_DEVICE_FLASH, "FLASH_UPG.BIN", "DSP flash"},
    {"--mcu", firmware::UpgradeTarget::UPG_DEVICE_MCU, "MCU_UPG.BIN", "microcontroller"},
};

const TargetEntry* EntryOfName(const std::string& fileName) {
    std::string upper = fileName;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    for (const TargetEntry& entry : kTargets) {
        if (upper.find(entry.nameMark) != std::string::npos) {
            return &entry;
        }
    }
    return nullptr;
}

class ProgressObserver final : public firmware::UpgradeObserver {
public:
    explicit ProgressObserver(ProgressReport& report) : mReport(report) {}
    void OnStarted(firmware::UpgradeTarget) override {}
    void OnProgress(int percent) override { mReport.Progress(percent, 100); }

private:
    ProgressReport& mReport;
};

Failure StartFailure(int result, const std::string& path) {
    switch (result) {
        case firmware::UPG_FILE_UNREADABLE:
            return {kExitBadFile, "cannot read '" + path + "'; check the name"};
        case firmware::UPG_FILE_INVALID:
            return {kExitBadFile, "'" + path +
                                      "' is not a firmware image for this amplifier; use the "
                                      "image made for it"};
        case firmware::UPG_CONNECT_FAIL:
            return {kExitNoDevice, "the amplifier is gone; connect it and run the update again"};
        default:
            return {kExitDeviceError,
                    "the amplifier did not start the update; restart it and run the update again"};
    }
}

int Update(const Arguments& arguments, const TargetEntry& entry, const std::string& path) {
    const std::string fileName = std::filesystem::path(path).filename().string();
    if (EntryOfName(fileName) != &entry) {
        return Report({kExitBadFile, "'" + path + "' is not named as a " + entry.what +
                                         " image (its name contains " + entry.nameMark + ")"});
    }
    std::error_code code;
    if (!std::filesystem::is_regular_file(path, code)) {
        return Report({kExitBadFile, "cannot read '" + path + "'; check the name"});
    }
    AmplifierSession session(arguments);
    if (auto failure = session.Start()) {
        return Report(*failure);
    }
    if (auto failure = session.Open()) {
        return Report(*failure);
    }
    const bool isVirtual = session.Chosen().path.rfind(kVirtualPathPrefix, 0) == 0;
    firmware::UpgradeTimings timings;
    if (isVirtual) {
        timings.rebootWaitMs = kVirtualRebootWaitMs;
    }
    firmware::UpgradeSession upgrade(
        session.Link(),
        firmware::RulesForLink(session.Link(), app::CurrentModelCfg().mNO_CHECK_ID, isVirtual),
        timings);
    upgrade.SetDevicePath(session.Chosen().path);
    ProgressReport report(session.Pump(), "updating", arguments.quiet);
    ProgressObserver observer(report);
    firmware::UpgradeOutcome outcome;
    {
        const UninterruptibleSpell installing;
        if (InterruptRequested()) {  // asked before anything was sent
            return Report({kExitDeviceError, "the update was stopped before it began"});
        }
        outcome = firmware::RunUpgrade(upgrade, path, observer);
    }
    if (outcome.startResult != firmware::UPG_STARTED) {
        return Report(StartFailure(outcome.startResult, path));
    }
    if (!outcome.Succeeded()) {
        return Report({kExitDeviceError,
                       "the update failed; the amplifier waits in its upgrade program: run the "
                       "update again"});
    }
    return kExitDone;
}

}  // namespace

int FirmwareCommand(const Arguments& arguments, const Words& words) {
    if (words.size() != 3 || words[0] != "update") {
        return Report({kExitBadArguments, std::string("usage: tq-dsp ") + kUsage});
    }
    for (const TargetEntry& entry : kTargets) {
        if (words[1] == entry.option) {
            return Update(arguments, entry, words[2]);
        }
    }
    return Report({kExitBadArguments, std::string("usage: tq-dsp ") + kUsage});
}

}  // namespace cli
