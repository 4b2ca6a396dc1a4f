#include "ui/main/main_wnd.h"

#include <QApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QStringList>
#include <QUrl>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/log.h"
#include "app/model_cfg.h"
#include "app/settings.h"
#include "controller/controller_messages.h"
#include "controller/posted_messages.h"
#include "model/output_type.h"
#include "toolkit/extension_controls.h"
#include "toolkit/text_resources.h"
#include "toolkit/user_actions.h"
#include "toolkit/window_registry.h"
#include "ui/controls/ui_equalizer.h"
#include "ui/controls/ui_equalizer_ac.h"
#include "ui/dialogs/about_window.h"
#include "ui/dialogs/auto_cal_window.h"
#include "ui/dialogs/choice_box.h"
#include "ui/dialogs/compressor_window.h"
#include "ui/dialogs/compressors_on_window.h"
#include "ui/dialogs/cs_auto_window.h"
#include "ui/dialogs/force_update_window.h"
#include "ui/dialogs/ktv_window.h"
#include "ui/dialogs/loading_window.h"
#include "ui/dialogs/message_box.h"
#include "ui/dialogs/mixer_window.h"
#include "ui/dialogs/noise_gate_window.h"
#include "ui/dialogs/noise_threshold_window.h"
#include "ui/dialogs/scene_window.h"
#include "ui/dialogs/update_fw_window.h"
#include "ui/main/device_notice.h"
#include "ui/main/route_table.h"
#include "ui/skin/display_scale.h"
#include "ui/skin/languages.h"

