#include "ui/dialogs/scene_window.h"

#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QString>
#include <QVariant>
#include <QWidget>
#include <cstdio>

#include "app/log.h"
#include "controller/controller_messages.h"
#include "device/window_messages.h"
#include "model/scene_name_codec.h"
#include "toolkit/skin_widgets.h"
#include "toolkit/text_resources.h"
#include "ui/dialogs/loading_window.h"
#include "ui/dialogs/message_box.h"
#include "ui/dialogs/name_box.h"

namespace ui {
namespace {

using controller::SceneWindowMode;

constexpr int kHeaderHeight = 25;
// The selected row's frame, and the texts of the current scene's row, dark
// enough to read on its yellow.
constexpr uint32_t kSelectedFrame = 0xFF3D8BFD;
constexpr uint32_t kTextOnCurrent = 0xFF15181D;
constexpr uint32_t kText = 0xFFD9DEE6;
constexpr uint32_t kNumberText = 0xFF8A95A4;

std::string RowName(int row) {
    return "listitem" + std::to_string(row);
}

std::string Utf8(const std::u16string& text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())).toStdString();
}

}  // namespace

// Mouse and keys on the list: a press selects a row, a double-click or
// Enter activates the selected row, the arrow keys move the selection.
class CSceneWnd::RowInput : public QObject {
public:
    RowInput(CSceneWnd& window, QObject* parent) : QObject(parent), mWindow(window) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const int row = watched->property("tqSceneRow").isValid()
                            ? watched->property("tqSceneRow").toInt()
                            : -1;
        switch (event->type()) {
            case QEvent::MouseButtonPress:
                if (row >= 0 && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
                    mWindow.SelectRow(row);
                    if (QWidget* list = ListWidget()) {
                        list->setFocus(Qt::MouseFocusReason);
                    }
                    return true;
                }
                break;
            case QEvent::MouseButtonDblClick:
                if (row >= 0 && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
                    mWindow.SelectRow(row);
                    Activate(row);
                    return true;
                }
                break;
            case QEvent::KeyPress: {
                const int key = static_cast<QKeyEvent*>(event)->key();
                const int selected = mWindow.SelectedRow();
                if (key == Qt::Key_Down || key == Qt::Key_Up) {
                    const int step = key == Qt::Key_Down ? 1 : -1;
                    const int next = selected < 0 ? 0 : selected + step;
                    if (next >= 0 && next < kSceneRows) {
                        mWindow.SelectRow(next);
                    }
                    return true;
                }
                if ((key == Qt::Key_Return || key == Qt::Key_Enter) && selected >= 0) {
                    Activate(selected);
                    return true;
                }
                break;
            }
            default:
                break;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QWidget* ListWidget() const {
        toolkit::Control* list = mWindow.Find("listview");
        return list != nullptr ? list->Widget() : nullptr;
    }
    void Activate(int row) {
        toolkit::Control* item = mWindow.Find(RowName(row));
        toolkit::Notification notification;
        notification.type = "itemactivate";
        notification.sender = item;
        notification.name = RowName(row);
        notification.userData = std::to_string(row);
        notification.userDataInt = row;
        mWindow.SendNotify(notification);
    }

    CSceneWnd& mWindow;
};

CSceneWnd::CSceneWnd(SceneWindowMode mode, controller::EqualizerManager& manager)
    : DialogFrame("MsgWnd", "scenewnd"), mMode(mode), mManager(manager) {}

CSceneWnd::~CSceneWnd() {
    mManager.Link().ReleaseSceneWnd(Handle());
}

void CSceneWnd::Prepare(toolkit::Window* owner) {
    CreateOver(owner, "XML_SENCE_PROFILE");
    if (toolkit::Control* header = Find("list_header"); header != nullptr && header->Widget()) {
        header->Widget()->setFixedHeight(kHeaderHeight * Scale() / 100);
    }
    toolkit::Control* list = Find("listview");
    if (list != nullptr && list->Widget() != nullptr) {
        mRowInput = new RowInput(*this, list->Widget());
        list->Widget()->setFocusPolicy(Qt::StrongFocus);
        list->Widget()->installEventFilter(mRowInput);
        for (int row = 0; row < kSceneRows; ++row) {
            toolkit::Control* item = Find(RowName(row));
            if (item == nullptr || item->Widget() == nullptr) {
                continue;
            }
            item->Widget()->setProperty("tqSceneRow", row);
            item->Widget()->installEventFilter(mRowInput);
            // The labels pass the mouse on to their row.
            for (QWidget* label : item->Widget()->findChildren<QWidget*>()) {
                label->setAttribute(Qt::WA_TransparentForMouseEvents);
            }
        }
    }
    for (int row = 0; row < kSceneRows; ++row) {
        ShowRowLook(row);
    }
    if (mManager.SceneId() >= 1) {
        UpdateCurrentScene(mManager.SceneId() - 1);
    }
    mManager.Link().SetSceneWnd(Handle());
    // The answer comes back later as WM_FLASH_SCENE_ID.
    mManager.Link().Get_Scene_Id();

    static constexpr const char* kTitles[] = {"${load_scene}", "${save_as_scene}",
                                              "${delete_scene}"};
    static constexpr const char* kConfirms[] = {"${load}", "${save}", "${delete}"};
    const int mode = static_cast<int>(mMode);
    if (toolkit::Control* title = Find("MessageTitle")) {
        title->SetText(kTitles[mode]);
    }
    if (toolkit::Control* confirm = Find("confirm_btn")) {
        confirm->SetText(kConfirms[mode]);
    }
    if (toolkit::Control* cancel = Find("cancel_btn")) {
        cancel->SetText("${exit}");
    }
    FillRows();
}

int CSceneWnd::Run() {
    const int code = RunModal();
    mManager.Link().ReleaseSceneWnd(Handle());
    return code;
}

toolkit::Control* CSceneWnd::RowLabel(int row, const char* name) const {
    toolkit::Control* item = Find(RowName(row));
    if (item == nullptr || item->Widget() == nullptr) {
        return nullptr;
    }
    QWidget* label = item->Widget()->findChild<QWidget*>(QString::fromLatin1(name));
    return label != nullptr
               ? static_cast<toolkit::Control*>(label->property("tqControl").value<void*>())
               : nullptr;
}

void CSceneWnd::ShowRowName(int row, const std::u16string& name) {
    if (toolkit::Control* value = RowLabel(row, "value")) {
        value->SetText(Utf8(name));
    }
}

void CSceneWnd::FillRows() {
    for (int row = 0; row < kSceneRows; ++row) {
        ShowRowName(row, mManager.SceneName(row));
    }
}

void CSceneWnd::ShowRowLook(int row) {
    toolkit::Control* item = Find(RowName(row));
    if (item == nullptr) {
        return;
    }
    const bool current = row == mHighlighted;
    item->SetBkColor(current ? kCurrentSceneColor : 0);
    if (auto* panel = dynamic_cast<toolkit::SkinPanel*>(item->Widget())) {
        panel->SetBorder(row == mSelected ? kSelectedFrame : 0, 2, 3);
    }
    if (toolkit::Control* value = RowLabel(row, "value")) {
        value->SetTextColor(current ? kTextOnCurrent : kText);
    }
    if (toolkit::Control* number = RowLabel(row, "index")) {
        number->SetTextColor(current ? kTextOnCurrent : kNumberText);
    }
}

void CSceneWnd::SelectRow(int row) {
    if (row < -1 || row >= kSceneRows || row == mSelected) {
        return;
    }
    const int before = mSelected;
    mSelected = row;
    if (before >= 0) {
        ShowRowLook(before);
    }
    if (row >= 0) {
        ShowRowLook(row);
    }
}

void CSceneWnd::UpdateCurrentScene(int row) {
    app::Log("UpdateCurrentScene %d\n", row);
    mHighlighted = row >= 0 && row < kSceneRows ? row : -1;
    for (int r = 0; r < kSceneRows; ++r) {
        ShowRowLook(r);
    }
}

std::string CSceneWnd::Format(const char* key, int scene, const std::u16string* name) {
    const std::string format = toolkit::Translate(key);
    char text[512];
    if (name != nullptr) {
        std::snprintf(text, sizeof text, format.c_str(), scene, Utf8(*name).c_str());
    } else {
        std::snprintf(text, sizeof text, format.c_str(), scene);
    }
    return text;
}

void CSceneWnd::Notify(const toolkit::Notification& notification) {
    LogNotification(notification);
    if (notification.type == "itemactivate" && notification.name.rfind("listitem", 0) == 0) {
        ActOnSelection(true);
        DefaultNotify(notification);
        return;
    }
    if (IsClickOn(notification, "confirm_btn")) {
        app::Log("Click confirm_btn\n");
        ActOnSelection(false);
        return;
    }
    if (IsClickOn(notification, "cancel_btn")) {
        app::Log("Click cancel_btn\n");
        Close(0);
        return;
    }
    DefaultNotify(notification);
}

// A row activated moves the highlight to it whatever comes of the action
// (load and save); the button moves it only for a save that started.
void CSceneWnd::ActOnSelection(bool fromRow) {
    const int s = mSelected;
    const bool valid = s >= 0 && s < kSceneRows;
    switch (mMode) {
        case SceneWindowMode::kSaveAs:
            app::Log("SENCE_SAVE id = %d\n", s);
            if (fromRow) {
                if (valid) {
                    Save(s + 1);
                }
                UpdateCurrentScene(s);
            } else if (valid && Save(s + 1)) {
                UpdateCurrentScene(s);
            }
            break;
        case SceneWindowMode::kLoad:
            app::Log("SENCE_LOAD id = %d\n", s);
            if (valid) {
                Load(s + 1);
            }
            if (fromRow) {
                UpdateCurrentScene(s);
            }
            break;
        case SceneWindowMode::kDelete:
            app::Log("SENCE_DELETE id = %d\n", s);
            if (valid) {
                Delete(s + 1);
            }
            break;
    }
}

bool CSceneWnd::Save(int scene) {
    app::Log("SaveSence\n");
    mManager.SetSceneNameToSave({});
    const int slot = scene - 1;
    const std::u16string before = mManager.SceneName(slot);
    char16_t buffer[kNameBufferUnits] = {};
    for (size_t i = 0; i < before.size() && i + 1 < kNameBufferUnits; ++i) {
        buffer[i] = before[i];
    }
    if (!before.empty() &&
        ShowConfirmBox(this, "${tips}", Format("${save_scene_overwrite}", scene)) != kBoxConfirm) {
        return false;
    }
    if (ShowNameBox(this, buffer) != kBoxConfirm) {
        return false;
    }
    const std::u16string name(buffer);
    mManager.SetSceneNameToSave(model::SceneNameToBytes(name));
    if (!name.empty()) {
        for (int other = 0; other < kSceneRows; ++other) {
            if (other == slot || mManager.SceneName(other) != name) {
                continue;
            }
            const std::string format = toolkit::Translate("${same_name_tips}");
            char text[512];
            std::snprintf(text, sizeof text, format.c_str(), Utf8(name).c_str(), other + 1,
                          Utf8(mManager.SceneName(other)).c_str());
            ShowMessage(this, toolkit::Translate("${tips}"), text);
            // The amplifier keeps the slot's old name: so does the list.
            mManager.SetSceneNameToSave({});
            return false;
        }
    }
    mManager.SetSceneName(slot, name);
    ShowRowName(slot, name);
    platform::PostMessage(Handle(), controller::WM_SHOW_LOADING, 0, 0);
    mManager.SetSceneId(scene);
    mManager.Link().SetSceneWnd(Handle());
    mManager.StartSaveSenceThread();
    return true;
}

bool CSceneWnd::Load(int scene) {
    app::Log("LoadSence\n");
    const std::u16string& name = mManager.SceneName(scene - 1);
    const std::string question = name.empty() ? Format("${load_scene_tips2}", scene)
                                              : Format("${load_scene_tips1}", scene, &name);
    if (ShowConfirmBox(this, "${tips}", question) != kBoxConfirm) {
        return false;
    }
    platform::PostMessage(Handle(), controller::WM_SHOW_LOADING, 0, 0);
    mManager.SetSceneId(scene);
    mManager.Link().SetSceneWnd(Handle());
    mManager.StartLoadSenceThread();
    return true;
}

bool CSceneWnd::Delete(int scene) {
    app::Log("DeleteSence\n");
    const std::u16string name = mManager.SceneName(scene - 1);
    const std::string question = name.empty() ? Format("${delete_scene_tips2}", scene)
                                              : Format("${delete_scene_tips1}", scene, &name);
    if (ShowConfirmBox(this, "${delete_scene}", question) != kBoxConfirm) {
        return false;
    }
    platform::PostMessage(Handle(), controller::WM_SHOW_LOADING, 0, 0);
    mManager.SetSceneId(scene);
    mManager.Link().SetSceneWnd(Handle());
    mManager.SetSceneName(scene - 1, u"");
    FillRows();
    mManager.StartDeleteSenceThread();
    return true;
}

void CSceneWnd::ShowLoading() {
    mLoading.Show(this);
}

void CSceneWnd::HideLoading() {
    mLoading.Hide();
}

void CSceneWnd::OnMessage(uint32_t message, uintptr_t wParam, intptr_t lParam,
                          std::unique_ptr<platform::PostedRecord>& record) {
    switch (message) {
        case controller::WM_SHOW_LOADING:
            ShowLoading();
            return;
        case controller::WM_HIDE_LOADING:
            HideLoading();
            return;
        case device::WM_READ_FLASH_VALUE:
            // Shown for every acknowledgement, whatever its status.
            platform::PostMessage(Handle(), controller::WM_HIDE_LOADING, 0, 0);
            ShowMessage(this, toolkit::Translate("${tips}"),
                        toolkit::Translate("${save_scene_ok}"));
            break;
        case device::WM_FLASH_SCENE_DELETED:
            platform::PostMessage(Handle(), controller::WM_HIDE_LOADING, 0, 0);
            break;
        case device::WM_FLASH_SCENE_ID: {
            const int scene = static_cast<int>(lParam);
            mManager.SetSceneId(scene);
            app::Log("FLASH_SCENE_ID/mSceneId %d\n", scene);
            if (scene >= 1) {
                UpdateCurrentScene(scene - 1);
            }
            break;
        }
        default:
            break;
    }
    DialogFrame::OnMessage(message, wParam, lParam, record);
}

int OpenSceneWindow(toolkit::Window* owner, SceneWindowMode mode,
                    controller::EqualizerManager& manager) {
    CSceneWnd window(mode, manager);
    window.Prepare(owner);
    return window.Run();
}

}  // namespace ui
