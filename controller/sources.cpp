// The input source: the list and the menu it is chosen from, the switch, the
// read-back of the volume the device plays after it, and the routing rows of
// the outputs that follow it.
#include <algorithm>
#include <string>

#include "app/log.h"
#include "app/model_cfg.h"
#include "controller/controller_messages.h"
#include "controller/equalizer_manager.h"
#include "device/dsp_subcommands.h"

namespace controller {
namespace {

const app::ModelCfg& Cfg() {
    return app::CurrentModelCfg();
}

constexpr int kSourceTotal = 10;
constexpr int kFirstSourceCode = 81;
constexpr int kHighLevelSource = 5;
constexpr int kUdpSource = 7;
constexpr int kScpSource = 8;
constexpr int kMainVolumePolls = 10;
constexpr int kMainVolumePollMs = 1000;

const char* const kSourceTexts[kSourceTotal] = {
    "${source_opt}", "${source_coax}", "${source_bt}",  "${source_aux}", "${source_low}",
    "${source_hi}",  "${source_dmp}",  "${source_udp}", "${source_scp}", "${source_a2b}"};

const char* const kSourceMenuItems[kSourceTotal] = {
    "source_item_opt", "source_item_coax", "source_item_bt",  "source_item_aux", "source_item_low",
    "source_item_hi",  "source_item_dmp",  "source_item_udp", "source_item_scp", "source_item_a2b"};

// The menu never offers coaxial, AUX and A2B.
bool AlwaysHiddenInMenu(int source) {
    return source == 1 || source == 3 || source == 9;
}

int KnownSource(int source) {
    return source >= 0 && source < kSourceTotal ? source : kHighLevelSource;
}

}  // namespace

// A source is offered when the model has inputs for it; with the USB device
// option, USB audio and SCP share one socket and only the one chosen is.
bool EqualizerManager::SourceOffered(int source) const {
    if (model::Profile::inputChannelCount(source) <= 0) {
        return false;
    }
    if (Cfg().mSUPPORT_USB_DEVICE_OPTION) {
        if (source == kUdpSource) {
            return !mUsbUdpOrScp;
        }
        if (source == kScpSource) {
            return mUsbUdpOrScp;
        }
    }
    return true;
}

void EqualizerManager::FillSourceList() {
    Ctl& list = mControls("btn_input_source");
    list.ClearItems();
    for (int s = 0; s < kSourceTotal; ++s) {
        if (SourceOffered(s)) {
            list.AddItem(kSourceTexts[s], std::to_string(s));
        }
    }
    SelectSourceItem();
}

void EqualizerManager::SelectSourceItem() {
    Ctl& list = mControls("btn_input_source");
    const std::string source = std::to_string(KnownSource(mProfile.source));
    for (int i = 0; i < list.ItemCount(); ++i) {
        if (list.ItemUserData(i) == source) {
            list.SelectItem(i, false);
        }
    }
}

void EqualizerManager::ShowSource() {
    SelectSourceItem();
    mControls("btn_source").SetText(kSourceTexts[KnownSource(mProfile.source)]);
    for (int c = 0; c < Cfg().mOUT_CHANNEL_NUMBER; ++c) {
        ShowRouting(c);
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
    source = KnownSource(source);
    mProfile.source = source;
    ShowSource();
    if (mLook != ConnectLook::kConnected) {
        return;
    }
    mDeviceLink->Source_Switch_Ctrl(static_cast<uint8_t>(kFirstSourceCode + source), false);
    // The device plays each source at its own volume: ask for it until it tells.
    mMainVolumePolls = kMainVolumePolls;
    if (mPage != nullptr) {
        mPage->SetTimer(GET_MAIN_VOLUME_TIMER, kMainVolumePollMs);
    }
}

void EqualizerManager::OnMainVolumeTimer() {
    app::Log("GET_MAIN_VOLUME_TIMER, getMainVolumeTimer=%d\n", mMainVolumePolls);
    if (mMainVolumePolls > 0 && mDeviceLink->IsConnected()) {
        --mMainVolumePolls;
        // Queued for the command thread: the user interface never waits for
        // an amplifier that does not answer.
        app::Log("Get_Main_Volume\n");
        mDeviceLink->SubmitCommand(device::CMD_DSP, device::DSP_VOLUME, device::OP_GET, {}, false);
        return;
    }
    if (mPage != nullptr) {
        mPage->KillTimer(GET_MAIN_VOLUME_TIMER);
    }
}

void EqualizerManager::PrepareSourceMenu(
    const std::function<toolkit::ControlHandle*(const std::string&)>& findItem) {
    const int current = KnownSource(mProfile.source);
    for (int s = 0; s < kSourceTotal; ++s) {
        toolkit::ControlHandle* item = findItem(kSourceMenuItems[s]);
        if (item == nullptr) {
            continue;
        }
        const bool hidden =
            AlwaysHiddenInMenu(s) || ((s == kUdpSource || s == kScpSource) && !SourceOffered(s));
        item->SetVisible(!hidden);
        item->SetImage(s == current ? "right.png" : "");
        item->SetSelected(s == current, false);
    }
}

// The device tells which of USB audio and SCP its shared socket serves.
void EqualizerManager::ApplyUsbOption(bool udpOrScp) {
    app::Log("mUsbUdpOrScp %d\n", udpOrScp ? 1 : 0);
    mUsbUdpOrScp = udpOrScp;
    mDeviceLink->Set_Usb_Power_Pin(udpOrScp ? 0 : 1, false);
    FillSourceList();
    if (mProfile.source == kUdpSource && udpOrScp) {
        SetInputSourceTo(kScpSource);
    } else if (mProfile.source == kScpSource && !udpOrScp) {
        SetInputSourceTo(kUdpSource);
    }
}

}  // namespace controller
