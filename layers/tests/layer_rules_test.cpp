// The layer check: reading the table, following its arrows, the includes of
// a file, the files of a tree, and the table of this program itself.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "layers/layer_rules.h"
#include "testkit/build_paths.h"
#include "testkit/temp_dir.h"

namespace {

using layers::CheckFile;
using layers::Include;
using layers::LayerTable;
using layers::Violation;

// A small program's table: high reaches mid, mid reaches low; kit is test
// support; gui may use Qt, the others may not.
const char* const kTable =
    "# a comment line\n"
    "gui:            high   # the windows\n"
    "high (no Qt):   mid\n"
    "mid (no Qt):    low\n"
    "low (no Qt):\n"
    "kit:            side\n"
    "side:\n"
    "tests:          kit\n"
    "gui/tests:      side\n";

void WriteFile(const std::filesystem::path& path, const std::string& text) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path) << text;
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(LayerTable, AnArrowReachesWhatItsTargetMayInclude) {
    const LayerTable table = LayerTable::Parse(kTable);
    EXPECT_TRUE(table.MayInclude("high", "mid"));
    EXPECT_TRUE(table.MayInclude("high", "low"));
    EXPECT_TRUE(table.MayInclude("gui", "low"));
    EXPECT_TRUE(table.MayInclude("low", "low"));
    EXPECT_FALSE(table.MayInclude("low", "mid"));
    EXPECT_FALSE(table.MayInclude("mid", "high"));
    EXPECT_FALSE(table.MayInclude("high", "kit"));
}

TEST(LayerTable, ATestsFolderReachesItsFolderTheTestSupportAndTheHelpersBelow) {
    const LayerTable table = LayerTable::Parse(kTable);
    EXPECT_TRUE(table.MayInclude("mid/tests", "mid"));
    EXPECT_TRUE(table.MayInclude("mid/tests", "low"));
    EXPECT_TRUE(table.MayInclude("mid/tests", "low/tests"));
    EXPECT_TRUE(table.MayInclude("mid/tests", "kit"));
    EXPECT_TRUE(table.MayInclude("gui/tests", "side"));
    EXPECT_FALSE(table.MayInclude("mid/tests", "high/tests"));
    EXPECT_FALSE(table.MayInclude("mid/tests", "high"));
    // What the test support may include is not followed.
    EXPECT_FALSE(table.MayInclude("mid/tests", "side"));
    EXPECT_FALSE(table.MayInclude("mid", "mid/tests"));
}

TEST(LayerTable, AFileBelongsToTheDeepestFolderOfTheTableThatHoldsIt) {
    const LayerTable table =
        LayerTable::Parse("ui:\nui/main: ui\nfirmware:\ndevice:\ndevice/tests:\n");
    EXPECT_EQ(table.FolderOf("ui/main/main_wnd.cpp"), "ui/main");
    EXPECT_EQ(table.FolderOf("ui/main/tests/links_test.cpp"), "ui/main/tests");
    EXPECT_EQ(table.FolderOf("ui/tests/dialogs_test.cpp"), "ui/tests");
    EXPECT_EQ(table.FolderOf("ui/other/x.cpp"), "ui");
    EXPECT_EQ(table.FolderOf("firmware/tools/embed_images.cpp"), "firmware");
    EXPECT_EQ(table.FolderOf("device/tests/data/frames.h"), "device/tests");
    EXPECT_EQ(table.FolderOf("device/tests.h"), "device");
    EXPECT_EQ(table.FolderOf("elsewhere/x.cpp"), "");
    EXPECT_EQ(table.FolderOf("device"), "");
}

TEST(LayerTable, ALineItCannotReadIsRefusedWithItsNumber) {
    const auto messageOf = [](const std::string& text) {
        try {
            LayerTable::Parse(text);
        } catch (const std::invalid_argument& error) {
            return std::string(error.what());
        }
        return std::string();
    };
    EXPECT_NE(messageOf("low:\nmid low\n").find("line 2"), std::string::npos);
    EXPECT_NE(messageOf("low:\nlow: \n").find("line 2"), std::string::npos);
    EXPECT_NE(messageOf("mid: lwo\nlow:\n").find("line 1"), std::string::npos);
    EXPECT_NE(messageOf("two words: low\nlow:\n").find("line 1"), std::string::npos);
    EXPECT_NE(messageOf("low:\nhigh/tests: low\n").find("line 2"), std::string::npos);
    EXPECT_EQ(messageOf(kTable), "");
}

