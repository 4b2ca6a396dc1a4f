// list and info: which amplifiers are attached, and who the chosen one is.
#include <array>
#include <cstdio>
#include <string>

#include "app/model_cfg.h"
#include "cli/amplifier_session.h"
#include "cli/commands.h"
#include "cli/json_out.h"
#include "jobs/reply_applier.h"
#include "jobs/state_readback.h"

namespace cli {
namespace {

std::string VersionText(int major, int minor) {
    return std::to_string(major) + "." + std::to_string(minor);
}

void AddIdentity(cJSON* object, const FoundAmplifier& amplifier) {
    cJSON_AddStringToObject(object, "path", amplifier.path.c_str());
    cJSON_AddStringToObject(object, "serial", amplifier.serial.c_str());
    cJSON_AddStringToObject(object, "nickname", amplifier.nickname.c_str());
}

// What one amplifier reported of itself. The handshake carries the model
// and the firmware, or says that the amplifier waits in its upgrade program
// (and carries nothing else then); the DSP flash and the bootloader are asked
// for, and are empty when the firmware does not answer.
struct Versions {
    bool upgradeProgram = false;
    int model = -1;
    std::string firmware;
    std::string dspFlash;
    std::string bootloader;
};

constexpr const char* kUpgradeProgramText =
    "in its upgrade program; finish the update with 'tq-dsp firmware update'";

std::string FlashVersionText(const std::array<int32_t, 4>& version) {
    if (version == std::array<int32_t, 4>{}) {
        return "";
    }
    std::string text;
    for (int32_t part : version) {
        text += (text.empty() ? "" : ".") + std::to_string(part);
    }
    return text;
}

// The handshake alone: quick, and it also answers for an amplifier whose
// update was cut short, which is when an installer most needs to ask.
std::optional<Failure> ReadVersions(AmplifierSession& session, Versions& versions) {
    if (auto failure = session.Open()) {
        return failure;
    }
    device::DeviceLink& link = session.Link();
    const bool flashAnswered = link.Get_Dsp_Flash_Version();
    const bool bootloaderAnswered = link.Get_Bootloader_Version();
    session.Pump().WaitApplied(jobs::kRepliesAppliedTimeoutMs);
    const std::unique_ptr<jobs::DeviceProfiles> profiles = session.Pump().Snapshot();
    versions.upgradeProgram = !link.IsMcuNormalMode();
    if (!versions.upgradeProgram) {
        versions.model = link.ModelId();
        versions.firmware =
            VersionText(profiles->working.fwMainVersion, profiles->working.fwSlaveVersion);
    }
    if (flashAnswered) {
        versions.dspFlash = FlashVersionText(profiles->working.flashVersion);
    }
    if (bootloaderAnswered) {
        // One byte: the major version in the high nibble, the minor in the low.
        const int report = link.BootloaderVersion();
        versions.bootloader = VersionText(report >> 4, report & 0x0F);
    }
    return std::nullopt;
}

std::string ShownVersion(const std::string& version) {
    return version.empty() ? "not reported" : version;
}

// The model's name only when it is the one this tool tunes.
std::string ModelText(const Versions& versions) {
    if (versions.upgradeProgram) {
        return "not reported";
    }
    const app::ModelCfg& cfg = app::CurrentModelCfg();
    std::string text = std::to_string(versions.model);
    if (versions.model == cfg.mFw_Model_ID) {
        text += std::string(" (") + cfg.mMODEL_NAME + ")";
    } else {
        text += std::string(" (not the ") + cfg.mMODEL_NAME + " this tool tunes)";
    }
    return text;
}

}  // namespace

int ListCommand(const Arguments& arguments, const Words& words) {
    if (!words.empty()) {
        return Report({kExitBadArguments, "usage: tq-dsp list"});
    }
    std::vector<FoundAmplifier> found;
    {
        AmplifierSession probe(arguments);
        if (auto failure = probe.Start()) {
            return Report(*failure);
        }
        found = probe.List();
    }
    if (found.empty()) {
        return Report({kExitNoDevice, "no amplifier found; connect one or use --virtual-device"});
    }
    JsonPtr all = NewJsonArray();
    for (const FoundAmplifier& amplifier : found) {
        // Each amplifier is asked in turn for its model and firmware.
        Arguments one = arguments;
        one.device = amplifier.path;
        AmplifierSession session(one);
        Versions versions;
        std::optional<Failure> failure = session.Start();
        if (!failure) {
            failure = ReadVersions(session, versions);
        }
        const bool known = !failure && !versions.upgradeProgram;
        const std::string model = known ? std::to_string(versions.model) : "?";
        const std::string firmware = failure                   ? "?"
                                     : versions.upgradeProgram ? "upgrade program"
                                                               : versions.firmware;
        if (arguments.json) {
            cJSON* item = cJSON_CreateObject();
            AddIdentity(item, amplifier);
            cJSON_AddStringToObject(item, "model", model.c_str());
            cJSON_AddStringToObject(item, "firmware", known ? firmware.c_str() : "");
            cJSON_AddBoolToObject(item, "upgradeProgram", !failure && versions.upgradeProgram);
            if (failure) {
                cJSON_AddStringToObject(item, "error", failure->message.c_str());
            }
            cJSON_AddItemToArray(all.get(), item);
        } else {
            std::printf("%s\t%s\t%s\tmodel %s\tfirmware %s\n", amplifier.path.c_str(),
                        amplifier.serial.c_str(), amplifier.nickname.c_str(), model.c_str(),
                        firmware.c_str());
        }
    }
    if (arguments.json) {
        PrintJson(all.get());
    }
    return kExitDone;
}

int InfoCommand(const Arguments& arguments, const Words& words) {
    if (!words.empty()) {
        return Report({kExitBadArguments, "usage: tq-dsp info"});
    }
    AmplifierSession session(arguments);
    Versions versions;
    std::optional<Failure> failure = session.Start();
    if (!failure) {
        failure = ReadVersions(session, versions);
    }
    if (failure) {
        return Report(*failure);
    }
    const FoundAmplifier& amplifier = session.Chosen();
    if (arguments.json) {
        JsonPtr item = NewJsonObject();
        AddIdentity(item.get(), amplifier);
        cJSON_AddStringToObject(item.get(), "manufacturer", amplifier.manufacturer.c_str());
        cJSON_AddStringToObject(item.get(), "product", amplifier.product.c_str());
        if (versions.upgradeProgram) {
            cJSON_AddNullToObject(item.get(), "model");
        } else {
            cJSON_AddNumberToObject(item.get(), "model", versions.model);
        }
        cJSON_AddStringToObject(item.get(), "firmware", versions.firmware.c_str());
        cJSON_AddStringToObject(item.get(), "dspFlash", versions.dspFlash.c_str());
        cJSON_AddStringToObject(item.get(), "bootloader", versions.bootloader.c_str());
        cJSON_AddBoolToObject(item.get(), "upgradeProgram", versions.upgradeProgram);
        PrintJson(item.get());
        return kExitDone;
    }
    std::printf("path:         %s\n", amplifier.path.c_str());
    std::printf("serial:       %s\n", amplifier.serial.c_str());
    std::printf("nickname:     %s\n", amplifier.nickname.c_str());
    std::printf("manufacturer: %s\n", amplifier.manufacturer.c_str());
    std::printf("product:      %s\n", amplifier.product.c_str());
    std::printf("model:        %s\n", ModelText(versions).c_str());
    std::printf("firmware:     %s\n", ShownVersion(versions.firmware).c_str());
    std::printf("dsp flash:    %s\n", ShownVersion(versions.dspFlash).c_str());
    std::printf("bootloader:   %s\n", ShownVersion(versions.bootloader).c_str());
    std::printf("state:        %s\n", versions.upgradeProgram ? kUpgradeProgramText : "running");
    return kExitDone;
}

}  // namespace cli
