// The program's command line, as a Linux user types it.
#include <gtest/gtest.h>

#include "app/command_line.h"

namespace {

TEST(CommandLine, KnownOptions) {
    EXPECT_TRUE(app::ParseCommandLine({"--help"}).showHelp);
    EXPECT_TRUE(app::ParseCommandLine({"-h"}).showHelp);
    EXPECT_TRUE(app::ParseCommandLine({"--version"}).showVersion);
    EXPECT_TRUE(app::ParseCommandLine({"-V"}).showVersion);
    app::CommandLine line = app::ParseCommandLine({"--virtual-device"});
    EXPECT_TRUE(line.virtualDevice);
    EXPECT_FALSE(line.showHelp);
    EXPECT_TRUE(line.error.empty());
    EXPECT_TRUE(app::ParseCommandLine({}).error.empty());
}

TEST(CommandLine, RestartedIsOnlyOnWhenGiven) {
    EXPECT_FALSE(app::ParseCommandLine({}).restarted);
    EXPECT_FALSE(app::ParseCommandLine({"--virtual-device"}).restarted);
    const app::CommandLine line = app::ParseCommandLine({"--restarted", "--virtual-device"});
    EXPECT_TRUE(line.restarted);
    EXPECT_TRUE(line.virtualDevice);
    EXPECT_TRUE(line.error.empty());
    EXPECT_FALSE(app::ParseCommandLine({"--restarted=yes"}).error.empty());
}

TEST(CommandLine, AnUnknownOptionIsNamedInTheError) {
    app::CommandLine line = app::ParseCommandLine({"--virtual-device", "--frobnicate", "-x"});
    EXPECT_EQ(line.error, "unrecognized option '--frobnicate'");
}

TEST(CommandLine, UsageNamesEveryOption) {
    const std::string usage = app::UsageText("tq-dsp-audio");
    EXPECT_EQ(usage.rfind("Usage: tq-dsp-audio [OPTION]...", 0), 0u);
    for (const char* option : {"--virtual-device", "--help", "--version", "--dump-model-config",
                               "--virtual-firmware=M.N", "--restarted"}) {
        EXPECT_NE(usage.find(option), std::string::npos) << option;
    }
}

TEST(CommandLine, VirtualFirmwareStartsTheVirtualAmplifierWithThatVersion) {
    const app::CommandLine line = app::ParseCommandLine({"--virtual-firmware=1.20"});
    EXPECT_TRUE(line.error.empty()) << line.error;
    EXPECT_TRUE(line.virtualDevice) << "implies --virtual-device";
    ASSERT_TRUE(line.virtualFirmware.has_value());
    EXPECT_EQ(line.virtualFirmware->major, 1);
    EXPECT_EQ(line.virtualFirmware->minor, 20);
    const app::CommandLine edges = app::ParseCommandLine({"--virtual-firmware=255.0"});
    ASSERT_TRUE(edges.virtualFirmware.has_value());
    EXPECT_EQ(edges.virtualFirmware->major, 255);
    EXPECT_EQ(edges.virtualFirmware->minor, 0);
    EXPECT_FALSE(app::ParseCommandLine({"--virtual-device"}).virtualFirmware.has_value());
    const std::string usage = app::UsageText("tq-dsp-audio");
    EXPECT_NE(usage.find("  --virtual-firmware=M.N   the virtual amplifier reports firmware M.N "
                         "(older than 1.32 to see the update)\n"),
              std::string::npos);
}

TEST(CommandLine, BadVirtualFirmwareIsAClearErrorAndStartsNothing) {
    for (const char* bad :
         {"x", "1.", ".5", "300.1", "1.256", "1.2.3", "-1.2", "1,20", "", "1.2x", "0001.2"}) {
        SCOPED_TRACE(bad);
        const app::CommandLine line =
            app::ParseCommandLine({std::string("--virtual-firmware=") + bad});
        EXPECT_EQ(line.error, std::string("invalid firmware version '") + bad +
                                  "' for --virtual-firmware (expected MAJOR.MINOR, such as 1.20)");
        EXPECT_FALSE(line.virtualFirmware.has_value());
        EXPECT_FALSE(line.virtualDevice);
    }
    // The first problem is the one named.
    EXPECT_EQ(app::ParseCommandLine({"--nope", "--virtual-firmware=x"}).error,
              "unrecognized option '--nope'");
}

}  // namespace
