#include "ui/dialogs/filter_import_window.h"

#include <QFont>
#include <QListWidget>
#include <utility>

#include "toolkit/text_resources.h"
#include "ui/dialogs/message_box.h"

namespace ui {
namespace {

constexpr const char* kList = "import_list";
constexpr const char* kApply = "apply_btn";
constexpr const char* kNothing = "cancel_btn";
constexpr const char* kIndent = "    ";

}  // namespace

CFilterImportWnd::CFilterImportWnd(model::FilterImportSummary summary)
    : DialogFrame("FilterImportWnd", "msgwnd"), mSummary(std::move(summary)) {}

std::string CFilterImportWnd::Shown(const model::SummaryLine& line) {
    std::string shown = model::FillInValues(toolkit::Translate(line.text), line.values);
    if (!line.detail.empty()) {
        shown += " \xE2\x80\x94 " + line.detail;
    }
    return shown;
}

void CFilterImportWnd::Prepare(toolkit::Window* owner) {
    CreateOver(owner, "XML_FILTER_IMPORT");
    ShowHeader();
    FillList();
    ShowPreamp();
    ShowButtons();
}

void CFilterImportWnd::ShowHeader() {
    if (toolkit::Control* file = Find("import_file")) {
        file->SetText(Shown({"${ui_filter_import_file}", {mSummary.fileName}}));
    }
    if (toolkit::Control* headline = Find("import_headline")) {
        headline->SetText(Shown(mSummary.headline));
    }
}

// Long rows wrap inside the list instead of running out of it sideways; a
// list longer than the window scrolls.
void CFilterImportWnd::FillList() {
    toolkit::Control* list = Find(kList);
    if (list == nullptr) {
        return;
    }
    if (auto* view = qobject_cast<QListWidget*>(list->Widget())) {
        view->setWordWrap(true);
        view->setResizeMode(QListView::Adjust);
        view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view->setSelectionMode(QAbstractItemView::NoSelection);
        view->setFocusPolicy(Qt::NoFocus);
    }
    list->ClearItems();
    AddSection("${ui_filter_import_taken}", mSummary.taken);
    AddSection("${ui_filter_import_refused}", mSummary.refused);
    AddSection("${ui_filter_import_unread}", mSummary.unread);
}

void CFilterImportWnd::AddSection(const std::string& heading,
                                  const std::vector<model::SummaryLine>& lines) {
    toolkit::Control* list = Find(kList);
    if (list == nullptr || lines.empty()) {
        return;
    }
    list->AddItem(Shown({heading, {std::to_string(lines.size())}}), "");
    if (auto* view = qobject_cast<QListWidget*>(list->Widget())) {
        QListWidgetItem* row = view->item(view->count() - 1);
        QFont bold = row->font();
        bold.setBold(true);
        row->setFont(bold);
    }
    for (const model::SummaryLine& line : lines) {
        list->AddItem(kIndent + Shown(line), "");
    }
}

void CFilterImportWnd::ShowPreamp() {
    if (toolkit::Control* preamp = Find("import_preamp")) {
        preamp->SetVisible(mSummary.preamp.has_value());
        preamp->SetText(mSummary.preamp ? Shown(*mSummary.preamp) : std::string());
    }
}

void CFilterImportWnd::ShowButtons() {
    const bool nothing = mSummary.NothingFits();
    if (toolkit::Control* apply = Find(kApply)) {
        apply->SetVisible(!nothing);
        apply->SetEnabled(!nothing);
    }
    if (toolkit::Control* close = Find(kNothing)) {
        close->SetText(nothing ? "${ui_filter_import_close}" : "${ui_filter_import_nothing}");
    }
}

void CFilterImportWnd::Notify(const toolkit::Notification& notification) {
    LogNotification(notification);
    if (IsClickOn(notification, kApply) && !mSummary.NothingFits()) {
        Close(kBoxConfirm);
        return;
    }
    if (IsClickOn(notification, kNothing) || IsClickOn(notification, "closebtn")) {
        Close(kBoxCancel);
        return;
    }
    DefaultNotify(notification);
}

bool RunFilterImportWindow(toolkit::Window* owner, const model::FilterImportSummary& summary) {
    CFilterImportWnd window(summary);
    window.Prepare(owner);
    return window.RunModal() == kBoxConfirm;
}

}  // namespace ui
