#include "ui/main/main_wnd.h"

#include <QApplication>
#include <QColor>
#include <QCursor>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QPalette>
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
#include "toolkit/window_registry.h"
#include "ui/controls/ui_equalizer.h"
#include "ui/dialogs/about_window.h"
#include "ui/dialogs/choice_box.h"
#include "ui/dialogs/loading_window.h"
#include "ui/dialogs/message_box.h"
#include "ui/dialogs/scene_window.h"
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
      mManager(std::make_unique<controller::EqualizerManager>(std::move(backend))) {}

CMainWnd::~CMainWnd() {
    mUsbMonitor.reset();
    mMenu.reset();
    mManager.reset();  // disconnects and stops the link's thread
}

// Custom tags of the main layout: the toolkit's extensions and the EQ chart
// (the calibration chart belongs to its own window).
static QWidget* BuildCustomControl(const std::string& tag, const toolkit::XmlElement& node,
                                   QWidget* parent, toolkit::Window& window) {
    if (QWidget* extension = toolkit::MakeExtensionControl(tag, parent)) {
        return extension;
    }
    if (tag == "Curve") {
        return UIEqualizer::Build(node, parent, window);
    }
    if (tag == "CurveAc") {
        auto* panel = new QWidget(parent);
        panel->setAutoFillBackground(true);
        QPalette palette = panel->palette();
        palette.setColor(QPalette::Window, QColor(0x10, 0x14, 0x1A));
        panel->setPalette(palette);
        return panel;
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
}

// ---- the user interface services the controller uses ----

void CMainWnd::ShowMessage(const std::string& title, const std::string& text) {
    ui::ShowMessage(this, title, text);
}

std::string CMainWnd::Translate(const std::string& text) {
    return toolkit::Translate(text);
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
    QStringList filters;
    for (const auto& [label, pattern] : request.filters) {
        QString entry = QString::fromStdString(label);
        const QString wanted = QString::fromStdString(pattern);
        if (!entry.contains(wanted)) {
            entry += " (" + wanted + ")";
        }
        filters << entry;
    }
    QFileDialog dialog(Widget(), QString(),
                       request.initialPath.empty() ? QDir::currentPath()
                                                   : QString::fromStdString(request.initialPath));
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

void CMainWnd::StartForcedUpdate() {
    const model::Profile& profile = mManager->WorkingProfile();
    app::Log("forced firmware update wanted: device %d.%d, program %d.%d\n", profile.fwMainVersion,
             profile.fwSlaveVersion, Cfg().mINNER_FW_MAIN_VER, Cfg().mINNER_FW_SLAVE_VER);
}

void CMainWnd::OpenFirmwareUpdate() {
    app::Log("firmware update window wanted\n");
}

void CMainWnd::OpenSceneWindow(controller::SceneWindowMode mode) {
    ui::OpenSceneWindow(this, mode, *mManager);
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
    mManager->DisconnectDevice();
    CloseBoxesOverMainWindow();
    Close(0);
    if (mOnClosed) {
        mOnClosed();
    }
}

void CMainWnd::CloseBoxesOverMainWindow() {
    for (toolkit::Window* window : toolkit::window_registry::All()) {
        if (window != this && window->IsRunningModal()) {
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
    if (event == DBT_DEVICEARRIVAL || !mManager->IsRebootExpected()) {
        CloseBoxesOverMainWindow();
    }
    if (event == DBT_DEVICEARRIVAL) {
        mManager->DevicePlugin(notice->path);
    } else {
        mManager->DevicePlugOut(notice->path);
    }
}

void CMainWnd::OnMenuClick(const std::unique_ptr<platform::PostedRecord>& record) {
    const toolkit::MenuClick* click = platform::RecordValue<toolkit::MenuClick>(record);
    if (click == nullptr) {
        return;
    }
    app::Log("on menu click %s\n", click->name.c_str());
    // The item's name is the language key of its output type.
    static constexpr auto kOutputType = [](CMainWnd& w, const toolkit::MenuClick& item) {
        w.mManager->SetOutputValue(w.mMenuChannel, item.name, false);
        if (w.mManager->WorkingProfile().bridgeOutputs[static_cast<size_t>(w.mMenuChannel / 2)] !=
            0) {
            w.mManager->SetOutputValue(w.mMenuChannel ^ 1, item.name, false);
        }
    };
    static const RouteOf<const toolkit::MenuClick&> kItems[] = {
        {"output_menu*", kOutputType},
        {"output_item*", kOutputType},
        {"source_item_*",
         [](CMainWnd& w, const toolkit::MenuClick& item) {
             const int source = std::atoi(item.userData.c_str());
             app::Log("source:%d\n", source);
             w.mManager->SetInputSourceTo(source);
         }},
        {"delay_link_group_*",
         [](CMainWnd& w, const toolkit::MenuClick& item) {
             app::Log("%d: %s\n", w.mMenuChannel, item.name.c_str());
             char* end = nullptr;
             const long group = std::strtol(item.userData.c_str(), &end, 10);
             if (end != item.userData.c_str()) {
                 w.mManager->SetDelayLinkGroup(w.mMenuChannel, static_cast<int>(group));
             }
         }},
        {"option_item_reset_default*",
         [](CMainWnd& w, const toolkit::MenuClick&) { w.mManager->ResetMcuFactoryDefault(); }},
        {"option_item_about*", [](CMainWnd& w, const toolkit::MenuClick&) { w.OpenAbout(); }},
        // The scene menu: the amplifier's scene slots.
        {"scene_item_load_scene",
         [](CMainWnd& w, const toolkit::MenuClick&) { w.mManager->LoadSenceConfigFromDSP(); }},
        {"scene_item_saveas_scene",
         [](CMainWnd& w, const toolkit::MenuClick&) { w.mManager->SaveSenceConfigToDSP(); }},
        {"scene_item_delete_scene",
         [](CMainWnd& w, const toolkit::MenuClick&) { w.mManager->DeleteDSPSenceConfig(); }},
        {"scene_item_load_file",
         [](CMainWnd& w, const toolkit::MenuClick&) { w.mManager->LoadSenceConfigFromFile(); }},
        {"scene_item_save_file",
         [](CMainWnd& w, const toolkit::MenuClick&) { w.mManager->SaveSenceConfigToFile(); }},
        {"scene_item_load_whole",
         [](CMainWnd& w, const toolkit::MenuClick&) { w.mManager->LoadWholeConfigFromFile(); }},
        {"scene_item_save_whole",
         [](CMainWnd& w, const toolkit::MenuClick&) { w.mManager->SaveWholeConfigToFile(); }},
    };
    RunRoute(kItems, click->name, *this, *click);
}

// The menus of the top bar open below their button, left edges together.
bool CMainWnd::LoadMenu(const char* layout) {
    mMenu = std::make_unique<toolkit::PopupMenu>();
    if (!mMenu->Load(*this, layout)) {
        mMenu.reset();
        return false;
    }
    return true;
}

void CMainWnd::OpenMenuBelow(const toolkit::Control& button) {
    QWidget* widget = button.Widget();
    QPoint anchor =
        widget != nullptr ? widget->mapToGlobal(QPoint(0, widget->height())) : QCursor::pos();
    mMenu->Open(anchor, toolkit::MenuAlign::BelowLeft);
}

void CMainWnd::OpenSourceMenu(const toolkit::Control& button) {
    if (!LoadMenu("xml/source_menu.xml")) {
        return;
    }
    mManager->PrepareSourceMenu([this](const std::string& name) { return mMenu->FindItem(name); });
    OpenMenuBelow(button);
}

void CMainWnd::OpenOptionMenu(const toolkit::Control& button) {
    if (!LoadMenu("xml/option_menu.xml")) {
        return;
    }
    // Shown but not offered until the firmware update, the preference window
    // and the language switch are built.
    for (const char* item :
         {"option_item_firmware_upgrade", "option_item_preference", "option_item_language_menu"}) {
        if (toolkit::ControlHandle* handle = mMenu->FindItem(item)) {
            handle->SetEnabled(false);
        }
    }
    OpenMenuBelow(button);
}

void CMainWnd::OpenAbout() {
    const model::Profile& profile = mManager->WorkingProfile();
    DeviceVersion device;
    if (mManager->Link().IsConnected() && profile.deviceModel != -1) {
        device = {profile.deviceModel, profile.fwMainVersion, profile.fwSlaveVersion};
    }
    CAboutWnd about(app::CurrentModelCfg(), device);
    about.Prepare(this);
    about.RunModal();
}

// The scene menu opens as the option menu does. The items that need the
// amplifier are disabled while none is connected.
void CMainWnd::OpenSceneMenu(const toolkit::Control& button) {
    if (!LoadMenu("xml/scene_menu.xml")) {
        return;
    }
    const bool connected = mManager->Link().IsConnected();
    for (const char* name :
         {"scene_item_load_scene", "scene_item_saveas_scene", "scene_item_delete_scene"}) {
        if (toolkit::ControlHandle* item = mMenu->FindItem(name)) {
            item->SetEnabled(connected);
        }
    }
    OpenMenuBelow(button);
}

void CMainWnd::OpenDelayLinkMenu(int channel) {
    char name[32];
    std::snprintf(name, sizeof name, "delay_link_%d", channel);
    const toolkit::Control* anchorControl = Find(name);
    mMenuChannel = channel;
    mMenu = std::make_unique<toolkit::PopupMenu>();
    if (!mMenu->Load(*this, "xml/delay_link_group_menu.xml")) {
        mMenu.reset();
        return;
    }
    QWidget* widget = anchorControl != nullptr ? anchorControl->Widget() : nullptr;
    QPoint anchor = widget != nullptr ? widget->mapToGlobal(QPoint(0, 0)) : QCursor::pos();
    mMenu->Open(anchor, toolkit::MenuAlign::AboveLeft);
}

void CMainWnd::OpenOutputMenu(int channel, const toolkit::Control& button) {
    mMenu = std::make_unique<toolkit::PopupMenu>();
    if (!mMenu->Load(*this, "xml/output_menu.xml")) {
        mMenu.reset();
        return;
    }
    const model::Profile& profile = mManager->WorkingProfile();
    for (int t = 0; t <= model::kMaxOutputType; ++t) {
        const char* key = model::outputTypeKey(t);
        toolkit::ControlHandle* item = key != nullptr ? mMenu->FindItem(key) : nullptr;
        if (item == nullptr) {
            continue;
        }
        item->SetImage(t > 0 && profile.containsOutputType(t) ? "right.png" : "");
        item->SetEnabled(profile.outputTypeSelectable(t, channel));
    }
    mMenu->SetRightHandPlacement(channel >= Cfg().mOUT_CHANNEL_NUMBER / 2);
    QWidget* widget = button.Widget();
    QPoint anchor =
        widget != nullptr ? widget->mapToGlobal(QPoint(0, widget->height())) : QCursor::pos();
    mMenu->Open(anchor, toolkit::MenuAlign::BelowLeft);
}

}  // namespace ui
