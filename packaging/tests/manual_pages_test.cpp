// The manual pages: they render cleanly, and the program's page lists exactly
// the options its --help lists.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "packaging/tests/packaging_files.h"

namespace {

using packaging_testing::BuildPath;
using packaging_testing::ReadFile;
using packaging_testing::RunTool;
using packaging_testing::SourcePath;
using packaging_testing::WithoutRoffEscapes;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

std::set<std::string> OptionNames(const std::string& text) {
    static const std::regex option(R"((^|[\s\[,])(--?[A-Za-z][A-Za-z-]*))");
    std::set<std::string> names;
    for (std::sregex_iterator it(text.begin(), text.end(), option), end; it != end; ++it) {
        names.insert((*it)[2]);
    }
    return names;
}

// The lines of one section, from ".SH NAME" to the next ".SH".
std::vector<std::string> Section(const std::string& page, const std::string& name) {
    std::vector<std::string> section;
    bool inside = false;
    for (const std::string& line : Lines(page)) {
        if (line.rfind(".SH", 0) == 0) {
            inside = line == ".SH " + name;
        } else if (inside) {
            section.push_back(line);
        }
    }
    return section;
}

// The tag lines of a section's ".TP" entries: what the entries are about.
std::vector<std::string> EntryTags(const std::string& page, const std::string& section) {
    std::vector<std::string> tags;
    const std::vector<std::string> lines = Section(page, section);
    for (size_t i = 0; i + 1 < lines.size(); ++i) {
        if (lines[i] == ".TP") {
            tags.push_back(WithoutRoffEscapes(lines[i + 1]));
        }
    }
    return tags;
}

bool IsLowerCaseWord(const std::string& word) {
    return std::all_of(word.begin(), word.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

std::set<std::string> OptionsOfTheHelp() {
    std::set<std::string> names;
    // An option is described on a line of its own that starts with it.
    for (const std::string& line : Lines(app::UsageText("tq-dsp-audio"))) {
        if (line.rfind("  -", 0) == 0) {
            for (const std::string& name : OptionNames(line.substr(0, line.find("   ", 2)))) {
                names.insert(name);
            }
        }
    }
    return names;
}

std::set<std::string> OptionsOfThePage(const std::string& page) {
    std::set<std::string> names;
    for (const std::string& tag : EntryTags(page, "OPTIONS")) {
        for (const std::string& name : OptionNames(tag)) {
            names.insert(name);
        }
    }
    return names;
}

TEST(ManualPages, TheProgramsPageListsExactlyTheOptionsOfItsHelp) {
    const std::set<std::string> help = OptionsOfTheHelp();
    ASSERT_GE(help.size(), 4u) << app::UsageText("tq-dsp-audio");
    const std::set<std::string> page =
        OptionsOfThePage(ReadFile(SourcePath("packaging/man/tq-dsp-audio.1")));
    EXPECT_EQ(page, help);
}

TEST(ManualPages, EveryOptionOfTheProgramsPageIsAccepted) {
    for (const std::string& name :
         OptionsOfThePage(ReadFile(SourcePath("packaging/man/tq-dsp-audio.1")))) {
        const app::CommandLine line =
            app::ParseCommandLine({name == "--virtual-firmware" ? name + "=1.20" : name});
        EXPECT_EQ(line.error, "") << name;
    }
}

TEST(ManualPages, EveryCommandOfTheToolsSynopsisIsDescribed) {
    const std::string page = ReadFile(SourcePath("packaging/man/tq-dsp.1"));
    std::set<std::string> described;
    for (std::string tag : EntryTags(page, "COMMANDS")) {
        tag.erase(std::remove(tag.begin(), tag.end(), '"'), tag.end());
        std::istringstream words(tag);
        std::string word;
        words >> word;  // the macro
        // A command is its leading lower-case words: "scene save", "eq import".
        std::string command;
        while (words >> word && IsLowerCaseWord(word)) {
            command += (command.empty() ? "" : " ") + word;
        }
        described.insert(command);
    }
    std::set<std::string> synopsis;
    bool commandFollows = false;
    std::string command;
    for (const std::string& line : Section(page, "SYNOPSIS")) {
        if (line == ".B tq-dsp") {
            if (!command.empty()) {
                synopsis.insert(command);
            }
            command.clear();
            commandFollows = false;
        } else if (line.rfind("[\\fIOPTION", 0) == 0) {
            commandFollows = true;
        } else if (commandFollows && line.rfind(".B ", 0) == 0 &&
                   line.find("\\-") == std::string::npos) {
            command += (command.empty() ? "" : " ") + line.substr(3);
        } else {
            commandFollows = false;
        }
    }
    if (!command.empty()) {
        synopsis.insert(command);
    }
    ASSERT_GE(synopsis.size(), 10u);
    EXPECT_EQ(described, synopsis);
}

TEST(ManualPages, BothPagesRenderWithoutWarnings) {
    for (const char* page : {"tq-dsp-audio", "tq-dsp"}) {
        const auto run =
            RunTool("groff -ww -z -man '" + SourcePath("packaging/man/") + page + ".1'");
        EXPECT_EQ(run.exitCode, 0) << page << ": " << run.output;
        EXPECT_EQ(run.output, "") << page;
    }
}

TEST(ManualPages, TheBuiltPagesAreCompressedCopiesThatNameTheVersion) {
    for (const char* page : {"tq-dsp-audio", "tq-dsp"}) {
        const std::string built = BuildPath("packaging/man/") + page + ".1";
        const std::string text = ReadFile(built);
        EXPECT_NE(text.find("\"TQ DSP Audio " TQ_PROJECT_VERSION "\""), std::string::npos) << page;
        EXPECT_EQ(text.find('@'), std::string::npos) << page << ": a placeholder was left";
        const auto unpacked = RunTool("gzip -dc '" + built + ".gz'");
        EXPECT_EQ(unpacked.exitCode, 0) << page;
        EXPECT_EQ(unpacked.output, text) << page;
    }
}

}  // namespace