namespace ui {
namespace {

const app::ModelCfg& Cfg() {
    return app::CurrentModelCfg();
}

constexpr int kWindowWidth = 1230;
constexpr int kWindowHeight = 650;

// The channel-settings sub-layout this model uses.
std::string ChannelSettingsLayout() {
    const bool mixer = Cfg().mENABLE_INPUT_MIXER;
    const bool four = Cfg().mMAX_INPUT_CHANNEL_NUMBER == 4;
    if (mixer) {
        return four ? "xml/channel_settings_mixer.xml" : "xml/channel_settings_6in_mixer.xml";
    }
    return four ? "xml/channel_settings.xml" : "xml/channel_settings_6in.xml";
}

}  // namespace

CMainWnd::CMainWnd(std::shared_ptr<device::HidBackend> backend)
    : Window("MainWnd", "TQ DSP Audio"),
      mManager(std::make_unique<controller::EqualizerManager>(std::move(backend))),
      mDisplayRestart(
          ProgramStarter(RestartArguments({})), [this] { CloseProgram(); },
          [this] { ui::ShowMessage(this, "${tips}", "${restart_failed}"); }) {
    mDisplayRestart.SetBusyCheck([this] { return IsBusyForRestart(); });
}

bool CMainWnd::IsBusyForRestart() const {
    if (mManager->Link().IsUpgradeUnderWay()) {
        return true;
    }
    // Every job with the amplifier runs behind a modal window (loading,
    // scenes, update, calibration); a box the user has open waits too.
    for (const toolkit::Window* window : toolkit::window_registry::All()) {
        if (window != this && window->IsRunningModal()) {
            return true;
        }
    }
    return false;
}

CMainWnd::~CMainWnd() {
    if (mManager && toolkit::CurrentUserActionObserver() == &mManager->History()) {
        toolkit::SetUserActionObserver(nullptr);
    }
    mUsbMonitor.reset();
    mMenu.reset();
    mManager.reset();  // disconnects and stops the link's thread
}

// Custom tags of the main layout: the toolkit's extensions, the EQ chart
// and the calibration chart.
static QWidget* BuildCustomControl(const std::string& tag, const toolkit::XmlElement& node,
                                   QWidget* parent, toolkit::Window& window) {
    if (QWidget* extension = toolkit::MakeExtensionControl(tag, parent)) {
        return extension;
    }
    if (tag == "Curve") {
        return UIEqualizer::Build(node, parent, window);
    }
    if (tag == "CurveAc") {
        return UIEqualizerAc::Build(node, parent, window);
    }
    return nullptr;
}

bool CMainWnd::Start() {
    SetBuilder(BuildCustomControl);
    SetScale(DisplayScale());
    Create(nullptr, "XML_MAIN");
    QWidget* widget = Widget();
    if (widget == nullptr) {
        return false;
    }
    widget->setWindowTitle(QString::fromUtf8(Title().c_str()));
    widget->setFixedSize(kWindowWidth * Scale() / 100, kWindowHeight * Scale() / 100);
    CenterOnScreen();
    Show();

    mManager->UpdateDeviceList();
    mManager->SelectFirstDevice();
    mManager->ConnectDevice(false);
    mUsbMonitor = std::make_unique<UsbMonitor>(Handle());
    if (!mUsbMonitor->IsWatching()) {
        app::Log("RegisterDeviceNotification");
    }
    return true;
}

void CMainWnd::OnCreate() {
    LoadSubLayout("channel_settings", ChannelSettingsLayout());
    mFactoryEq = app::ReadSettingInt("config", "factoryEQ", 0);
    mManager->Init(*this, *this);
    // Every user action in any window is a possible step of the tuning.
    toolkit::SetUserActionObserver(&mManager->History());
    AddKeyCommand("Ctrl+Z", "btn_undo");
    AddKeyCommand("Ctrl+Shift+Z", "btn_redo");
    AddKeyCommand("Ctrl+Y", "btn_redo");
    // The compressor button belongs to models with compressors of either
    // type; this model's layout keeps it hidden.
    if (toolkit::Control* compressor = Find("btn_compressor")) {
        compressor->SetVisible(Cfg().mENABLE_COMPRESSOR || Cfg().mENABLE_COMPRESSOR2);
    }
}

// ---- the user interface services the controller uses ----

void CMainWnd::ShowMessage(const std::string& title, const std::string& text) {
    ui::ShowMessage(this, title, text);
}

std::string CMainWnd::Translate(const std::string& text) {
    return toolkit::Translate(text);
}

bool CMainWnd::IsPointerHeld() {
    return toolkit::IsPointerHeld();
}

void CMainWnd::ShowLoading() {
    mLoading.Show(this);
}

void CMainWnd::HideLoading() {
    mLoading.Hide();
}

void CMainWnd::ShowProgress(int done, int total) {
    mLoading.SetProgress(done, total);
}

// The platform's dialog: filters as "label (pattern)" entries, the first
// preselected; a typed name without an extension gets the default one.
std::string CMainWnd::ChooseFile(const controller::FileDialogRequest& request) {
    if (mFileChooser) {
        return mFileChooser(request);
    }
    // An entry without a pattern hides no file; its text stays as it is.
    QStringList filters;
    bool hideDetails = false;
    for (const auto& [label, pattern] : request.filters) {
        QString entry = QString::fromStdString(label);
        const QString wanted = pattern.empty() ? QString("*") : QString::fromStdString(pattern);
        hideDetails = hideDetails || pattern.empty();
        if (pattern.empty() || !entry.contains(wanted)) {
            entry += " (" + wanted + ")";
        }
        filters << entry;
    }
    // Owned by the window the user works in (an update window, say).
    QWidget* owner = QApplication::activeModalWidget();
    QFileDialog dialog(owner != nullptr ? owner : Widget(), QString(),
                       request.initialPath.empty() ? QDir::currentPath()
                                                   : QString::fromStdString(request.initialPath));
    dialog.setOption(QFileDialog::HideNameFilterDetails, hideDetails);
    dialog.setNameFilters(filters);
    if (!filters.isEmpty()) {
        dialog.selectNameFilter(filters.front());
    }
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!request.defaultExtension.empty()) {
        dialog.setDefaultSuffix(QString::fromStdString(request.defaultExtension));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().front().toStdString();
}

bool CMainWnd::Confirm(const std::string& title, const std::string& text) {
    return ShowConfirmBox(this, title, text) == 1;
}

int CMainWnd::AskTwoChoices(const std::string& title, const std::string& text,
                            const std::string& first, const std::string& second) {
    return ShowChoiceBox(this, title, text, first, second);
}

int CMainWnd::AskWithButtons(const std::string& title, const std::string& text,
                             const std::array<std::string, 3>& labels) {
    return ShowMessageBox(this, title, text, labels, 3);
}

controller::EqChart* CMainWnd::Chart() {
    toolkit::Control* chart = Find("equalizer");
    return chart != nullptr ? dynamic_cast<controller::EqChart*>(chart->Widget()) : nullptr;
}

int CMainWnd::RunForceUpdateWindow(const std::string& mcuImage, const std::string& flashImage) {
    return ui::RunForceUpdateWindow(this, *mManager, mcuImage, flashImage);
}

bool CMainWnd::ResumeForceUpdate() {
    return ui::ResumeOpenForceUpdateWindow();
}

int CMainWnd::RunUpdateFwWindow() {
    return ui::RunUpdateFwWindow(this, *mManager, *this);
}

void CMainWnd::CloseUpdateFwWindow() {
    ui::CloseOpenUpdateFwWindow(1);
}

void CMainWnd::OpenSceneWindow(controller::SceneWindowMode mode) {
    ui::OpenSceneWindow(this, mode, *mManager);
}

void CMainWnd::OpenNoiseGateWindow() {
    ui::OpenNoiseGateWindow(this, *mManager);
}

void CMainWnd::OpenNoiseThresholdWindow() {
    ui::OpenNoiseThresholdWindow(this, *mManager, *this);
}

// The compressor window and the multi-channel compressor window.
void CMainWnd::OpenCompressorWindow() {
    ui::OpenCompressorWindow(this, *mManager);
}

void CMainWnd::OpenCompressorsOnWindow() {
    ui::OpenCompressorsOnWindow(this, *mManager);
}

// The karaoke window and the centre/surround upmix window.
void CMainWnd::OpenKtvWindow() {
    ui::OpenKtvWindow(this, *mManager);
}

void CMainWnd::OpenCsAutoWindow() {
    ui::OpenCsAutoWindow(this, *mManager, *this);
}

void CMainWnd::OpenMixerWindow() {
    ui::OpenMixerWindow(this, *mManager);
}

void CMainWnd::CloseMixerWindow() {
    ui::CloseOpenMixerWindow();
}

int CMainWnd::RunAutoCalWindow() {
    return ui::RunAutoCalWindow(this, *mManager, mAutoCalTimings);
}

void CMainWnd::CloseAutoCalWindow() {
    ui::CloseOpenAutoCalWindow();
}

// ---- closing ----

void CMainWnd::OnCloseRequest() {
    CloseProgram();
}

void CMainWnd::CloseProgram() {
    if (mClosing) {
        return;
    }
    mClosing = true;
    mManager->KeepUnsentOfflineTune();
    mManager->DisconnectDevice();
    CloseBoxesOverMainWindow();
    Close(0);
    if (mOnClosed) {
        mOnClosed();
    }
}

void CMainWnd::OnDisplayChanged(int newScale) {
    if (!mClosing) {
        mDisplayRestart.OnDisplayChanged(newScale);
    }
}

void CMainWnd::CloseBoxesOverMainWindow(bool withUpdateWindows) {
    for (toolkit::Window* window : toolkit::window_registry::All()) {
        const bool updateWindow =
            window->ClassName() == "ForceUpdateWnd" || window->ClassName() == "UpdateFwWnd";
        if (window != this && window->IsRunningModal() && (withUpdateWindows || !updateWindow)) {
            window->Close(0);
        }
    }
}

// ---- messages, timers, device notices, menus ----

void CMainWnd::OnMessage(uint32_t message, uintptr_t wParam, intptr_t lParam,
                         std::unique_ptr<platform::PostedRecord>& record) {
    if (message == WM_DEVICECHANGE) {
        OnDeviceChange(wParam, record);
        return;
    }
    if (message == toolkit::WM_MENU_CLICK) {
        OnMenuClick(record);
        return;
    }
    platform::PostedMessage posted;
    posted.target = Handle();
    posted.message = message;
    posted.wParam = wParam;
    posted.lParam = lParam;
    posted.record = std::move(record);
    controller::HandlePostedMessage(*mManager, *this, posted);
}

void CMainWnd::OnTimer(int id) {
    struct TimerRoute {
        int id;
        void (*action)(CMainWnd& window);
    };
    // Timer 7698 ticks while a connection is set up and does nothing.
    static const TimerRoute kTimers[] = {
        {controller::CACHE_CH_VOLUME_TIMER, [](CMainWnd& w) { w.mManager->OnChVolumeTimer(); }},
        {controller::CACHE_MAIN_VOLUME_TIMER,
         [](CMainWnd& w) { w.mManager->OnMainVolumeTimerTick(); }},
        {controller::GET_MAIN_VOLUME_TIMER, [](CMainWnd& w) { w.mManager->OnMainVolumeTimer(); }},
        {controller::STATUS_ATUO_SAVE_TIMER, [](CMainWnd& w) { w.mManager->OnAutoSaveTimer(); }},
    };
    for (const TimerRoute& route : kTimers) {
        if (route.id == id) {
            route.action(*this);
            return;
        }
    }
}

void CMainWnd::OnDeviceChange(uintptr_t event,
                              const std::unique_ptr<platform::PostedRecord>& record) {
    if (event == DBT_DEVNODES_CHANGED) {
        app::Log("Message DBT_DEVNODES_CHANGED\n");
        return;
    }
    if (event != DBT_DEVICEARRIVAL && event != DBT_DEVICEREMOVECOMPLETE) {
        app::Log("Message %d\n", static_cast<int>(event));
        return;
    }
    app::Log(event == DBT_DEVICEARRIVAL ? "Message DBT_DEVICEARRIVAL\n"
                                        : "Message DBT_DEVICEREMOVECOMPLETE\n");
    const DeviceNotice* notice = platform::RecordValue<DeviceNotice>(record);
    if (notice == nullptr || !notice->isHid || notice->vendorId != 0x0483 ||
        notice->productId != 0x5750) {
        return;
    }
    // A restarting device leaves the bus on its own: its "restarting" box
    // stays until it is back.
    // An update window stays: the device restarts during an update.
    if (event == DBT_DEVICEARRIVAL || !mManager->IsRebootExpected()) {
        CloseBoxesOverMainWindow(false);
    }
    if (event == DBT_DEVICEARRIVAL) {
        mManager->DevicePlugin(notice->path);
    } else {
        mManager->DevicePlugOut(notice->path);
    }
}

}  // namespace ui
