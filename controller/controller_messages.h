// The window messages the controller posts to the main window, and the main
// window's timers that the controller starts. The numbers are fixed.
#pragma once

#include <cstdint>

namespace controller {

inline constexpr uint32_t WM_DEVICE_REBOOT = 1240;
inline constexpr uint32_t WM_CONNECT_FAIL = 1242;
inline constexpr uint32_t WM_SYNC_DONE = 1243;
inline constexpr uint32_t WM_DISCONNECT = 1245;
inline constexpr uint32_t WM_FORCE_UPDATE = 1248;
inline constexpr uint32_t WM_FW_NEWER = 1251;
inline constexpr uint32_t WM_SHOW_LOADING = 1274;
inline constexpr uint32_t WM_HIDE_LOADING = 1275;
inline constexpr uint32_t WM_END_NAME_EDIT = 1276;

// What the update windows' workers post to their own window. wParam: the
// percent for WM_UPG_PROGRESS, else 0. WM_DEVICE_REBOOT (above) tells the
// forced-update window that the factory default was answered.
inline constexpr uint32_t WM_UPG_PROGRESS = 1255;
inline constexpr uint32_t WM_UPG_OK = 1256;
inline constexpr uint32_t WM_UPG_FAIL = 1257;
inline constexpr uint32_t WM_UPG_LOAD_FAIL = 1258;  // the image was refused or the start failed
inline constexpr uint32_t WM_UPG_START_MCU = 1259;
inline constexpr uint32_t WM_UPG_START_FLASH = 1260;

// Work a controller job hands back to the user-interface thread, where
// every change of the view and of the working profile happens.
// wParam: one of the SyncStep values.
inline constexpr uint32_t WM_CONTROLLER_STEP = 1290;
enum class SyncStep : uintptr_t {
    kProfileToView = 1,        // push the working profile into the view
    kCheckFirmware = 2,        // compare the device's model and versions
    kShowUnplugNotice = 3,     // tell the user the connected device was pulled out
    kSceneLoaded = 4,          // a loaded scene's replies are in: redraw what depends on them
    kWriteWholeConfig = 5,     // the read-back is whole: write the whole-configuration file
    kWholeConfigUnread = 6,    // the read-back failed: no file, tell the user
    kLoadedProfileToView = 7,  // a loaded profile into the view, the device onto its source
    kOfferOfflineTune = 8,     // a tune made offline: ask whether to send it
};

// How far the job behind the loading window is. wParam: steps done, lParam:
// steps in all.
inline constexpr uint32_t WM_JOB_PROGRESS = 1291;
// A job's marker: handled after every message posted before it, so once the
// controller has handled it every reply read before was applied. wParam:
// the marker's number.
inline constexpr uint32_t WM_JOB_MARKER = 1292;

inline constexpr int GET_MAIN_VOLUME_TIMER = 4114;
inline constexpr int SYNC_KEEPALIVE_TIMER = 7698;
inline constexpr int CACHE_CH_VOLUME_TIMER = 7699;
inline constexpr int CACHE_MAIN_VOLUME_TIMER = 7700;
inline constexpr int STATUS_ATUO_SAVE_TIMER = 12289;

}  // namespace controller
