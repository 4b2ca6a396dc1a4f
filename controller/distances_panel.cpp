#include "controller/distances_panel.h"

#include <algorithm>
#include <cstdio>
#include <initializer_list>

#include "app/log.h"
#include "app/model_cfg.h"
#include "controller/distance_settings.h"
#include "controller/equalizer_manager.h"
#include "controller/ui_services.h"
#include "model/output_type.h"
#include "model/units.h"

namespace controller {
namespace {

using namespace distances;

constexpr size_t kShownTextChars = 32;
constexpr const char* kRowParts[] = {"dist_ch_", "dist_name_", kEditPrefix, "dist_unit_",
                                     "dist_delay_"};

std::string Indexed(const char* prefix, int index) {
    return prefix + std::to_string(index);
}

// The pattern with each "%s" replaced by the next argument in turn. The
// patterns come from the language tables; arguments are never read as
// patterns themselves.
std::string Filled(const std::string& pattern, std::initializer_list<std::string> arguments) {
    std::string text;
    auto next = arguments.begin();
    for (size_t at = 0; at < pattern.size(); ++at) {
        if (pattern.compare(at, 2, "%s") == 0 && next != arguments.end()) {
            text += *next++;
            ++at;
        } else {
            text += pattern[at];
        }
    }
    return text;
}

std::string TypeKey(int type) {
    const char* key = model::outputTypeKey(type);
    return std::string("${") + (key != nullptr ? key : "output_item_empty") + "}";
}

int DistanceUnitFor(int delayUnit) {
    // Delays shown in milliseconds still take distances in centimetres.
    return delayUnit == model::kDelayUnitInch ? model::kDelayUnitInch : model::kDelayUnitCm;
}

}  // namespace

DistancesPanel::DistancesPanel(EqualizerManager& manager, UiServices& ui,
                               toolkit::ControlAccess& window)
    : mManager(manager), mUi(ui) {
    mControls.Bind(&window);
}

void DistancesPanel::Open() {
    mOutputs = std::min(app::CurrentModelCfg().mOUT_CHANNEL_NUMBER, model::kOutputSlots);
    mDistanceUnit = DistanceUnitFor(mManager.ShownDelayUnit());
    const std::string unitText =
        mDistanceUnit == model::kDelayUnitInch ? "${distances_unit_in}" : "${distances_unit_cm}";
    const std::vector<std::string> kept = ReadKeptDistances(mManager.DistancesSection(), mOutputs);
    const model::Profile& profile = mManager.WorkingProfile();
    // The layout has a row for as many outputs as any model has.
    for (int c = mOutputs; mControls.Exists(Indexed(kEditPrefix, c)); ++c) {
        for (const char* part : kRowParts) {
            mControls(Indexed(part, c)).SetVisible(false);
        }
    }
    for (int c = 0; c < mOutputs; ++c) {
        char number[16];
        std::snprintf(number, sizeof number, "CH%d", c + 1);
        mControls(Indexed("dist_ch_", c)).SetText(number);
        mControls(Indexed("dist_name_", c))
            .SetText(TypeKey(profile.outputs[static_cast<size_t>(c)]));
        mControls(Indexed("dist_unit_", c)).SetText(unitText);
        const DistanceReading reading = ReadDistance(kept[static_cast<size_t>(c)], mDistanceUnit);
        toolkit::ControlHandle& edit = mControls(Indexed(kEditPrefix, c));
        edit.SetText(reading.distance ? DistanceNumberText(*reading.distance)
                                      : kept[static_cast<size_t>(c)].substr(0, kShownTextChars));
        edit.SetEnabled(!FollowsPartner(c));
        if (FollowsPartner(c)) {
            edit.SetToolTip("${distances_bridged}");
        }
    }
    mOpen = true;
    ShowResults();
}

bool DistancesPanel::FollowsPartner(int output) const {
    const model::Profile& profile = mManager.WorkingProfile();
    return output % 2 == 1 && output < mOutputs &&
           profile.bridgeOutputs[static_cast<size_t>(output / 2)] != 0;
}

DistancesPanel::Reading DistancesPanel::ReadAll() {
    Reading reading;
    reading.distances.resize(static_cast<size_t>(mOutputs));
    for (int c = 0; c < mOutputs; ++c) {
        if (FollowsPartner(c)) {
            continue;
        }
        const DistanceReading row =
            ReadDistance(mControls(Indexed(kEditPrefix, c)).Text(), mDistanceUnit);
        if (row.fault != DistanceFault::kNone && reading.faultyOutput < 0) {
            reading.faultyOutput = c;
            reading.fault = row.fault;
        }
        reading.distances[static_cast<size_t>(c)] = row.distance;
    }
    return reading;
}

std::string DistancesPanel::OutputName(int output) {
    char number[16];
    std::snprintf(number, sizeof number, "CH%d", output + 1);
    const int type = mManager.WorkingProfile().outputs[static_cast<size_t>(output)];
    return std::string(number) + " " + mUi.Translate(TypeKey(type));
}

std::string DistancesPanel::FaultText(const Reading& reading) {
    const char* key = reading.fault == DistanceFault::kNegative ? "${distances_negative}"
                      : reading.fault == DistanceFault::kTooFar ? "${distances_too_far}"
                                                                : "${distances_not_number}";
    return Filled(mUi.Translate(key), {OutputName(reading.faultyOutput)});
}

std::string DistancesPanel::LimitedText(const DistanceAlignment& alignment) {
    // Numbers only: every output may be in the list.
    std::string names;
    for (int c : alignment.limited) {
        names += (names.empty() ? "CH" : ", CH") + std::to_string(c + 1);
    }
    const std::string largest = mManager.ShownDelayText(app::CurrentModelCfg().mMAX_DELAY_MS);
    return Filled(mUi.Translate("${distances_limited}"), {largest, names});
}

void DistancesPanel::ShowResults() {
    const Reading reading = ReadAll();
    if (reading.faultyOutput >= 0) {
        ShowDelays(std::nullopt, true);
        ShowStatus(FaultText(reading));
        return;
    }
    const std::optional<DistanceAlignment> alignment =
        AlignByDistance(reading.distances, mDistanceUnit);
    ShowDelays(alignment, false);
    ShowStatus(alignment && !alignment->limited.empty() ? LimitedText(*alignment) : "");
}

// Each row shows the delay its output will have: the new one, the lower
// half's for a bridged upper half, or the one it keeps, in the main page's
// unit; "-" while a distance cannot be read.
void DistancesPanel::ShowDelays(const std::optional<DistanceAlignment>& alignment,
                                bool unreadable) {
    const model::Profile& profile = mManager.WorkingProfile();
    const int unit = mManager.ShownDelayUnit();
    for (int c = 0; c < mOutputs; ++c) {
        toolkit::ControlHandle& label = mControls(Indexed("dist_delay_", c));
        const int source = FollowsPartner(c) ? c - 1 : c;
        if (unreadable) {
            label.SetText("-");
            label.SetTextColor(kKeptDelayColor);
            continue;
        }
        const std::optional<float> ms =
            alignment ? alignment->delaysMs[static_cast<size_t>(source)] : std::nullopt;
        const bool limited =
            alignment && std::find(alignment->limited.begin(), alignment->limited.end(), source) !=
                             alignment->limited.end();
        const float shown = ms ? model::quantizeDelay(unit, *ms) : profile.channels[c].delay;
        label.SetText(mManager.ShownDelayText(shown));
        label.SetTextColor(limited ? kLimitedDelayColor : ms ? 0 : kKeptDelayColor);
    }
}

void DistancesPanel::ShowStatus(const std::string& text) {
    toolkit::ControlHandle& status = mControls(kStatusLabel);
    status.SetText(text);
    status.SetVisible(!text.empty());
}

std::vector<std::string> DistancesPanel::KeptTexts(const Reading& reading) {
    std::vector<std::string> texts;
    for (int c = 0; c < mOutputs; ++c) {
        std::optional<double> distance = reading.distances[static_cast<size_t>(c)];
        if (FollowsPartner(c)) {
            // A bridged upper half keeps what it had for the day it is unbridged.
            distance =
                ReadDistance(mControls(Indexed(kEditPrefix, c)).Text(), mDistanceUnit).distance;
        }
        texts.push_back(distance ? DistanceWithUnitText(*distance, mDistanceUnit) : "");
    }
    return texts;
}

bool DistancesPanel::Apply() {
    const Reading reading = ReadAll();
    if (reading.fault != DistanceFault::kNone) {
        app::Log("distances: output %d cannot be read, nothing set\n", reading.faultyOutput);
        ShowResults();
        mUi.ShowMessage("${tips}", FaultText(reading));
        return false;
    }
    const std::optional<DistanceAlignment> alignment =
        AlignByDistance(reading.distances, mDistanceUnit);
    if (!alignment) {
        app::Log("distances: none given, nothing set\n");
        mUi.ShowMessage("${tips}", mUi.Translate("${distances_none}"));
        return false;
    }
    app::Log("distances: farthest output %d\n", alignment->farthest);
    mManager.SetDelaysFromDistances(alignment->delaysMs);
    KeepDistances(mManager.DistancesSection(), KeptTexts(reading));
    if (!alignment->limited.empty()) {
        mUi.ShowMessage("${tips}", LimitedText(*alignment));
    }
    return true;
}

bool DistancesPanel::Handle(const toolkit::Notification& notification) {
    if (!mOpen) {
        return false;
    }
    const bool onEdit = notification.name.rfind(kEditPrefix, 0) == 0;
    if (onEdit && (notification.type == toolkit::kNotifyReturn ||
                   notification.type == toolkit::kNotifyKillFocus)) {
        // A distance typed with a unit of its own shows in the window's unit.
        toolkit::ControlHandle& edit = mControls(notification.name);
        if (const DistanceReading reading = ReadDistance(edit.Text(), mDistanceUnit);
            reading.distance) {
            edit.SetText(DistanceNumberText(*reading.distance));
        }
        ShowResults();
        return true;
    }
    return false;
}

}  // namespace controller
