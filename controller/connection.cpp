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
#include "controller/tuning_parts.h"
#include "model/units.h"

namespace controller {
namespace {

constexpr uint32_t kConnectedTextColor = 0xFFFFFFFF;
constexpr uint32_t kDisconnectedTextColor = 0xFFFF0000;
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
    mHistory = std::make_unique<EditHistory>(
        mProfile, TuningDiffers, [this] { return mUi != nullptr && mUi->IsPointerHeld(); });
    mHistory->OnChange([this] { ShowUndoButtons(); });
    mHistory->OnStep([this] { NoteOfflineChange(); });
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
    if (Cfg().mENABLE_CS_AUTO) {
        mCsAutoSettings.Restore();
    }

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
    ShowAutoSaveSlots();
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
    // The device is being put into its upgrade program and comes back by
    // itself; the update's worker reopens it.
    if (mDeviceLink->IsUpgradeUnderWay()) {
        return;
    }
    // The mixer and the calibration show the state of the device they were
    // opened for.
    if (mUi != nullptr) {
        mUi->CloseMixerWindow();
        mUi->CloseAutoCalWindow();
    }
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
    if (mUi != nullptr) {
        mUi->CloseUpdateFwWindow();
    }
    app::Log("Connect OK！\n");
    SetConnectLook(ConnectLook::kConnecting);
    // A forced update goes on with the device that came back.
    if (mForceUpdatePending && mUi != nullptr &&
        !app::MarkerFileExists(app::kNoForceUpdateMarker) && mUi->ResumeForceUpdate()) {
        SetConnectLook(ConnectLook::kConnected);
        return;
    }

    mForceUpdateWindowClosed = false;
    mDeviceLink->DisableCmdCtrl();  // the view pushes of the sync send nothing
    Post(WM_SHOW_LOADING);
    KeepOfflineTune();
    auto cached = mDeviceProfiles.find(mSelectedName);
    bool profileExists = !mSelectedName.empty() && cached != mDeviceProfiles.end();
    if (profileExists) {
        mProfile = cached->second;
    }
    app::Log("profile exist = %d\n", profileExists ? 1 : 0);
    JoinJobs();
    mJobBands = jobs::BandCountsOf(mProfile);
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

void EqualizerManager::OnControllerStep(uintptr_t step) {
    switch (static_cast<SyncStep>(step)) {
        case SyncStep::kProfileToView:
            SetReadProfileToView();
            break;
        case SyncStep::kCheckFirmware:
            CheckFirmware();
            break;
        case SyncStep::kOfferOfflineTune:
            OfferOfflineTune();
            break;
        case SyncStep::kSceneLoaded:
            OnSceneLoaded();
            break;
        case SyncStep::kLoadedProfileToView:
            SetReadProfileToView();
            // The write-outs send the routing, not the source itself: the
            // source switch is the view's, as when the user picks one.
            if (mLook == ConnectLook::kConnected) {
                SetInputSourceTo(mProfile.source);
            }
            break;
        case SyncStep::kWriteWholeConfig:
            WriteWholeConfigFile();
            break;
        case SyncStep::kWholeConfigUnread:
            if (mUi != nullptr) {
                mUi->ShowMessage("${tips}", "${profile_create_error}");
            }
            Post(WM_HIDE_LOADING);
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
    if (older && mForceUpdateWindowClosed) {
        // The read that follows the forced-update window: the user has just
        // decided, and is not asked again for this connection.
        app::Log("firmware %d.%d still older after the forced update window\n", major, minor);
    } else if (older && !app::MarkerFileExists(app::kNoForceUpdateMarker)) {
        Post(WM_FORCE_UPDATE);
    } else if (newer) {
        Post(WM_FW_NEWER);
    }
    mProfile.mix2monitorChIdxs(0);
}

void EqualizerManager::OnSyncDone() {
    if (mDeviceLink->IsUpgradeUnderWay() || !mDeviceLink->IsMcuNormalMode()) {
        return;
    }
    if (mDeviceLink->IsConnected() && mProfile.deviceModel != -1) {
        mRebootExpected.store(false);
        SetConnectLook(ConnectLook::kConnected);
        mDeviceLink->EnableCmdCtrl();
        SetCurChannelChange(mProfile.currOutChannel);
        ForgetHistory();
        if (mOfflineProfile != nullptr) {
            // After the loading window went: the question needs the user.
            PostStep(SyncStep::kOfferOfflineTune);
        }
    } else {
        DisconnectDevice();
    }
}

void EqualizerManager::DisconnectDevice() {
    if (mDeviceLink->IsUpgradeUnderWay()) {
        return;
    }
    if (mUi != nullptr) {
        mUi->CloseMixerWindow();
        mUi->CloseAutoCalWindow();
    }
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
    if (mDeviceLink->IsUpgradeUnderWay()) {
        app::Log("sys_upg_status UPG_ENTER or UPG_START\n");
        return;
    }
    // Its removal came while an upgrade was under way and was passed over:
    // the link still holds the device that left.
    if (mDeviceLink->IsConnected() && mDeviceLink->IsDeviceGone()) {
        DisconnectDevice();
    }
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
    if (mDeviceLink->IsUpgradeUnderWay()) {
        app::Log("sys_upg_status UPG_ENTER or UPG_START\n");
        return;
    }
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
