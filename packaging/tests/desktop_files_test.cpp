// The desktop entry, the icon and the AppStream metadata: each passes the
// checker the desktops and software centres use, and they name the same
// program, icon and version.
#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <string>

#include "app/version.h"
#include "packaging/tests/packaging_files.h"

namespace {

using packaging_testing::ReadFile;
using packaging_testing::RunTool;
using packaging_testing::SourcePath;

const std::string kDesktopEntry = "packaging/tq-dsp-audio.desktop";
const std::string kMetainfo = "packaging/tq-dsp-audio.metainfo.xml";

// The value of KEY in the desktop entry's main group; empty when missing.
std::string DesktopValue(const std::string& key) {
    std::istringstream in(ReadFile(SourcePath(kDesktopEntry)));
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(key + "=", 0) == 0) {
            return line.substr(key.size() + 1);
        }
    }
    return "";
}

// The text of the first element TAG of the metadata.
std::string MetainfoElement(const std::string& tag) {
    const std::string text = ReadFile(SourcePath(kMetainfo));
    std::smatch match;
    if (std::regex_search(text, match, std::regex("<" + tag + "[^>]*>([^<]*)</" + tag + ">"))) {
        return match[1];
    }
    return "";
}

TEST(DesktopFiles, TheDesktopEntryPassesItsChecker) {
    const auto run = RunTool("desktop-file-validate '" + SourcePath(kDesktopEntry) + "'");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    // Hints too: a second main category puts the program twice in the menu.
    EXPECT_EQ(run.output, "");
}

TEST(DesktopFiles, TheMetadataPassesItsCheckerWithoutANote) {
    const auto run =
        RunTool("appstreamcli validate --no-net --pedantic '" + SourcePath(kMetainfo) + "'");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    // Notes too (errors, warnings, infos, pedantic ones): a missing content
    // rating or a badly written summary is only an info, yet the software
    // centres show or hide the program by them.
    EXPECT_FALSE(std::regex_search(run.output, std::regex(R"((^|\n)[EWIP]: )"))) << run.output;
}

TEST(DesktopFiles, EntryAndMetadataStartTheInstalledProgram) {
    EXPECT_EQ(DesktopValue("Exec"), TQ_PROGRAM_FILE_NAME);
    EXPECT_EQ(DesktopValue("Terminal"), "false");
    EXPECT_EQ(MetainfoElement("binary"), TQ_PROGRAM_FILE_NAME);
    EXPECT_EQ(MetainfoElement("launchable"), "tq-dsp-audio.desktop");
    EXPECT_EQ(DesktopValue("Name"), MetainfoElement("name"));
}

TEST(DesktopFiles, TheIconTheEntryNamesIsAScalableDrawing) {
    const std::string icon = DesktopValue("Icon");
    ASSERT_FALSE(icon.empty());
    const std::string drawing =
        ReadFile(SourcePath("packaging/icons/hicolor/scalable/apps/" + icon + ".svg"));
    EXPECT_NE(drawing.find("<svg"), std::string::npos);
    EXPECT_NE(drawing.find("viewBox="), std::string::npos)
        << "a drawing without a view box does not scale";
}

TEST(DesktopFiles, TheNewestReleaseOfTheMetadataIsTheProgramsVersion) {
    const std::string shown = app::kSoftwareVersion;
    ASSERT_EQ(shown.rfind('v', 0), 0u) << shown;
    EXPECT_EQ(shown.substr(1), TQ_PROJECT_VERSION)
        << "the build read another version than the program shows";

    const std::string text = ReadFile(SourcePath(kMetainfo));
    std::smatch newest;
    ASSERT_TRUE(std::regex_search(
        text, newest, std::regex(R"re(<release version="([^"]+)" date="\d{4}-\d{2}-\d{2}")re")));
    EXPECT_EQ(newest[1], TQ_PROJECT_VERSION)
        << "a new version needs its release entry, newest first";
}

}  // namespace
