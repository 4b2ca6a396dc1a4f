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

TEST(CommandLine, AnUnknownOptionIsNamedInTheError) {
    app::CommandLine line = app::ParseCommandLine({"--virtual-device", "--frobnicate", "-x"});
    EXPECT_EQ(line.error, "unrecognized option '--frobnicate'");
}

TEST(CommandLine, UsageNamesEveryOption) {
    const std::string usage = app::UsageText("tq-dsp-audio");
    EXPECT_EQ(usage.rfind("Usage: tq-dsp-audio [OPTION]...", 0), 0u);
    for (const char* option : {"--virtual-device", "--help", "--version", "--dump-model-config"}) {
        EXPECT_NE(usage.find(option), std::string::npos) << option;
    }
}

}  // namespace
