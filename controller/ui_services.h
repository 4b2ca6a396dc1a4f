// What the controller needs of the user interface besides its controls: the
// program's message box and the language tables. Implemented by the main
// window; tests give their own.
#pragma once

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "controller/eq_chart.h"
#include "model/filter_import_summary.h"

namespace controller {

// The three modes of the scene window.
enum class SceneWindowMode { kLoad = 0, kSaveAs = 1, kDelete = 2 };

// One of the platform's file dialogs, as the profile flows ask for it.
struct FileDialogRequest {
    bool save = false;  // a save dialog, else an open dialog
    // (label, pattern) pairs in the order shown; the first is preselected.
    std::vector<std::pair<std::string, std::string>> filters;
    // Added to a typed name without one; empty for none.
    std::string defaultExtension;
    // The path shown first (a file or a folder); empty for the current folder.
    std::string initialPath;
};

class UiServices {
public:
    virtual ~UiServices() = default;

    // Shows the program's message box with one button "${confirm}" over the
    // main window and waits for it; title and text may hold language keys.
    virtual void ShowMessage(const std::string& title, const std::string& text) = 0;

    // The text with its "${key}" parts translated into the current language.
    virtual std::string Translate(const std::string& text) = 0;

    // The loading window over the main window: ShowLoading runs it modally
    // (posted messages are still handled meanwhile) until HideLoading.
    virtual void ShowLoading() = 0;
    virtual void HideLoading() = 0;
    // How far the job behind the loading window is: done of total steps.
    virtual void ShowProgress(int done, int total) = 0;

    // Runs the file dialog over the main window; the path the user chose,
    // empty when cancelled.
    virtual std::string ChooseFile(const FileDialogRequest& request) = 0;

    // A mouse button is held down (a drag is under way).
    virtual bool IsPointerHeld() { return false; }

    // Asks with the confirmation box ("${confirm}" and "${cancel}"); true
    // when the user confirmed.
    virtual bool Confirm(const std::string& title, const std::string& text) = 0;

    // Asks with the two-choice box: 1 for the first choice, 2 for the
    // second, 0 when the user cancelled.
    virtual int AskTwoChoices(const std::string& title, const std::string& text,
                              const std::string& first, const std::string& second) = 0;

    // Asks with the message box and three buttons: 1 for the first, 0 for
    // the second (and for closing the box), 2 for the third.
    virtual int AskWithButtons(const std::string& title, const std::string& text,
                               const std::array<std::string, 3>& labels) = 0;

    // Runs the scene window over the main window in this mode until the
    // user closes it.
    virtual void OpenSceneWindow(SceneWindowMode mode) = 0;

    // The noise windows over the main window, each run until the user
    // closes it: the output noise gate, and the inputs' noise levels with
    // their threshold. A user interface without them opens nothing.
    virtual void OpenNoiseGateWindow() {}
    virtual void OpenNoiseThresholdWindow() {}
    // The service windows over the main window, each run until the user
    // closes it: the preference window (link options and USB audio mode),
    // the DSP memory window and the power-off delay window.
    virtual void OpenPreferenceWindow() = 0;
    virtual void OpenMemoryWindow() = 0;
    virtual void OpenPowerOffDelayWindow() = 0;
    // The windows of the features this model switches off; a model whose
    // record switches them on reaches them from the main window.
    virtual void OpenCompressorWindow() {}
    virtual void OpenCompressorsOnWindow() {}
    virtual void OpenKtvWindow() {}
    virtual void OpenCsAutoWindow() {}
    // Runs the mixer window of the working profile's source over the main
    // window until it closes; the controller closes it from outside with
    // CloseMixerWindow (nothing when none is open).
    virtual void OpenMixerWindow() = 0;
    virtual void CloseMixerWindow() = 0;

    // The automatic calibration window over the minimised main window, run
    // until it closes: 1 when the amplifier may have taken a new
    // calibration, else 0. The controller closes it from outside with
    // CloseAutoCalWindow (nothing when none is open).
    virtual int RunAutoCalWindow() { return 0; }
    virtual void CloseAutoCalWindow() {}

    // Runs the import summary window over the main window until the user
    // closes it: true when he chose to apply what fits. A user interface
    // without the window applies nothing.
    virtual bool AskToApplyFilters(const model::FilterImportSummary& summary) {
        (void)summary;
        return false;
    }

    // The EQ chart of the main page; nullptr when the page has none.
    virtual EqChart* Chart() = 0;

    // The forced-update window over the main window with the two image
    // files (an empty name: that image is not flashed), run until the user
    // closes it: 1 when the update ran to its end with the factory default,
    // else 0.
    virtual int RunForceUpdateWindow(const std::string& mcuImage,
                                     const std::string& flashImage) = 0;
    // Hands a new connection to the open forced-update window, which goes on
    // with the update; false when none is open.
    virtual bool ResumeForceUpdate() = 0;
    // The manual update window over the main window, run until it closes;
    // the code it was closed with (1 when the controller closed it).
    virtual int RunUpdateFwWindow() = 0;
    // Ends the manual update window with 1 (nothing when none is open).
    virtual void CloseUpdateFwWindow() = 0;
};

}  // namespace controller
