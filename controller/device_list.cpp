// The list of attached amplifiers, their names and nicknames, and the
// selection of one of them.
#include <algorithm>

#include "app/log.h"
#include "app/settings.h"
#include "controller/controller_messages.h"
#include "controller/equalizer_manager.h"
#include "model/device_names.h"
#include "platform/text_util.h"

namespace controller {

void EqualizerManager::UpdateDeviceList() {
    app::Log("UpdateDeviceList\n");
    mDevicePaths.clear();
    mDeviceNames.clear();
    mDeviceNickNames.clear();
    Ctl& list = mControls("btn_devices");
    list.ClearItems();

    app::Log("List All Device:\n");
    std::vector<device::HidDeviceInfo> found;
    if (mBackend != nullptr && mBackend->Init() == 0) {
        found = mBackend->Enumerate(device::kAmplifierVendorId, device::kAmplifierProductId);
    }
    for (const device::HidDeviceInfo& info : found) {
        if (info.vendorId != device::kAmplifierVendorId ||
            info.productId != device::kAmplifierProductId) {
            continue;
        }
        std::string name = model::DeviceNameOf(platform::WideToUtf8(info.serialNumber), info.path);
        std::string nick = model::LimitedDeviceName(
            app::ReadSettingString("DeviceNickNames", model::DeviceKeyOf(name), name, 256));
        mDevicePaths.push_back(info.path);
        mDeviceNames.push_back(name);
        mDeviceNickNames.push_back(nick);
        list.AddItem(nick, name);
        app::Log("\tDevice Path: %s\n", info.path.c_str());
    }

    for (auto entry = mDeviceProfiles.begin(); entry != mDeviceProfiles.end();) {
        bool listed =
            std::find(mDeviceNames.begin(), mDeviceNames.end(), entry->first) != mDeviceNames.end();
        if (!listed) {
            app::Log("Remove Device Profile: %s\n", entry->first.c_str());
            entry = mDeviceProfiles.erase(entry);
        } else {
            ++entry;
        }
    }
    LogCachedProfiles();
}

void EqualizerManager::LogCachedProfiles() {
    for (const auto& entry : mDeviceProfiles) {
        app::Log("Device Profile: %s\n", entry.first.c_str());
    }
}

void EqualizerManager::ClearSelection() {
    mSelectedName.clear();
    mSelectedNickName.clear();
    mSelectedPath.clear();
}

void EqualizerManager::SelectEntry(size_t index) {
    mSelectedName = mDeviceNames[index];
    mSelectedNickName = mDeviceNickNames[index];
    mSelectedPath = mDevicePaths[index];
    app::Log("\tSelect Device Name: %s\n", mSelectedName.c_str());
    app::Log("\tSelect Device Nick Name: %s\n", mSelectedNickName.c_str());
    app::Log("\tSelect Device Path: %s\n", mSelectedPath.c_str());
    mControls("btn_devices").SelectItem(static_cast<int>(index), false);
}

void EqualizerManager::SelectFirstDevice() {
    app::Log("SelectFirstDevice\n");
    if (mDevicePaths.empty()) {
        ClearSelection();
        return;
    }
    SelectEntry(0);
}

void EqualizerManager::SelectDevice(const std::string& path) {
    app::Log("SelectDevice\n");
    ClearSelection();
    for (size_t i = 0; i < mDevicePaths.size(); ++i) {
        if (platform::EqualsIgnoringCase(mDevicePaths[i], path)) {
            SelectEntry(i);
            return;
        }
    }
}

void EqualizerManager::SetDevice() {
    app::Log("SetDevice\n");
    int index = mControls("btn_devices").SelectedIndex();
    // An index equal to the list size is out of range as well.
    if (index < 0 || static_cast<size_t>(index) >= mDevicePaths.size()) {
        ClearSelection();
        LogCachedProfiles();
        return;
    }
    size_t i = static_cast<size_t>(index);
    if (mDeviceNames[i] != mSelectedName || mDevicePaths[i] != mSelectedPath) {
        if (!mSelectedName.empty()) {
            mDeviceProfiles.insert_or_assign(mSelectedName, mProfile);
        }
        SelectEntry(i);
        DisconnectDevice();
        ConnectDevice(false);
    }
    LogCachedProfiles();
}

bool EqualizerManager::IsSelectedDeviceInList() const {
    return !mSelectedPath.empty() &&
           std::find(mDevicePaths.begin(), mDevicePaths.end(), mSelectedPath) != mDevicePaths.end();
}

void EqualizerManager::UpdateSelectDeviceIndex() {
    app::Log("UpdateSelectDeviceIndex\n");
    if (mSelectedPath.empty()) {
        return;
    }
    auto at = std::find(mDevicePaths.begin(), mDevicePaths.end(), mSelectedPath);
    int index = at == mDevicePaths.end() ? -1 : static_cast<int>(at - mDevicePaths.begin());
    mControls("btn_devices").SelectItem(index, false);
}

bool EqualizerManager::HasCachedProfile(const std::string& name) const {
    return mDeviceProfiles.count(name) != 0;
}

void EqualizerManager::EditDeviceName() {
    app::Log("EditDeviceName\n");
    Ctl& list = mControls("btn_devices");
    if (list.SelectedIndex() < 0) {
        return;
    }
    mEditingName = mSelectedName;
    list.SetVisible(false);
    Ctl& edit = mControls("edit_device_name");
    edit.SetVisible(true);
    edit.SetText(mSelectedNickName);
    edit.SetFocus();
    edit.SelectAllText();
}

void EqualizerManager::CommitDeviceName() {
    app::Log("EditDeviceName\n");
    Ctl& list = mControls("btn_devices");
    int index = list.SelectedIndex();
    if (index < 0) {
        return;
    }
    Ctl& edit = mControls("edit_device_name");
    if (!mEditingName.empty() && mEditingName == mSelectedName) {
        std::string nick = model::LimitedDeviceName(platform::Trimmed(edit.Text()));
        if (nick.empty()) {
            nick = mSelectedName;
        }
        mSelectedNickName = nick;
        if (static_cast<size_t>(index) < mDeviceNickNames.size()) {
            mDeviceNickNames[static_cast<size_t>(index)] = nick;
        }
        // The list shows nicknames: rebuild its texts with the new one.
        list.ClearItems();
        for (size_t i = 0; i < mDeviceNames.size(); ++i) {
            list.AddItem(mDeviceNickNames[i], mDeviceNames[i]);
        }
        list.SelectItem(index, false);
        std::string key = model::DeviceKeyOf(mSelectedName);
        app::WriteSetting("DeviceNickNames", key, nick);
        app::WriteSetting("DeviceMappings", key, mSelectedName + "|" + nick);
    }
    mEditingName.clear();
    list.SetVisible(true);
    Post(WM_END_NAME_EDIT);
}

void EqualizerManager::EndNameEdit() {
    mControls("edit_device_name").SetVisible(false);
}

}  // namespace controller
