// The multi-channel compressor window: one column per output with its
// compressor's on/off box and its threshold, attack time and release time.
// Every change goes to the amplifier at once; its buttons only close the
// window. While it is open the program can reach it through
// OpenCompressorsOnWnd().
#pragma once

#include <memory>

#include "controller/compressors_on_panel.h"
#include "controller/equalizer_manager.h"
#include "ui/dialogs/dialog_frame.h"

namespace ui {

class CCompressorsOnWnd : public DialogFrame {
public:
    explicit CCompressorsOnWnd(controller::EqualizerManager& manager);
    ~CCompressorsOnWnd() override;

    // Builds the window over its owner, shows every output's column and
    // narrows it by the columns past the model's outputs.
    void Prepare(toolkit::Window* owner);

protected:
    void Notify(const toolkit::Notification& notification) override;

private:
    void FitToOutputs();

    controller::EqualizerManager& mManager;
    std::unique_ptr<controller::CompressorsOnPanel> mPanel;
};

// The window while it is open, else nullptr.
CCompressorsOnWnd* OpenCompressorsOnWnd();

// Opens the window over the owner and returns when it closed: 1 after
// "confirm_btn", 2 after "third_btn", 0 otherwise.
int OpenCompressorsOnWindow(toolkit::Window* owner, controller::EqualizerManager& manager);

}  // namespace ui
