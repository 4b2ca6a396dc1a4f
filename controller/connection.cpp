// Connecting to the amplifier: the handshake, the first synchronisation that
// reads the whole device state on a worker thread, disconnecting, and the
// reaction to amplifiers being plugged in and pulled out.
#include <chrono>
#include <cstdio>
#include <thread>

#include "app/log.h"
#include "app/model_cfg.h"
#include "app/settings.h"
#include "controller/controller_messages.h"
#include "controller/equalizer_manager.h"
#include "model/units.h"

namespace controller {
namespace {

constexpr uint32_t kConnectedTextColor = 0xFFFFFFFF;
constexpr uint32_t kDisconnectedTextColor = 0xFFFF0000;
constexpr int kSourceCount = 10;
constexpr int kSceneCount = 10;
constexpr int kQueueDrainPolls = 200;
constexpr auto kQueueDrainPollPeriod = std::chrono::milliseconds(5);

const app::ModelCfg& Cfg() {
    return app::CurrentModelCfg();
}

}  // namespace

EqualizerManager::EqualizerManager(std::shared_ptr<device::HidBackend> backend)
    : mSceneProfiles(kSceneCount + 1),
      mLinkPhase(Cfg().mDEFAULT_LINK_PHASE),
      mLinkMute(Cfg().mDEFAULT_LINK_MUTE),
      mBackend(backend),
      mDeviceLink(std::make_unique<device::DeviceLink>(std::move(backend))) {
    mDeviceLink->SetModelParams(Cfg());
    mProfile.deviceModel = -1;
}

EqualizerManager::~EqualizerManager() {
    // Workers talk to the device: closing the link first makes their reads
    // fail at once, so joining them never waits for a device time-out.
    mShuttingDown.store(true);
    mDeviceLink->DisableCmdCtrl();
    mDeviceLink->CloseHIDDevice(true);
    JoinJobs();
}

void EqualizerManager::Post(uint32_t message, uintptr_t wParam) {
    platform::PostMessage(mHwnd, message, wParam, 0);
}

void EqualizerManager::PostStep(SyncStep step) {
    Post(WM_CONTROLLER_STEP, static_cast<uintptr_t>(step));
}

void EqualizerManager::StartJob(void (EqualizerManager::*job)()) {
    StartJob([this, job] { (this->*job)(); });
}

void EqualizerManager::StartJob(std::function<void()> job) {
    JoinJobs();
    std::lock_guard<std::mutex> hold(mJobsLock);
    mJobs.emplace_back(std::move(job));
}

// Jobs run one at a time behind the loading window, so by the time the next
// one starts the earlier one has posted its last message and is ending.
void EqualizerManager::JoinJobs() {
    std::vector<std::thread> jobs;
    {
        std::lock_guard<std::mutex> hold(mJobsLock);
        jobs.swap(mJobs);
    }
    for (auto& job : jobs) {
        if (job.joinable()) {
            job.join();
        }
    }
}

void EqualizerManager::Init(toolkit::ControlAccess& page, UiServices& ui) {
    mPage = &page;
    mUi = &ui;
    mHwnd = page.Handle();
    mDeviceLink->SetMainWnd(mHwnd);
    mControls.Bind(&page);

    std::u16string logo(Cfg().mLOGO_PNG);
    if (!logo.empty()) {
        std::string image;
        for (char16_t c : logo) {
            image.push_back(static_cast<char>(c));
        }
        mControls("logo").SetImage(image);
    }
    const int channels = Cfg().mOUT_CHANNEL_NUMBER;
    for (int c = 0; c < channels; ++c) {
        mControls.Indexed("slider_ch_volume_%d", c).SetRange(-600, 0);
        mControls.Indexed("slider_ch_delay_%d", c)
            .SetRange(0, static_cast<int>(Cfg().mMAX_DELAY_MS * 1000.0f + 0.5f));
    }
    mControls("slider_ch_volume").SetRange(-600, 0);
    // The band sliders hold tenths of a dB over the gains the device takes.
    for (int b = 0; b < Cfg().mOUTPUT_EQ_NUMBER; ++b) {
        mControls.Indexed("eq_slider_%d", b).SetRange(-180, 120);
    }
    if (EqChart* chart = mUi->Chart()) {
        chart->setShowPhase(Cfg().mSHOW_PHASE);
    }
    mControls("slider_main_volume")
        .SetRange(Cfg().mMAIN_VOLUME_SLIDER_MIN, Cfg().mMAIN_VOLUME_SLIDER_MAX);
    mControls("slider_acc").SetRange(kAccSliderMin, kAccSliderMax);
    mControls("edit_device_name").SetVisible(false);
    mControls("btn_debug").SetVisible(app::MarkerFileExists(app::kDebugMarker));
    // Choosing link partners by hand is switched off for this model: the link
    // mode pairs mirrored outputs itself.
    mControls("btn_link_select").SetVisible(Cfg().mSELECT_LINK_CHANNEL);
    SetConnectLook(ConnectLook::kDisconnected);
    FillSourceList();
    SetReadProfileToView();
    SetCurChannelChange(0);
}

void EqualizerManager::SetConnectLook(ConnectLook look) {
    mLook = look;
    Ctl& button = mControls("btnConnect");
    switch (look) {
        case ConnectLook::kDisconnected:
            button.SetText("${btn_disconnected}");
            button.SetSelected(false, false);
            button.SetTextColor(kDisconnectedTextColor);
            break;
        case ConnectLook::kConnecting:
            button.SetText("${btn_connecting}");
            button.SetSelected(false, false);
            button.SetTextColor(kDisconnectedTextColor);
            break;
        case ConnectLook::kConnected:
            button.SetText("${btn_connected}");
            button.SetSelected(true, false);
            button.SetTextColor(kConnectedTextColor);
            break;
    }
}

void EqualizerManager::ConnectDevice(bool showFailure) {
    if (mDeviceLink->IsConnected()) {
        DisconnectDevice();
        return;
    }
    // A synchronisation of an earlier connection ends at once on the closed
    // link; it must be gone before the new connection opens, or it would go
    // on reading from the new one.
    JoinJobs();
    mDeviceLink->OpenHIDDevice(mSelectedPath);
    if (!mDeviceLink->IsConnected()) {
        app::Log("Can not conect usb devices, please connect devices again!\n");
        if (showFailure && mUi != nullptr) {
            mUi->ShowMessage("${tips}", "${device_connect_fail}");
        }
        SetConnectLook(ConnectLook::kDisconnected);
        return;
    }
    app::Log("Connect OK！\n");
    SetConnectLook(ConnectLook::kConnecting);

    mDeviceLink->DisableCmdCtrl();  // the view pushes of the sync send nothing
    Post(WM_SHOW_LOADING);
    auto cached = mDeviceProfiles.find(mSelectedName);
    bool profileExists = !mSelectedName.empty() && cached != mDeviceProfiles.end();
    if (profileExists) {
        mProfile = cached->second;
    }
    app::Log("profile exist = %d\n", profileExists ? 1 : 0);
    StartJob(profileExists ? &EqualizerManager::SetCurProfileThread
                           : &EqualizerManager::ReadMcuValueThread);
}

void EqualizerManager::ReadMcuValueThread() {
    app::Log("Read mcu value thread start!\n");
    if (PC_UI_Status_Init() == -1) {
        Post(WM_HIDE_LOADING);
        Post(WM_CONNECT_FAIL);
        Post(WM_DISCONNECT);
        app::Log("Read mcu value thread end!\n");
        return;
    }
    // The reports of the read are still being applied on the UI thread; the
    // steps below are posted after them, so they see the device's state.
    PostStep(SyncStep::kCheckFirmware);
    Post(WM_SYNC_DONE);
    Post(WM_HIDE_LOADING);
    app::Log("Read mcu value thread end!\n");
}

void EqualizerManager::SetCurProfileThread() {
    app::Log("SetCurProfileThread start!\n");
    // The cached state is taken as the device's; the device is not read.
    PostStep(SyncStep::kProfileToView);
    Post(WM_SYNC_DONE);
    Post(WM_HIDE_LOADING);
    app::Log("SetCurProfileThread end!\n");
}

int EqualizerManager::PC_UI_Status_Init() {
    app::Log("PC_UI_Status_Init\n");
    device::DeviceLink& link = *mDeviceLink;
    link.PC_Connect(1);
    if (!link.Hand_Connect()) {
        return -1;
    }
    if (!link.IsMcuNormalMode()) {
        // A device in its upgrade program answers no parameter request; the
        // link has posted WM_DEVICE_STATUS_UNNORMAL and the update takes over.
        return 0;
    }
    if (link.ModelId() != Cfg().mFw_Model_ID && !Cfg().mNO_CHECK_ID) {
        return 0;  // the handshake handler tells the user
    }
    ReadAllParameters();
    app::Log("PC_UI_Status_Init done\n");
    return 0;
}

// Every request answers at once on this thread; the replies reach the
// profile and the view as posted messages.
void EqualizerManager::ReadAllParameters() {
    device::DeviceLink& link = *mDeviceLink;
    const app::ModelCfg& cfg = Cfg();
    const int n = cfg.mOUT_CHANNEL_NUMBER;
    const uint8_t last = static_cast<uint8_t>(n - 1);
    const device::ChannelRange all{0, 0, 0, last};
    auto stop = [&] { return mShuttingDown.load() || !link.IsConnected(); };

    link.Get_Source();
    link.Get_Main_Volume();
    link.Get_Acc();
    link.Get_Usb_Power_Pin();
    link.Get_Subwoofer_Volume();
    link.Get_Mute();
    link.Get_Amp_Mute();
    link.Get_Rem_Out();
    link.Get_Spk_Ohm();
    link.Get_Spk_Ohm13_21();
    link.Get_Noise_Gate();
    link.Get_Noise_Gate_Gain();
    link.Get_Noise_Gate_Threshold();
    link.Get_Speaker_Config();
    link.Get_Scene_Valid();
    if (stop()) {
        return;
    }
    link.Get_Delay(all);
    link.Get_CH_Type(all);
    link.Get_Ch_Solo(all);
    link.Get_CH_Link(0);
    link.Get_CH_Lock(0);
    for (int first = 0; first < n; first += 4) {
        link.Get_Filter({0, 0, static_cast<uint8_t>(first), static_cast<uint8_t>(first + 3)});
    }
    if (cfg.mENABLE_COMPRESSOR) {
        for (int first = 0; first < n; first += 4) {
            link.Get_Compressor(
                {0, 0, static_cast<uint8_t>(first), static_cast<uint8_t>(first + 3)});
        }
    }
    if (cfg.mENABLE_COMPRESSOR_ON) {
        link.Get_Compressor_Ch_On(all);
    }
    if (cfg.mENABLE_COMPRESSOR2) {
        for (int c = 0; c < n; ++c) {
            link.Get_Compressor2({0, 0, static_cast<uint8_t>(c), static_cast<uint8_t>(c)});
        }
    }
    if (cfg.mENABLE_AUTO_ON) {
        link.Get_AUTO_ON();
    }
    link.Get_PEQ_Bypass(all);
    for (int c = 0; c < n && !stop(); ++c) {
        int bands = mProfile.bandCount(c);
        for (int first = 0; first < bands; first += 7) {
            int lastBand = std::min(first + 6, bands - 1);
            link.Get_EQ(0, 0, static_cast<uint8_t>(c), static_cast<uint8_t>(first),
                        static_cast<uint8_t>(lastBand));
        }
    }
    if (stop()) {
        return;
    }
    link.Get_Trim(all);
    link.Get_Mute_Ch(all);
    link.Get_Phase(all);
    link.Get_Ch_Solo(all);
    for (int s = 0; s < kSourceCount; ++s) {
        if (cfg.mMAX_INPUT_CHANNEL_NUMBER < 17) {
            link.Get_Mix_Ch({0, static_cast<uint8_t>(s), 0, last});
        } else {
            for (int first = 0; first < n; first += 8) {
                link.Get_Mix_Ch({0, static_cast<uint8_t>(s), static_cast<uint8_t>(first),
                                 static_cast<uint8_t>(std::min(first + 7, n - 1))});
            }
        }
    }
    if (cfg.mENABLE_INPUT_MIXER) {
        for (int s = 0; s < kSourceCount && !stop(); ++s) {
            int inputs = model::Profile::inputChannelCount(s);
            if (cfg.mENABLE_SPLIT_CROSS_SOURCE_MIX) {
                inputs += cfg.mSPLIT_CROSS_SOURCE_MIX_CH;
            }
            for (int k = 0; k < inputs; ++k) {
                link.Get_Input_Mix_CH_Trim(0, static_cast<uint8_t>(s), static_cast<uint8_t>(k), 0,
                                           last);
            }
        }
    }
    if (cfg.mENABLE_CROSS_SOURCE_MIX || cfg.mSPLIT_CROSS_SOURCE_MIX_CH > 0) {
        for (int s = 0; s < kSourceCount && !stop(); ++s) {
            int inputs = cfg.mENABLE_SPLIT_CROSS_SOURCE_MIX ? cfg.mSPLIT_CROSS_SOURCE_MIX_CH
                                                            : model::Profile::inputChannelCount(s);
            for (int k = 0; k < inputs; ++k) {
                if (cfg.mMXIER_CMD_FORMAT_CS47048) {
                    link.Get_Mix_Source2_CS47048(0, static_cast<uint8_t>(s),
                                                 static_cast<uint8_t>(k));
                } else {
                    link.Get_Mix_Source2(0, static_cast<uint8_t>(s), static_cast<uint8_t>(k));
                }
            }
        }
    }
    if (cfg.mENABLE_NOISE_THRESHOLD || cfg.mENABLE_NOISE_SWITCH) {
        link.Get_Input_Threshold(0, 0, true);
    }
    if (cfg.mENABLE_POWEROFF_DELAY) {
        link.Get_Delay_Power_Off_Time();
    }
    if (cfg.mENABLE_KTV) {
        for (uint8_t sub = 1; sub <= 8; ++sub) {
            link.KTV_Get(sub);
        }
    }
    for (int scene = 1; scene <= kSceneCount && !stop(); ++scene) {
        link.Get_Scene_Name(static_cast<uint8_t>(scene));
    }
    link.Get_Ouput_Bridge(0, 0, static_cast<uint8_t>(n / 2));
}

void EqualizerManager::OnControllerStep(uintptr_t step) {
    switch (static_cast<SyncStep>(step)) {
        case SyncStep::kProfileToView:
            SetReadProfileToView();
            break;
        case SyncStep::kCheckFirmware:
            CheckFirmware();
            break;
        case SyncStep::kSceneLoaded:
            OnSceneLoaded();
            break;
        case SyncStep::kShowUnplugNotice: {
            if (mUi != nullptr) {
                std::string format = mUi->Translate("${device_plugout}");
                char text[512];
                std::snprintf(text, sizeof text, format.c_str(), mUnpluggedName.c_str());
                mUi->ShowMessage("${tips}", text);
            }
            break;
        }
    }
}

// The model and firmware checks that end a read of the device.
void EqualizerManager::CheckFirmware() {
    if (!mDeviceLink->IsMcuNormalMode()) {
        return;
    }
    const app::ModelCfg& cfg = Cfg();
    if (!cfg.mNO_CHECK_ID && mProfile.deviceModel != cfg.mFw_Model_ID) {
        Post(WM_HIDE_LOADING);
        DisconnectDevice();
        mProfile.deviceModel = -1;
        return;
    }
    const int major = mProfile.fwMainVersion;
    const int minor = mProfile.fwSlaveVersion;
    const int innerMajor = cfg.mINNER_FW_MAIN_VER;
    const int innerMinor = cfg.mINNER_FW_SLAVE_VER;
    const bool older = major < innerMajor || (major == innerMajor && minor < innerMinor);
    const bool newer = major > innerMajor || (major == innerMajor && minor > innerMinor);
    if (older && !app::MarkerFileExists(app::kNoForceUpdateMarker)) {
        Post(WM_FORCE_UPDATE);
    } else if (newer) {
        Post(WM_FW_NEWER);
    }
    mProfile.mix2monitorChIdxs(0);
}

void EqualizerManager::OnSyncDone() {
    if (!mDeviceLink->IsMcuNormalMode()) {
        return;
    }
    if (mDeviceLink->IsConnected() && mProfile.deviceModel != -1) {
        mRebootExpected.store(false);
        SetConnectLook(ConnectLook::kConnected);
        mDeviceLink->EnableCmdCtrl();
        SetCurChannelChange(mProfile.currOutChannel);
    } else {
        DisconnectDevice();
    }
}

void EqualizerManager::DisconnectDevice() {
    if (mPage != nullptr) {
        mPage->KillTimer(SYNC_KEEPALIVE_TIMER);
        mPage->KillTimer(GET_MAIN_VOLUME_TIMER);
    }
    mDeviceLink->DisableCmdCtrl();
    // Changes still queued belong to this device: let them reach it before
    // the link closes, so none is lost and none goes to the next device.
    for (int wait = 0;
         wait < kQueueDrainPolls && mDeviceLink->IsConnected() && !mDeviceLink->IsCmdQueueIdle();
         ++wait) {
        std::this_thread::sleep_for(kQueueDrainPollPeriod);
    }
    mDeviceLink->CloseHIDDevice(true);
    SetConnectLook(ConnectLook::kDisconnected);
    mProfile.deviceModel = -1;
}

void EqualizerManager::DevicePlugin(const std::string& path) {
    app::Log("DevicePlugin\n");
    UpdateDeviceList();
    if (mDeviceLink->IsConnected() && IsSelectedDeviceInList()) {
        UpdateSelectDeviceIndex();
        return;
    }
    SelectDevice(path);
    ConnectDevice(false);
}

void EqualizerManager::DevicePlugOut(const std::string&) {
    app::Log("DevicePlugOut\n");
    UpdateDeviceList();
    const bool listed = IsSelectedDeviceInList();
    if (mDeviceLink->IsConnected() && !listed) {
        mUnpluggedName = mSelectedName;
        DisconnectDevice();
        SelectFirstDevice();
        if (mRebootExpected.load()) {
            app::Log("the device restarts\n");
        } else if (!mForceUpdatePending && !mPlugOutMsgSuppressed) {
            // Shown from a posted message, so the notice handler returns at once.
            app::Log("DisconnectMsgThread start!\n");
            PostStep(SyncStep::kShowUnplugNotice);
            app::Log("DisconnectMsgThread end!\n");
        }
        return;
    }
    if (listed) {
        UpdateSelectDeviceIndex();
    } else {
        SelectFirstDevice();
    }
}

}  // namespace controller
