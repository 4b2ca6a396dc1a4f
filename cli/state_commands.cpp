// dump, backup and restore: the amplifier's working state and its whole
// configuration to and from the program's profile files.
#include <cstdio>
#include <filesystem>
#include <memory>
#include <vector>

#include "cli/amplifier_session.h"
#include "cli/commands.h"
#include "cli/progress_report.h"
#include "jobs/profile_writeout.h"
#include "jobs/state_readback.h"
#include "model/file_bytes.h"
#include "model/main_volume_map.h"
#include "model/profile_file.h"
#include "model/profile_json.h"

namespace cli {
namespace {

// The profiles the amplifier reported, with the main volume as the program
// keeps it (a slider position).
std::unique_ptr<jobs::DeviceProfiles> ReportedProfiles(AmplifierSession& session) {
    std::unique_ptr<jobs::DeviceProfiles> profiles = session.Pump().Snapshot();
    if (profiles->mainVolumeReported) {
        profiles->working.mainVolume =
            model::MainVolumeSliderOf(profiles->mainVolumeDb, profiles->working.mainVolume);
    }
    return profiles;
}

int ConnectOrReport(AmplifierSession& session) {
    if (auto failure = session.Start()) {
        return Report(*failure);
    }
    if (auto failure = session.Connect()) {
        return Report(*failure);
    }
    return kExitDone;
}

int WantOperands(const Words& words, size_t count, const char* usage) {
    if (words.size() != count) {
        return Report({kExitBadArguments, std::string("usage: tq-dsp ") + usage});
    }
    return kExitDone;
}

enum class ProfileKind { kWholeConfig, kScene, kUnknown };

ProfileKind KindOf(const std::filesystem::path& path) {
    const std::string extension = path.extension().string();
    if (extension == ".wpf" || extension == ".WPF") {
        return ProfileKind::kWholeConfig;
    }
    if (extension == ".spf" || extension == ".SPF") {
        return ProfileKind::kScene;
    }
    return ProfileKind::kUnknown;
}

std::optional<Failure> ParseFailure(model::ProfileParseResult result, const std::string& path) {
    switch (result) {
        case model::ProfileParseResult::Ok:
            return std::nullopt;
        case model::ProfileParseResult::NotJson:
            return Failure{kExitBadFile, "'" + path + "' is not a profile file"};
        case model::ProfileParseResult::WrongModel:
            return Failure{kExitBadFile, "'" + path + "' was made for another amplifier model"};
        case model::ProfileParseResult::BadMember:
            return Failure{kExitBadFile, "'" + path + "' is damaged; use another copy"};
    }
    return Failure{kExitBadFile, "'" + path + "' cannot be used"};
}

// The whole file is read and checked before the amplifier is touched.
std::optional<Failure> ReadProfileFile(const std::string& path, ProfileKind kind,
                                       jobs::DeviceProfiles& into) {
    std::string text;
    const model::FileReadStatus status =
        model::readWholeFile(path, model::kMaxProfileFileBytes, text);
    if (status == model::FileReadStatus::TooLarge) {
        return Failure{kExitBadFile, "'" + path + "' is too large for a profile file"};
    }
    if (status != model::FileReadStatus::Ok) {
        return Failure{kExitBadFile, "cannot read '" + path + "'; check the name"};
    }
    if (kind == ProfileKind::kWholeConfig) {
        return ParseFailure(model::parseWholeConfig(text, into.working, into.scenes, into.names),
                            path);
    }
    return ParseFailure(model::parseSceneProfile(text, into.working), path);
}

}  // namespace

int DumpCommand(const Arguments& arguments, const Words& words) {
    if (int bad = WantOperands(words, 0, "dump")) {
        return bad;
    }
    AmplifierSession session(arguments);
    if (int failed = ConnectOrReport(session)) {
        return failed;
    }
    const std::string text = model::sceneProfileText(ReportedProfiles(session)->working);
    if (text.empty()) {
        return Report({kExitDeviceError, "out of memory while printing the state"});
    }
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
    return kExitDone;
}

int BackupCommand(const Arguments& arguments, const Words& words) {
    if (int bad = WantOperands(words, 1, "backup FILE.wpf")) {
        return bad;
    }
    const std::string& path = words[0];
    if (KindOf(path) != ProfileKind::kWholeConfig) {
        return Report({kExitBadArguments, "a backup is a .wpf file; name it FILE.wpf"});
    }
    AmplifierSession session(arguments);
    if (int failed = ConnectOrReport(session)) {
        return failed;
    }
    session.Pump().Reset();
    jobs::JobOutcome outcome;
    {
        ProgressReport report(session.Pump(), "backup", arguments.quiet);
        outcome =
            jobs::ReadBackScenes(session.Link(), jobs::BandCountsOf(model::Profile()), report);
    }
    if (auto failure = session.OutcomeFailure(outcome, "reading the scenes")) {
        return Report(*failure);  // nothing was written: a part read is no backup
    }
    const std::unique_ptr<jobs::DeviceProfiles> profiles = ReportedProfiles(session);
    model::ProfileFile file;
    if (!file.writeWholeConfig(profiles->working, profiles->scenes, profiles->names, path)) {
        return Report(
            {kExitBadFile, "cannot write '" + path + "'; check the folder and its space"});
    }
    return kExitDone;
}

int RestoreCommand(const Arguments& arguments, const Words& words) {
    if (int bad = WantOperands(words, 1, "restore FILE.wpf|FILE.spf")) {
        return bad;
    }
    const std::string& path = words[0];
    const ProfileKind kind = KindOf(path);
    if (kind == ProfileKind::kUnknown) {
        return Report({kExitBadFile, "'" + path + "' is neither a .wpf nor a .spf file"});
    }
    auto loaded = std::make_unique<jobs::DeviceProfiles>();
    if (auto failure = ReadProfileFile(path, kind, *loaded)) {
        return Report(*failure);
    }
    AmplifierSession session(arguments);
    if (int failed = ConnectOrReport(session)) {
        return failed;
    }
    const jobs::WorkingState state{&loaded->working,
                                   model::MainVolumeAttenuationOf(loaded->working.mainVolume)};
    jobs::JobOutcome outcome;
    {
        ProgressReport report(session.Pump(), "restore", arguments.quiet);
        if (kind == ProfileKind::kScene) {
            outcome = jobs::WriteCurrentProfile(session.Link(), state, report);
        } else {
            const std::vector<model::Profile> scenes(loaded->scenes.begin(), loaded->scenes.end());
            const std::vector<model::SceneName> names(loaded->names.begin(), loaded->names.end());
            outcome = jobs::WriteWholeConfig(session.Link(), {&scenes, &names}, state, report);
        }
    }
    if (auto failure = session.OutcomeFailure(outcome, "writing to the amplifier")) {
        return Report(*failure);
    }
    if (auto failure = session.FlushQueued()) {
        return Report(*failure);
    }
    return kExitDone;
}

}  // namespace cli
