// The scene window: the amplifier's ten scene slots in a list, and one of
// three actions on the selected slot (load it, save the working state into
// it under a name, or delete it). The device work runs in the controller's
// scene jobs behind this window's loading window; the amplifier's
// acknowledgements and its current scene come back as messages to it.
#pragma once

#include <QObject>
#include <string>

#include "controller/equalizer_manager.h"
#include "controller/ui_services.h"
#include "ui/dialogs/dialog_frame.h"
#include "ui/dialogs/loading_window.h"

namespace ui {

inline constexpr int kSceneRows = 10;
// The current scene's row.
inline constexpr uint32_t kCurrentSceneColor = 0xFFF6CE1D;

class CSceneWnd : public DialogFrame {
public:
    CSceneWnd(controller::SceneWindowMode mode, controller::EqualizerManager& manager);
    ~CSceneWnd() override;

    // Builds the window over its owner, takes the link's scene messages,
    // asks the amplifier for its current scene and fills the rows.
    void Prepare(toolkit::Window* owner);
    // Runs modally; afterwards the link no longer sends scene messages here.
    int Run();

    controller::SceneWindowMode Mode() const { return mMode; }
    // The list's selection, -1 for none.
    int SelectedRow() const { return mSelected; }
    void SelectRow(int row);
    // The row shown as the current scene, -1 for none.
    int HighlightedRow() const { return mHighlighted; }
    bool IsLoadingShown() const { return mLoading.IsShown(); }

protected:
    void Notify(const toolkit::Notification& notification) override;
    void OnMessage(uint32_t message, uintptr_t wParam, intptr_t lParam,
                   std::unique_ptr<platform::PostedRecord>& record) override;

private:
    class RowInput;

    bool Save(int scene);
    bool Load(int scene);
    bool Delete(int scene);
    void ActOnSelection(bool fromRow);
    void UpdateCurrentScene(int row);
    void FillRows();
    void ShowRowName(int row, const std::u16string& name);
    void ShowRowLook(int row);
    toolkit::Control* RowLabel(int row, const char* name) const;
    void ShowLoading();
    void HideLoading();
    std::string Format(const char* key, int scene, const std::u16string* name = nullptr);

    const controller::SceneWindowMode mMode;
    controller::EqualizerManager& mManager;
    RowInput* mRowInput = nullptr;  // owned by the window's widget
    LoadingCover mLoading;
    int mSelected = -1;
    int mHighlighted = -1;
};

// Opens the scene window over the owner in this mode and returns when the
// user closed it.
int OpenSceneWindow(toolkit::Window* owner, controller::SceneWindowMode mode,
                    controller::EqualizerManager& manager);

}  // namespace ui
