// The import summary window: before a filter file changes an output, it
// lists the bands that will be applied, every filter that is not taken with
// its reason and values, the preamp the file asks for (which the user sets
// himself with the output's trim) and the lines that could not be read. The
// user applies what fits or nothing; closing the window applies nothing.
// When nothing fits it only offers closing.
#pragma once

#include <string>

#include "model/filter_import_summary.h"
#include "ui/dialogs/dialog_frame.h"

namespace ui {

class CFilterImportWnd : public DialogFrame {
public:
    explicit CFilterImportWnd(model::FilterImportSummary summary);

    // Builds the window over its owner and fills in the summary.
    void Prepare(toolkit::Window* owner);

    // The list's rows as shown, translated and filled in.
    static std::string Shown(const model::SummaryLine& line);

protected:
    void Notify(const toolkit::Notification& notification) override;

private:
    void ShowHeader();
    void FillList();
    void AddSection(const std::string& heading, const std::vector<model::SummaryLine>& lines);
    void ShowPreamp();
    void ShowButtons();

    model::FilterImportSummary mSummary;
};

// Runs the window over the owner until it closes: true when the user chose
// to apply what fits.
bool RunFilterImportWindow(toolkit::Window* owner, const model::FilterImportSummary& summary);

}  // namespace ui
