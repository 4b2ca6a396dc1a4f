// eq import OUTPUT FILE [--apply-fitting] and eq export OUTPUT: one output's
// bands to and from the filter text files of measurement software, with the
// program's own fitting and summary. Outputs count from 1.
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/model_cfg.h"
#include "cli/amplifier_session.h"
#include "cli/commands.h"
#include "cli/english_texts.h"
#include "cli/progress_report.h"
#include "jobs/profile_difference.h"
#include "model/filter_file.h"
#include "model/filter_import_summary.h"
#include "model/main_volume_map.h"

namespace cli {
namespace {

constexpr const char* kUsage = "eq import OUTPUT FILE [--apply-fitting] | eq export OUTPUT";

// 1..the model's outputs, as the user counts them; nothing for anything else.
std::optional<int> OutputNumber(const std::string& text) {
    const int outputs = app::CurrentModelCfg().mOUT_CHANNEL_NUMBER;
    if (text.empty() || text.size() > 2 ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        return std::nullopt;
    }
    const int output = std::stoi(text);
    if (output < 1 || output > outputs) {
        return std::nullopt;
    }
    return output;
}

Failure BadOutput(const std::string& text) {
    return {kExitBadArguments, "bad output '" + text + "'; outputs are 1 to " +
                                   std::to_string(app::CurrentModelCfg().mOUT_CHANNEL_NUMBER)};
}

std::optional<Failure> ConnectSession(AmplifierSession& session) {
    if (auto failure = session.Start()) {
        return failure;
    }
    return session.Connect();
}

std::unique_ptr<model::Profile> WorkingProfile(AmplifierSession& session) {
    std::unique_ptr<jobs::DeviceProfiles> profiles = session.Pump().Snapshot();
    auto working = std::make_unique<model::Profile>(profiles->working);
    if (profiles->mainVolumeReported) {
        working->mainVolume =
            model::MainVolumeSliderOf(profiles->mainVolumeDb, working->mainVolume);
    }
    return working;
}

void PrintLine(const model::SummaryLine& line, const char* indent) {
    std::string text = EnglishText(line.text, line.values);
    if (!line.detail.empty()) {
        text += " " + line.detail;
    }
    std::printf("%s%s\n", indent, text.c_str());
}

// A heading, then its lines indented; nothing at all when there are none.
void PrintSection(const std::string& heading, const std::vector<model::SummaryLine>& lines) {
    if (lines.empty()) {
        return;
    }
    std::printf("%s\n", heading.c_str());
    for (const auto& line : lines) {
        PrintLine(line, "  ");
    }
}

void PrintSummary(const model::FilterImportSummary& summary) {
    std::printf("%s\n", EnglishText("${ui_filter_import_file}", {summary.fileName}).c_str());
    PrintLine(summary.headline, "");
    PrintSection(EnglishText("${ui_filter_import_taken}"), summary.taken);
    PrintSection(
        EnglishText("${ui_filter_import_refused}", {std::to_string(summary.refused.size())}),
        summary.refused);
    if (summary.preamp) {
        PrintLine(*summary.preamp, "");
    }
    PrintSection(EnglishText("${ui_filter_import_unread}", {std::to_string(summary.unread.size())}),
                 summary.unread);
    std::fflush(stdout);
}

// The bands of the output become the fitted ones; the rest become flat, at
// the frequency and Q they had, as the program's import leaves them.
void ApplyBands(model::Profile& profile, int channel, const std::vector<model::EqBand>& fitted) {
    model::EqBand* bands = profile.eqArray(channel);
    const int count = profile.bandCount(channel);
    for (int b = 0; b < count; ++b) {
        if (static_cast<size_t>(b) < fitted.size()) {
            bands[b] = fitted[static_cast<size_t>(b)];
        } else {
            bands[b].eqGain = 0.0f;
            bands[b].enable = true;
            bands[b].type = 0;
        }
    }
}

int ImportFilters(const Arguments& arguments, int output, const std::string& path,
                  bool applyFitting) {
    const model::FilterFileRead read = model::ReadFilterFile(path);
    if (read.error != model::FilterFileError::None) {
        return Report({kExitBadFile,
                       "'" + path + "': " + EnglishText(model::filterFileErrorKey(read.error))});
    }
    AmplifierSession session(arguments);
    if (auto failure = ConnectSession(session)) {
        return Report(*failure);
    }
    const int channel = output - 1;
    const std::unique_ptr<model::Profile> before = WorkingProfile(session);
    const int bandCount = before->bandCount(channel);
    const model::FilterFit fit = model::FitFiltersToOutput(read.list, bandCount);
    const model::FilterImportSummary summary = model::SummariseFilterImport(
        std::filesystem::path(path).filename().string(), channel, bandCount, read.list, fit);
    PrintSummary(summary);
    if (summary.NothingFits()) {
        return Report({kExitBadFile, "no filter of '" + path + "' fits output " +
                                         std::to_string(output) + "; nothing applied"});
    }
    if (!fit.refusals.empty() && !applyFitting) {
        return Report({kExitBadFile, "some filters do not fit output " + std::to_string(output) +
                                         "; nothing applied (add --apply-fitting to apply the "
                                         "ones that fit)"});
    }
    auto after = std::make_unique<model::Profile>(*before);
    ApplyBands(*after, channel, fit.bands);
    const float attenuation = model::MainVolumeAttenuationOf(before->mainVolume);
    ProgressReport report(session.Pump(), "sending", arguments.quiet);
    const jobs::JobOutcome outcome = jobs::WriteProfileDifference(
        session.Link(), {before.get(), attenuation}, {after.get(), attenuation}, report);
    if (auto failure = session.OutcomeFailure(outcome, "sending the bands")) {
        return Report(*failure);
    }
    if (auto failure = session.FlushQueued()) {
        return Report(*failure);
    }
    return kExitDone;
}

int ExportFilters(const Arguments& arguments, int output) {
    AmplifierSession session(arguments);
    if (auto failure = ConnectSession(session)) {
        return Report(*failure);
    }
    const std::string text = model::FormatFilterFile(*WorkingProfile(session), output - 1);
    std::fwrite(text.data(), 1, text.size(), stdout);
    return kExitDone;
}

}  // namespace

int EqCommand(const Arguments& arguments, const Words& words) {
    const std::string action = words.empty() ? "" : words[0];
    Words operands;
    bool applyFitting = false;
    for (size_t i = 1; i < words.size(); ++i) {
        if (words[i] == "--apply-fitting" && action == "import") {
            applyFitting = true;
        } else {
            operands.push_back(words[i]);
        }
    }
    const bool import = action == "import" && operands.size() == 2;
    const bool exportOne = action == "export" && operands.size() == 1;
    if (!import && !exportOne) {
        return Report({kExitBadArguments, std::string("usage: tq-dsp ") + kUsage});
    }
    const std::optional<int> output = OutputNumber(operands[0]);
    if (!output) {
        return Report(BadOutput(operands[0]));
    }
    return import ? ImportFilters(arguments, *output, operands[1], applyFitting)
                  : ExportFilters(arguments, *output);
}

}  // namespace cli