TEST(Includes, AreReadWithTheirLinesOutsideComments) {
    const std::vector<Include> includes = layers::IncludesOf(
        "// #include \"in/line_comment.h\"\n"
        "#include <vector>\n"
        "  #  include \"a/b.h\"  // why\n"
        "/* #include \"in/block.h\"\n"
        "#include \"still/in_block.h\" */\n"
        "const char* glob = \"dir/*.cpp\";\n"
        "#include \"after/string.h\"\n"
        "#define NOT_AN_INCLUDE \"x/y.h\"\n");
    EXPECT_EQ(includes,
              (std::vector<Include>{
                  {2, "vector", true}, {3, "a/b.h", false}, {7, "after/string.h", false}}));
}

TEST(CheckFile, AnUpwardIncludeIsReportedWithItsLineAndTheRule) {
    const LayerTable table = LayerTable::Parse(kTable);
    testkit::TempDir root;
    const std::vector<Violation> found =
        CheckFile(table, root.path(), "mid/part.cpp",
                  "#include \"low/base.h\"\n\n#include \"high/top.h\"\n#include \"mid/part.h\"\n");
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].file, "mid/part.cpp");
    EXPECT_EQ(found[0].line, 3);
    EXPECT_EQ(found[0].include, "#include \"high/top.h\"");
    EXPECT_NE(found[0].rule.find("mid may not include high"), std::string::npos) << found[0].rule;
    EXPECT_NE(found[0].rule.find("low"), std::string::npos) << "what mid may include";
    EXPECT_EQ(layers::Describe(found[0]).rfind("mid/part.cpp:3: #include \"high/top.h\": ", 0), 0u);
}

TEST(CheckFile, QtHeadersAreViolationsOnlyInFoldersWithoutQt) {
    const LayerTable table = LayerTable::Parse(kTable);
    testkit::TempDir root;
    const std::string source = "#include <QWidget>\n#include <QtCore/QObject>\n#include <queue>\n";
    EXPECT_TRUE(CheckFile(table, root.path(), "gui/window.cpp", source).empty());
    const std::vector<Violation> low = CheckFile(table, root.path(), "low/base.cpp", source);
    ASSERT_EQ(low.size(), 2u);
    EXPECT_EQ(low[0].include, "#include <QWidget>");
    EXPECT_NE(low[0].rule.find("Qt"), std::string::npos);
    EXPECT_EQ(low[1].line, 2);
    EXPECT_EQ(CheckFile(table, root.path(), "low/tests/base_test.cpp", source).size(), 2u);
}

TEST(CheckFile, AnIncludeBesideTheFileBelongsToTheFileItNames) {
    const LayerTable table = LayerTable::Parse(kTable);
    testkit::TempDir root;
    WriteFile(root / "mid/tests/fixture.h", "");
    WriteFile(root / "high/tests/window_fixture.h", "");
    EXPECT_TRUE(CheckFile(table, root.path(), "mid/tests/part_test.cpp",
                          "#include \"fixture.h\"\n#include \"../tests/fixture.h\"\n")
                    .empty());
    const std::vector<Violation> found =
        CheckFile(table, root.path(), "mid/tests/part_test.cpp",
                  "#include \"missing.h\"\n#include \"../../high/tests/window_fixture.h\"\n");
    ASSERT_EQ(found.size(), 2u);
    EXPECT_NE(found[0].rule.find("neither beside the file nor"), std::string::npos);
    EXPECT_NE(found[1].rule.find("may not include high/tests"), std::string::npos) << found[1].rule;
}

TEST(CheckFile, AHeaderOfTheTreeInAngleBracketsKeepsToTheTable) {
    const LayerTable table = LayerTable::Parse(kTable);
    testkit::TempDir root;
    WriteFile(root / "high/top.h", "");
    const std::vector<Violation> found =
        CheckFile(table, root.path(), "low/base.cpp", "#include <high/top.h>\n#include <zip.h>\n");
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].include, "#include <high/top.h>");
}

