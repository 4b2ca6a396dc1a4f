// Filter text files of the current output: its bands written for the
// measurement software, and a filter list from it applied to the bands. The
// import shows what will be taken and what not before anything changes; the
// bands it applies are stored, passed to the linked outputs and sent as the
// user's band edits are.
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "app/log.h"
#include "app/settings.h"
#include "controller/equalizer_manager.h"
#include "model/file_bytes.h"
#include "model/filter_file.h"
#include "model/filter_import_summary.h"

namespace controller {
namespace {

constexpr int kChineseLanguage = 1;

std::vector<std::pair<std::string, std::string>> FilterFileFilters(bool chinese) {
    if (chinese) {
        return {{"滤波器文件(*.txt)", "*.txt"}, {"所有文件(*.*)", "*.*"}};
    }
    return {{"Filter File(*.txt)", "*.txt"}, {"All Files(*.*)", "*.*"}};
}

// A band that changes nothing: peaking at 0 dB and on, as a reset leaves
// it; where it sits and its Q stay as the user had them.
model::EqBand Flat(model::EqBand band) {
    band.eqGain = 0.0f;
    band.enable = true;
    band.type = 0;
    return band;
}

}  // namespace

std::string EqualizerManager::ChooseFilterFile(bool save) {
    if (mUi == nullptr) {
        return {};
    }
    FileDialogRequest request;
    request.save = save;
    request.filters = FilterFileFilters(app::ReadLanguageSetting() == kChineseLanguage);
    if (save) {
        request.defaultExtension = "txt";
    }
    return mUi->ChooseFile(request);
}

void EqualizerManager::ExportFilters() {
    const int channel = mProfile.currOutChannel;
    app::Log("%s output %d\n", "EqualizerManager::ExportFilters", channel);
    if (mUi == nullptr || !IsOutput(channel) || mProfile.eqArray(channel) == nullptr) {
        return;
    }
    const std::string path = ChooseFilterFile(true);
    if (path.empty()) {
        return;
    }
    // Written beside the file and renamed over it: a failed save leaves no
    // half-written list behind.
    const bool written =
        model::writeFileReplacing(path, model::FormatFilterFile(mProfile, channel));
    app::Log("filter file %s %s\n", path.c_str(), written ? "written" : "not written");
    mUi->ShowMessage("${tips}", written ? "${filter_export_ok}" : "${filter_export_error}");
}

void EqualizerManager::ImportFilters() {
    const int channel = mProfile.currOutChannel;
    app::Log("%s output %d\n", "EqualizerManager::ImportFilters", channel);
    if (mUi == nullptr || !IsOutput(channel) || mProfile.eqArray(channel) == nullptr) {
        return;
    }
    const std::string path = ChooseFilterFile(false);
    if (path.empty()) {
        return;
    }
    const model::FilterFileRead read = model::ReadFilterFile(path);
    if (read.error != model::FilterFileError::None) {
        app::Log("filter file %s refused\n", path.c_str());
        mUi->ShowMessage("${tips}", model::filterFileErrorKey(read.error));
        return;
    }
    const int bandCount = mProfile.bandCount(channel);
    const model::FilterFit fit = model::FitFiltersToOutput(read.list, bandCount);
    const model::FilterImportSummary summary = model::SummariseFilterImport(
        std::filesystem::path(path).filename().string(), channel, bandCount, read.list, fit);
    if (!mUi->AskToApplyFilters(summary) || fit.bands.empty()) {
        app::Log("filter file %s: nothing applied\n", path.c_str());
        return;
    }
    // The window was modal; the output the summary was made for is still
    // the current one, but the amplifier may have gone meanwhile.
    if (mProfile.eqArray(channel) == nullptr || mProfile.bandCount(channel) != bandCount) {
        return;
    }
    ApplyImportedBands(channel, fit.bands);
}

void EqualizerManager::ApplyImportedBands(int channel, const std::vector<model::EqBand>& fitted) {
    const int count = mProfile.bandCount(channel);
    app::Log("filter file: %d bands of %d on output %d\n", static_cast<int>(fitted.size()), count,
             channel);
    for (int b = 0; b < count; ++b) {
        const size_t index = static_cast<size_t>(b);
        const model::EqBand value =
            index < fitted.size() ? fitted[index] : Flat(mProfile.eqArray(channel)[b]);
        ApplyBand(channel, b, value, true);
    }
    ShowEqBands(channel);
    UpdateEqualizer(-1);
}

}  // namespace controller
