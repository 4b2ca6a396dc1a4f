// Every way a run can fail: its exit code, its one line on standard error,
// and nothing changed on the amplifier or on disk.
#include "app/settings.h"
#include "app/startup.h"
#include "cli/tests/tool_run.h"
#include "model/device_names.h"
#include "model/profile.h"
#include "model/profile_file.h"
#include "platform/single_instance.h"

namespace cli::testing {
namespace {

class ToolErrorTest : public ToolTest {
protected:
    void SetUp() override {
        ToolTest::SetUp();
        ASSERT_EQ(Run({"info"}).code, 0);  // the state file exists from here on
    }
};

TEST_F(ToolErrorTest, NoAmplifierOrNotTheOneNamed) {
    ToolResult result = RunPlain({"info"});
    EXPECT_EQ(result.code, 3);
    EXPECT_EQ(result.err, "tq-dsp: no amplifier found; connect one or use --virtual-device\n");
    result = RunPlain({"list"});
    EXPECT_EQ(result.code, 3);
    ExpectRefused({"--device", "AMP-XYZ", "dump"}, 3,
                  "no amplifier 'AMP-XYZ' found; see 'tq-dsp list' for the attached ones");
    // By serial number and by path the amplifier is found.
    EXPECT_EQ(Run({"--device", "VTA3300-DEMO", "info"}).code, 0);
    EXPECT_EQ(Run({"--device=virtual:0", "info"}).code, 0);
}

TEST_F(ToolErrorTest, RealAmplifiersAreLeftAloneWhileTheProgramRuns) {
    auto program = std::make_unique<platform::SingleInstanceLock>(app::InstanceMutexName());
    ASSERT_TRUE(program->IsFirstInstance());
    for (const char* command : {"info", "list", "dump"}) {
        const ToolResult result = RunPlain({command});
        EXPECT_EQ(result.code, 1) << command;
        EXPECT_EQ(result.err,
                  "tq-dsp: TQ DSP Audio or another tq-dsp is using the amplifiers; close it, then "
                  "run tq-dsp again\n");
    }
    // The virtual amplifier is the tool's own.
    EXPECT_EQ(Run({"info"}).code, 0);
    // Once the program is closed the tool looks for amplifiers again.
    program.reset();
    EXPECT_EQ(RunPlain({"info"}).code, 3);
}

// Ctrl-C in the middle of a backup (ten seconds for ten scenes): the read
// stops at its next step, no file is written, and the run ends through its
// usual path, so the virtual amplifier's state is kept.
TEST_F(ToolErrorTest, CtrlCStopsABackupAndLeavesNoFile) {
    const std::string file = Path("stopped.wpf").string();
    const ToolResult result =
        RunInterrupted({"--quiet", "backup", file}, SIGINT, std::chrono::milliseconds(2500));
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.err,
              "tq-dsp: stopping after the current step (press Ctrl-C again to quit at once)\n"
              "tq-dsp: reading the scenes was stopped; run the command again\n");
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_EQ(Run({"info"}).code, 0);  // let go of properly: the next run finds it
}

TEST_F(ToolErrorTest, BadArgumentsTouchNothing) {
    ExpectRefused({"frobnicate"}, 2, "unknown command 'frobnicate'; see 'tq-dsp --help'");
    ExpectRefused({}, 2, "no command given; see 'tq-dsp --help'");
    ExpectRefused({"--colour", "info"}, 2, "unknown option '--colour'; see 'tq-dsp --help'");
    ExpectRefused({"info", "--device"}, 2,
                  "--device needs a path or a serial number; see 'tq-dsp --help'");
    ExpectRefused({"backup"}, 2, "usage: tq-dsp backup FILE.wpf");
    ExpectRefused({"backup", Path("x.spf").string()}, 2,
                  "a backup is a .wpf file; name it FILE.wpf");
    EXPECT_FALSE(std::filesystem::exists(Path("x.spf")));
}

TEST_F(ToolErrorTest, BadSceneNumbersAndNames) {
    for (const char* number : {"0", "11", "x", "3x", "", "007"}) {
        ExpectRefused({"scene", "save", number}, 2,
                      std::string("bad scene number '") + number + "'; scenes are 1 to 10");
    }
    ExpectRefused({"scene", "load", "12"}, 2, "bad scene number '12'; scenes are 1 to 10");
    ExpectRefused({"scene", "delete", "0"}, 2, "bad scene number '0'; scenes are 1 to 10");
    ExpectRefused({"scene", "save", "4", "Too long"}, 2, "a scene name has 1 to 7 characters");
    ExpectRefused({"scene", "save", "4", "Daily"}, 2,
                  "scene 1 is already named 'Daily'; choose another name");
    ExpectRefused({"scene", "load", "9"}, 2, "scene 9 is empty; see 'tq-dsp scene list'");
    ExpectRefused({"scene", "rename", "1"}, 2,
                  "usage: tq-dsp scene list | scene save N [NAME] | scene load N | scene "
                  "delete N");
}

TEST_F(ToolErrorTest, BadFilesAreRefusedBeforeTheAmplifierIsTouched) {
    std::ofstream(Path("garbage.wpf")) << "\x01\x02 not a profile";
    std::ofstream(Path("cut.wpf")) << "{\"model\":94,\"channels\":[";
    std::ofstream(Path("tune.txt")) << "{}";
    std::ofstream(Path("garbage.spf")) << "{\"model\":94,\"channels\":7}";
    ExpectRefused({"restore", Path("garbage.wpf").string()}, 4,
                  "'" + Path("garbage.wpf").string() + "' is not a profile file");
    ExpectRefused({"restore", Path("cut.wpf").string()}, 4,
                  "'" + Path("cut.wpf").string() + "' is not a profile file");
    ExpectRefused({"restore", Path("garbage.spf").string()}, 4,
                  "'" + Path("garbage.spf").string() + "' is damaged; use another copy");
    ExpectRefused({"restore", Path("missing.spf").string()}, 4,
                  "cannot read '" + Path("missing.spf").string() + "'; check the name");
    ExpectRefused({"restore", Path("tune.txt").string()}, 4,
                  "'" + Path("tune.txt").string() + "' is neither a .wpf nor a .spf file");
    // A scene profile is not a whole configuration.
    auto profile = std::make_unique<model::Profile>();
    model::ProfileFile file;
    ASSERT_TRUE(file.writeSceneProfile(*profile, Path("scene.spf"), false));
    std::filesystem::copy_file(Path("scene.spf"), Path("scene.wpf"));
    const ToolResult result = Run({"restore", Path("scene.wpf").string()});
    EXPECT_EQ(result.code, 4);
    EXPECT_NE(result.err.find("scene.wpf"), std::string::npos) << result.err;
}

TEST_F(ToolErrorTest, ADamagedStateFileIsNamedAndKept) {
    std::ofstream(Path("amp.json")) << "{\"kind\":\"tq-virtual-amplifier\",\"format\":1}";
    const std::string before = FileText(Path("amp.json"));
    const ToolResult result = Run({"info"});
    EXPECT_EQ(result.code, 4);
    EXPECT_EQ(result.err, "tq-dsp: the virtual amplifier state file is incomplete '" +
                              Path("amp.json").string() + "'; remove it to start afresh\n");
    EXPECT_EQ(FileText(Path("amp.json")), before);
}

TEST_F(ToolErrorTest, APulledAmplifierMidBackupLeavesNoFile) {
    SaveAmplifier(*Amplifier().protocol, 400);  // well into the scenes' read-back
    const ToolResult result = Run({"--quiet", "backup", Path("c.wpf").string()});
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.err,
              "tq-dsp: the amplifier went away while reading the scenes; reconnect it and run "
              "the command again\n");
    for (const auto& entry : std::filesystem::directory_iterator(mFolder.path())) {
        EXPECT_EQ(entry.path().string().find("c.wpf"), std::string::npos) << entry.path();
    }
    // The fault happens once: the next run finds the amplifier again.
    EXPECT_EQ(Run({"info"}).code, 0);
}

TEST_F(ToolErrorTest, ListShowsTheNicknameFromTheSharedSettings) {
    ASSERT_TRUE(
        app::WriteSetting("DeviceNickNames", model::DeviceKeyOf("VTA3300-DEMO"), "Blue van"));
    const ToolResult result = Run({"--json", "list"});
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_NE(result.out.find("\"nickname\":\t\"Blue van\""), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("\"model\":\t\"94\""), std::string::npos) << result.out;
}

}  // namespace
}  // namespace cli::testing