TEST(CheckTree, EveryFileOfTheLayersIsReadAndBuildTreesAreLeftOut) {
    const LayerTable table = LayerTable::Parse(kTable);
    testkit::TempDir root;
    WriteFile(root / "low/base.cpp", "#include \"mid/part.h\"\n");
    WriteFile(root / "mid/part.h", "#include \"low/base.h\"\n");
    WriteFile(root / "mid/notes.txt", "#include \"high/top.h\"\n");
    WriteFile(root / "stray/tool.cpp", "int main() {}\n");
    WriteFile(root / "build/asan/low/generated.h", "#include \"high/top.h\"\n");
    WriteFile(root / "out/CMakeCache.txt", "");
    WriteFile(root / "out/low/generated.h", "#include \"high/top.h\"\n");
    WriteFile(root / "mine/low/generated.h", "#include \"high/top.h\"\n");
    WriteFile(root / ".git/low/x.h", "#include \"high/top.h\"\n");

    const layers::TreeCheck check = layers::CheckTree(table, root.path(), {root / "mine"});
    EXPECT_EQ(check.files, 3);
    ASSERT_EQ(check.violations.size(), 2u);
    EXPECT_EQ(check.violations[0].file, "low/base.cpp");
    EXPECT_EQ(check.violations[0].line, 1);
    EXPECT_EQ(check.violations[1].file, "stray/tool.cpp");
    EXPECT_EQ(check.violations[1].line, 0);
    EXPECT_NE(layers::Describe(check.violations[1]).find("stray"), std::string::npos);
}

// ---- the table of this program ----

class ProgramTable : public ::testing::Test {
protected:
    LayerTable mTable = LayerTable::Parse(ReadFile(testkit::BuildPath("TABLE")));
};

TEST_F(ProgramTable, NothingPointsUpwards) {
    // Highest first; firmware and dsp_math stand above the layers that
    // their sideways arrows point at.
    const std::vector<std::string> upwards = {"program", "ui/main",  "ui/dialogs", "ui/controls",
                                              "ui/skin", "cli",      "controller", "toolkit",
                                              "jobs",    "firmware", "device",     "dsp_math",
                                              "model",   "app",      "platform"};
    for (size_t high = 0; high < upwards.size(); ++high) {
        for (size_t low = high + 1; low < upwards.size(); ++low) {
            EXPECT_FALSE(mTable.MayInclude(upwards[low], upwards[high]))
                << upwards[low] << " reaches " << upwards[high];
        }
    }
}

TEST_F(ProgramTable, KeepsTheSidewaysArrowsOfTheDiagramOnly) {
    EXPECT_TRUE(mTable.MayInclude("dsp_math", "model"));
    EXPECT_TRUE(mTable.MayInclude("firmware", "device"));
    EXPECT_FALSE(mTable.MayInclude("model", "device"));
    EXPECT_FALSE(mTable.MayInclude("device", "model"));
    EXPECT_FALSE(mTable.MayInclude("cli", "controller"));
    EXPECT_FALSE(mTable.MayInclude("cli", "toolkit"));
    EXPECT_TRUE(mTable.MayInclude("cli", "jobs"));
    EXPECT_TRUE(mTable.MayInclude("controller", "toolkit"));
}

TEST_F(ProgramTable, TheVirtualAmplifierIsForTheTestsTheDemoModeTheToolTheBenchesAndTheProgram) {
    for (const char* user : {"program", "ui/main", "cli", "bench", "testkit", "device/tests",
                             "controller/tests", "ui/tests"}) {
        EXPECT_TRUE(mTable.MayInclude(user, "virtual_device")) << user;
    }
    for (const char* other :
         {"ui/dialogs", "ui/controls", "ui/skin", "controller", "toolkit", "jobs", "device",
          "firmware", "model", "dsp_math", "app", "platform", "fuzz"}) {
        EXPECT_FALSE(mTable.MayInclude(other, "virtual_device")) << other;
    }
    for (const char* below : {"device", "firmware", "model", "dsp_math", "app", "platform"}) {
        EXPECT_TRUE(mTable.MayInclude("virtual_device", below)) << below;
    }
    EXPECT_FALSE(mTable.MayInclude("virtual_device", "jobs"));
}

TEST_F(ProgramTable, TheLayersWithoutQtAreTheDesignsAndTheirTests) {
    for (const char* layer : {"app", "device", "firmware", "model", "dsp_math", "jobs",
                              "virtual_device", "controller", "cli", "cli/tests"}) {
        EXPECT_FALSE(mTable.MayIncludeQt(layer)) << layer;
    }
    for (const char* layer : {"platform", "toolkit", "ui/main", "ui/tests", "program"}) {
        EXPECT_TRUE(mTable.MayIncludeQt(layer)) << layer;
    }
}

}  // namespace
