// The input source: the list it is chosen from, the switch, and the routing
// rows of the outputs that follow it.
#include <algorithm>

#include "app/log.h"
#include "app/model_cfg.h"
#include "controller/controller_messages.h"
#include "controller/equalizer_manager.h"

namespace controller {
namespace {

constexpr int kSourceTotal = 10;
constexpr int kFirstSourceCode = 81;
constexpr int kMainVolumePolls = 10;
constexpr int kMainVolumePollMs = 1000;

const char* const kSourceItems[kSourceTotal] = {
    "${source_opt}", "${source_coax}", "${source_bt}",  "${source_aux}", "${source_low}",
    "${source_hi}",  "${source_dmp}",  "${source_udp}", "${source_scp}", "${source_a2b}"};

}  // namespace

// Only the sources this model has inputs for are offered.
void EqualizerManager::FillSourceList() {
    Ctl& list = mControls("btn_input_source");
    list.ClearItems();
    for (int s = 0; s < kSourceTotal; ++s) {
        if (model::Profile::inputChannelCount(s) > 0) {
            list.AddItem(kSourceItems[s], std::to_string(s));
        }
    }
}

void EqualizerManager::SetInputSource() {
    Ctl& list = mControls("btn_input_source");
    const int item = list.SelectedIndex();
    app::Log("on %s index %d\n", "EqualizerManager::SetInputSource", item);
    if (item < 0 || item >= list.ItemCount()) {
        return;
    }
    SetInputSourceTo(std::stoi(list.ItemUserData(item)));
}

void EqualizerManager::SetInputSourceTo(int source) {
    app::Log("on %s index %d\n", "EqualizerManager::SetInputSourceTo", source);
    if (source < 0 || source >= kSourceTotal) {
        source = 5;  // an unknown source counts as high level
    }
    mProfile.source = source;
    ShowSource();
    if (mLook != ConnectLook::kConnected) {
        return;
    }
    mDeviceLink->Source_Switch_Ctrl(static_cast<uint8_t>(kFirstSourceCode + source), false);
    // The device changes its volume with the source: ask for it until it tells.
    mMainVolumePolls = kMainVolumePolls;
    if (mPage != nullptr) {
        mPage->SetTimer(GET_MAIN_VOLUME_TIMER, kMainVolumePollMs);
    }
}

void EqualizerManager::OnMainVolumeTimer() {
    app::Log("GET_MAIN_VOLUME_TIMER, getMainVolumeTimer=%d\n", mMainVolumePolls);
    if (mMainVolumePolls > 0 && mDeviceLink->IsConnected()) {
        --mMainVolumePolls;
        // Sent from the command thread: the UI never waits for the device.
        mDeviceLink->SubmitCommand(device::CMD_DSP, 0x02, device::OP_GET, {}, false);
        return;
    }
    if (mPage != nullptr) {
        mPage->KillTimer(GET_MAIN_VOLUME_TIMER);
    }
}

}  // namespace controller
