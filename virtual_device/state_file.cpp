#include "virtual_device/state_file.h"

#include <cjson/cJSON.h>

#include <array>
#include <cstring>
#include <memory>
#include <optional>
#include <span>
#include <system_error>
#include <type_traits>
#include <vector>

#include "model/base64.h"
#include "model/file_bytes.h"

namespace virtual_device {
namespace {

constexpr const char* kKind = "tq-virtual-amplifier";
constexpr int kFormat = 1;
constexpr int kKtvValues = 10;
// A whole state file is about 0.6 MB; anything far larger is not one.
constexpr size_t kMaxStateFileBytes = 16u << 20;

static_assert(std::is_trivially_copyable_v<AmplifierState>);

using JsonPtr = std::unique_ptr<cJSON, decltype(&cJSON_Delete)>;

template <typename T>
std::string BytesText(const T& value) {
    std::vector<uint8_t> bytes(sizeof(T));
    std::memcpy(bytes.data(), &value, sizeof(T));
    return model::encodeBase64(bytes);
}

template <typename T>
bool ValueOfText(const cJSON* item, T& value) {
    if (!cJSON_IsString(item)) {
        return false;
    }
    const std::vector<uint8_t> bytes = model::decodeBase64(item->valuestring);
    if (bytes.size() != sizeof(T)) {
        return false;
    }
    std::memcpy(&value, bytes.data(), sizeof(T));
    return true;
}

bool IntMember(const cJSON* parent, const char* key, int low, int high, int& value) {
    const cJSON* item = cJSON_GetObjectItemCaseSensitive(parent, key);
    if (!cJSON_IsNumber(item) || item->valuedouble < low || item->valuedouble > high) {
        return false;
    }
    value = static_cast<int>(item->valuedouble);
    return true;
}

const cJSON* ArrayMember(const cJSON* parent, const char* key, int length) {
    const cJSON* item = cJSON_GetObjectItemCaseSensitive(parent, key);
    return cJSON_IsArray(item) && cJSON_GetArraySize(item) == length ? item : nullptr;
}

// Everything the file holds, read in full before any of it is applied.
struct KeptState {
    std::array<AmplifierState, kStateCount> states{};
    std::array<SceneName, kStateCount> names{};
    int validMask = 0;
    McuValues mcu;
    std::array<int, kKtvValues> ktv{};
    // Files from before the versions were kept have none: the amplifier
    // then reports the versions it was started with.
    std::optional<VersionNumber> firmware;
    std::optional<VersionNumber> bootloader;
    // An update cut short leaves the amplifier in its upgrade program, and
    // it stays there through a power cycle until an image is installed.
    bool inUpgradeProgram = false;
};

cJSON* VersionItem(VersionNumber version) {
    cJSON* item = cJSON_CreateArray();
    cJSON_AddItemToArray(item, cJSON_CreateNumber(version.major));
    cJSON_AddItemToArray(item, cJSON_CreateNumber(version.minor));
    return item;
}

// A missing version is fine; one that is there must be [major, minor].
bool ReadVersion(const cJSON* root, const char* key, std::optional<VersionNumber>& version) {
    const cJSON* item = cJSON_GetObjectItemCaseSensitive(root, key);
    if (item == nullptr) {
        return true;
    }
    if (!cJSON_IsArray(item) || cJSON_GetArraySize(item) != 2) {
        return false;
    }
    uint8_t parts[2] = {};
    for (int i = 0; i < 2; ++i) {
        const cJSON* part = cJSON_GetArrayItem(item, i);
        if (!cJSON_IsNumber(part) || part->valuedouble < 0 || part->valuedouble > 255) {
            return false;
        }
        parts[i] = static_cast<uint8_t>(part->valuedouble);
    }
    version = VersionNumber{parts[0], parts[1]};
    return true;
}

bool ReadMcu(const cJSON* root, McuValues& mcu) {
    const cJSON* item = cJSON_GetObjectItemCaseSensitive(root, "mcu");
    int acc = 0;
    int usb = 0;
    int powerOff = 0;
    if (!cJSON_IsObject(item) || !IntMember(item, "accDelay", 0, 255, acc) ||
        !IntMember(item, "usbPowerOption", 0, 255, usb) ||
        !IntMember(item, "powerOffDelayMs", 0, 65535, powerOff) ||
        !ValueOfText(cJSON_GetObjectItemCaseSensitive(item, "flashVersion"), mcu.flashVersion)) {
        return false;
    }
    mcu.accDelay = static_cast<uint8_t>(acc);
    mcu.usbPowerOption = static_cast<uint8_t>(usb);
    mcu.powerOffDelayMs = static_cast<uint16_t>(powerOff);
    return true;
}

bool ReadKept(const cJSON* root, KeptState& kept, std::string& error) {
    const cJSON* kind = cJSON_GetObjectItemCaseSensitive(root, "kind");
    int format = 0;
    if (!cJSON_IsString(kind) || std::strcmp(kind->valuestring, kKind) != 0 ||
        !IntMember(root, "format", kFormat, kFormat, format)) {
        error = "not a virtual amplifier state file";
        return false;
    }
    const cJSON* states = ArrayMember(root, "states", kStateCount);
    const cJSON* names = ArrayMember(root, "names", kStateCount);
    const cJSON* ktv = ArrayMember(root, "ktv", kKtvValues);
    if (states == nullptr || names == nullptr || ktv == nullptr ||
        !IntMember(root, "validMask", 0, 0xFFFF, kept.validMask) || !ReadMcu(root, kept.mcu)) {
        error = "the virtual amplifier state file is incomplete";
        return false;
    }
    for (int i = 0; i < kStateCount; ++i) {
        if (!ValueOfText(cJSON_GetArrayItem(states, i), kept.states[static_cast<size_t>(i)]) ||
            !ValueOfText(cJSON_GetArrayItem(names, i), kept.names[static_cast<size_t>(i)])) {
            error = "the virtual amplifier state file was written by another version";
            return false;
        }
    }
    for (int i = 0; i < kKtvValues; ++i) {
        const cJSON* item = cJSON_GetArrayItem(ktv, i);
        if (!cJSON_IsNumber(item) || item->valuedouble < -32768 || item->valuedouble > 65535) {
            error = "the virtual amplifier state file is incomplete";
            return false;
        }
        kept.ktv[static_cast<size_t>(i)] = static_cast<int>(item->valuedouble);
    }
    if (!ReadVersion(root, "firmwareVersion", kept.firmware) ||
        !ReadVersion(root, "bootloaderVersion", kept.bootloader)) {
        error = "the virtual amplifier state file has a bad firmware version";
        return false;
    }
    const cJSON* upgrading = cJSON_GetObjectItemCaseSensitive(root, "inUpgradeProgram");
    if (upgrading != nullptr && !cJSON_IsBool(upgrading)) {
        error = "the virtual amplifier state file is incomplete";
        return false;
    }
    kept.inUpgradeProgram = cJSON_IsTrue(upgrading);
    return true;
}

}  // namespace

std::string AmplifierStateText(const AmplifierProtocol& protocol) {
    JsonPtr root(cJSON_CreateObject(), cJSON_Delete);
    cJSON_AddStringToObject(root.get(), "kind", kKind);
    cJSON_AddNumberToObject(root.get(), "format", kFormat);
    cJSON* states = cJSON_AddArrayToObject(root.get(), "states");
    cJSON* names = cJSON_AddArrayToObject(root.get(), "names");
    for (int i = 0; i < kStateCount; ++i) {
        cJSON_AddItemToArray(states, cJSON_CreateString(BytesText(protocol.State(i)).c_str()));
        cJSON_AddItemToArray(names, cJSON_CreateString(BytesText(protocol.Name(i)).c_str()));
    }
    cJSON_AddNumberToObject(root.get(), "validMask", protocol.ValidMask());
    const McuValues mcu = protocol.Mcu();
    cJSON* mcuItem = cJSON_AddObjectToObject(root.get(), "mcu");
    cJSON_AddNumberToObject(mcuItem, "accDelay", mcu.accDelay);
    cJSON_AddNumberToObject(mcuItem, "usbPowerOption", mcu.usbPowerOption);
    cJSON_AddNumberToObject(mcuItem, "powerOffDelayMs", mcu.powerOffDelayMs);
    cJSON_AddStringToObject(mcuItem, "flashVersion", BytesText(mcu.flashVersion).c_str());
    cJSON* ktv = cJSON_AddArrayToObject(root.get(), "ktv");
    for (int sub = 1; sub <= kKtvValues; ++sub) {
        cJSON_AddItemToArray(ktv, cJSON_CreateNumber(protocol.KtvValue(static_cast<uint8_t>(sub))));
    }
    cJSON_AddItemToObject(root.get(), "firmwareVersion", VersionItem(protocol.FirmwareVersion()));
    cJSON_AddItemToObject(root.get(), "bootloaderVersion",
                          VersionItem(protocol.BootloaderVersion()));
    cJSON_AddBoolToObject(root.get(), "inUpgradeProgram", protocol.InUpgradeProgram());
    char* printed = cJSON_Print(root.get());
    std::string text = printed != nullptr ? printed : "";
    cJSON_free(printed);
    return text;
}

bool ApplyAmplifierStateText(const std::string& text, AmplifierProtocol& protocol,
                             ScriptedFaults& faults, std::string& error) {
    JsonPtr root(cJSON_ParseWithLength(text.data(), text.size()), cJSON_Delete);
    if (!cJSON_IsObject(root.get())) {
        error = "the virtual amplifier state file is not JSON";
        return false;
    }
    auto kept = std::make_unique<KeptState>();
    if (!ReadKept(root.get(), *kept, error)) {
        return false;
    }
    if (cJSON_GetObjectItemCaseSensitive(root.get(), "unplugAtReport") != nullptr &&
        !IntMember(root.get(), "unplugAtReport", 1, 1 << 30, faults.unplugAtReport)) {
        error = "the virtual amplifier state file has a bad unplugAtReport";
        return false;
    }
    for (int i = 0; i < kStateCount; ++i) {
        protocol.SetState(i, kept->states[static_cast<size_t>(i)]);
        const SceneName& name = kept->names[static_cast<size_t>(i)];
        protocol.SetName(i, std::string(name.begin(), name.end()));
    }
    protocol.SetValidMask(static_cast<uint16_t>(kept->validMask));
    protocol.SetMcu(kept->mcu);
    for (int sub = 1; sub <= kKtvValues; ++sub) {
        protocol.SetKtvValue(static_cast<uint8_t>(sub), kept->ktv[static_cast<size_t>(sub - 1)]);
    }
    protocol.SetInstalledVersions(kept->firmware.value_or(protocol.FirmwareVersion()),
                                  kept->bootloader.value_or(protocol.BootloaderVersion()));
    protocol.SetNormalMode(!kept->inUpgradeProgram);
    return true;
}

bool LoadAmplifierState(const std::filesystem::path& path, AmplifierProtocol& protocol, bool& found,
                        ScriptedFaults& faults, std::string& error) {
    std::error_code code;
    found = std::filesystem::exists(path, code);
    if (!found) {
        return true;
    }
    std::string text;
    if (model::readWholeFile(path, kMaxStateFileBytes, text) != model::FileReadStatus::Ok) {
        error = "cannot read the virtual amplifier state file";
        return false;
    }
    return ApplyAmplifierStateText(text, protocol, faults, error);
}

bool SaveAmplifierState(const std::filesystem::path& path, const AmplifierProtocol& protocol) {
    const std::string text = AmplifierStateText(protocol);
    return !text.empty() && model::writeFileReplacing(path, text);
}

}  // namespace virtual_device
