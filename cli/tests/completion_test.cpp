// The bash completion the package installs for tq-dsp: it offers every
// command, sub-command and option that --help lists, and file names where a
// command takes a file.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "cli/usage.h"
#include "testkit/build_paths.h"
#include "testkit/temp_dir.h"

namespace cli::testing {
namespace {

// What the completion offers after these words; the last one is the word
// being completed. Runs in `folder`, for the file names.
std::set<std::string> Offered(const std::vector<std::string>& words,
                              const std::filesystem::path& folder) {
    std::string array;
    for (const std::string& word : words) {
        array += " '" + word + "'";
    }
    const std::string script = "cd '" + folder.string() + "' && source '" +
                               testkit::BuildPath("SOURCE_DIR") +
                               "/packaging/completion/tq-dsp' && COMP_WORDS=(tq-dsp" + array +
                               ") && COMP_CWORD=" + std::to_string(words.size()) +
                               " && _tq_dsp && printf '%s\\n' \"${COMPREPLY[@]}\"";
    const std::string command = "bash -c \"$(cat <<'SCRIPT'\n" + script + "\nSCRIPT\n)\"";
    std::set<std::string> offered;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        ADD_FAILURE() << "cannot run bash";
        return offered;
    }
    std::string output;
    std::array<char, 4096> chunk{};
    for (size_t n; (n = fread(chunk.data(), 1, chunk.size(), pipe)) > 0;) {
        output.append(chunk.data(), n);
    }
    EXPECT_EQ(pclose(pipe), 0) << command;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty()) {
            offered.insert(line);
        }
    }
    return offered;
}

// The commands of --help, each with its sub-command if it has one
// ("scene save", "list"), and the options.
struct HelpWords {
    std::set<std::string> commands;
    std::set<std::string> subCommands;  // "scene save"
    std::set<std::string> options;
};

HelpWords WordsOfTheHelp() {
    HelpWords help;
    std::istringstream lines(UsageText());
    std::string section;
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line[0] != ' ') {
            section = line;
            continue;
        }
        // An entry starts two spaces in; deeper lines go on describing it.
        if (line.rfind("  ", 0) != 0 || line.size() < 3 || line[2] == ' ') {
            continue;
        }
        // The entry's own words end where two spaces start its description.
        std::istringstream words(line.substr(2, line.find("  ", 2) - 2));
        std::string first;
        std::string second;
        words >> first >> second;
        if (section == "Commands:" && !first.empty() && std::islower(first[0]) != 0) {
            help.commands.insert(first);
            if (!second.empty() && std::islower(second[0]) != 0) {
                help.subCommands.insert(first + " " + second);
            }
        } else if (section == "Options:" && first.rfind("--", 0) == 0) {
            help.options.insert(first.substr(0, first.find_first_of("[=")));
        }
    }
    return help;
}

class CompletionTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"car.wpf", "tune.spf", "notes.txt", "MCU_UPG.BIN"}) {
            std::ofstream(mFolder.path() / name) << "x";
        }
    }
    std::set<std::string> After(const std::vector<std::string>& words) {
        return Offered(words, mFolder.path());
    }
    testkit::TempWorkingDir mFolder;
};

TEST_F(CompletionTest, EveryCommandAndOptionOfTheHelpIsOffered) {
    const HelpWords help = WordsOfTheHelp();
    ASSERT_GE(help.commands.size(), 8u);
    ASSERT_GE(help.subCommands.size(), 7u);
    EXPECT_EQ(After({""}), help.commands);
    for (const std::string& sub : help.subCommands) {
        const std::string command = sub.substr(0, sub.find(' '));
        EXPECT_EQ(After({command, ""}).count(sub.substr(sub.find(' ') + 1)), 1u) << sub;
    }
    std::set<std::string> options = After({"--"});
    options.erase("--virtual-device=");
    EXPECT_EQ(options, help.options);
    // Options before the command do not hide it.
    EXPECT_EQ(After({"--device", "/dev/hidraw3", "--json", "sc"}), std::set<std::string>{"scene"});
    EXPECT_EQ(After({"firmware", "update", ""}),
              (std::set<std::string>{"--mcu", "--bootloader", "--flash"}));
    EXPECT_EQ(After({"eq", "import", "2", "notes.txt", ""}),
              std::set<std::string>{"--apply-fitting"});
}

TEST_F(CompletionTest, FilesAreOfferedWhereACommandTakesOne) {
    EXPECT_EQ(After({"backup", ""}), std::set<std::string>{"car.wpf"});
    EXPECT_EQ(After({"restore", ""}), (std::set<std::string>{"car.wpf", "tune.spf"}));
    EXPECT_EQ(After({"eq", "import", "2", "no"}), std::set<std::string>{"notes.txt"});
    EXPECT_EQ(After({"firmware", "update", "--mcu", "MC"}), std::set<std::string>{"MCU_UPG.BIN"});
    EXPECT_EQ(After({"--virtual-device=ca"}), std::set<std::string>{"--virtual-device=car.wpf"});
}

}  // namespace
}  // namespace cli::testing
