// Filter lists onto one output and firmware images into the amplifier, run
// as a script would.
#include "cli/tests/tool_run.h"
#include "firmware/test_images.h"

#include <cjson/cJSON.h>

namespace cli::testing {
namespace {

constexpr const char* kMixedList =
    "Preamp: -4.5 dB\n"
    "Filter 1: ON PK Fc 100 Hz Gain -3.0 dB Q 1.40\n"
    "Filter 2: ON LS Fc 105 Hz Gain 4.0 dB Q 0.71\n"
    "Filter 3: ON PK Fc 2000 Hz Gain 2.5 dB Q 3.00\n";

class ToolEqTest : public ToolTest {
protected:
    void SetUp() override {
        ToolTest::SetUp();
        ASSERT_EQ(Run({"info"}).code, 0);
        std::ofstream(Path("mixed.txt")) << kMixedList;
    }
};

TEST_F(ToolEqTest, AListThatDoesNotFitWhollyIsAppliedOnlyWhenAsked) {
    const std::string before = FileText(Path("amp.json"));
    ToolResult result = Run({"eq", "import", "2", Path("mixed.txt").string()});
    EXPECT_EQ(result.code, 4);
    EXPECT_EQ(result.err,
              "tq-dsp: some filters do not fit output 2; nothing applied (add --apply-fitting "
              "to apply the ones that fit)\n");
    EXPECT_NE(result.out.find("2 of the 3 filters in the file fit output 2 (21 bands)."),
              std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("Filter 2: the type LS is not a peaking filter."), std::string::npos)
        << result.out;
    EXPECT_EQ(result.out.find("${"), std::string::npos) << result.out;
    EXPECT_EQ(FileText(Path("amp.json")), before);

    const virtual_device::ChannelState output1Before = Amplifier().protocol->State(0).channels[0];
    result = Run({"eq", "import", "2", Path("mixed.txt").string(), "--apply-fitting"});
    ASSERT_EQ(result.code, 0) << result.err;
    const virtual_device::AmplifierState after = Amplifier().protocol->State(0);
    EXPECT_EQ(after.channels[1].eq[0].frequency, 100);
    EXPECT_EQ(after.channels[1].eq[1].frequency, 2000);
    EXPECT_EQ(after.channels[0], output1Before);  // only the output named

    result = Run({"eq", "export", "2"});
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_NE(result.out.find("Filter 1: ON PK Fc 100 Hz Gain -3.0 dB Q 1.40\n"), std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("Filter 2: ON PK Fc 2000 Hz Gain 2.5 dB Q 3.00\n"), std::string::npos)
        << result.out;
    // What was exported imports back whole: every band fits.
    std::ofstream(Path("out2.txt")) << result.out;
    result = Run({"eq", "import", "3", Path("out2.txt").string()});
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(Amplifier().protocol->State(0).channels[2].eq, after.channels[1].eq);
}

TEST_F(ToolEqTest, BadOutputsAndFilesChangeNothing) {
    for (const char* output : {"0", "11", "x", ""}) {
        ExpectRefused({"eq", "export", output}, 2,
                      std::string("bad output '") + output + "'; outputs are 1 to 10");
    }
    ExpectRefused({"eq", "import", "1"}, 2,
                  "usage: tq-dsp eq import OUTPUT FILE [--apply-fitting] | eq export OUTPUT");
    ExpectRefused({"eq", "import", "1", Path("none.txt").string()}, 4,
                  "'" + Path("none.txt").string() + "': The filter file cannot be opened.");
    std::ofstream(Path("empty.txt")) << "";
    ExpectRefused({"eq", "import", "1", Path("empty.txt").string()}, 4,
                  "'" + Path("empty.txt").string() + "': The filter file is empty.");
    std::ofstream(Path("shelves.txt")) << "Filter 1: ON LS Fc 105 Hz Gain 4.0 dB Q 0.71\n";
    const ToolResult result =
        Run({"eq", "import", "1", Path("shelves.txt").string(), "--apply-fitting"});
    EXPECT_EQ(result.code, 4);
    EXPECT_EQ(result.err, "tq-dsp: no filter of '" + Path("shelves.txt").string() +
                              "' fits output 1; nothing applied\n");
}

class ToolFirmwareTest : public ToolTest {
protected:
    std::string WriteImage(const std::string& name, firmware::UpgradeTarget target,
                           bool damaged = false) {
        std::vector<uint8_t> image = firmware::MakeTestImageFor(target);
        if (damaged) {
            image[image.size() / 2] ^= 0x5A;
        }
        return WriteBytes(name, image);
    }

    std::string WriteBytes(const std::string& name, const std::vector<uint8_t>& image) {
        std::ofstream(Path(name), std::ios::binary)
            .write(reinterpret_cast<const char*>(image.data()),
                   static_cast<std::streamsize>(image.size()));
        return Path(name).string();
    }

    // A member of what `info --json` printed.
    std::string InfoMember(const char* key) {
        const ToolResult result = Run({"--json", "info"});
        EXPECT_EQ(result.code, 0) << result.err;
        std::unique_ptr<cJSON, decltype(&cJSON_Delete)> root(cJSON_Parse(result.out.c_str()),
                                                             cJSON_Delete);
        const cJSON* item = cJSON_GetObjectItemCaseSensitive(root.get(), key);
        return cJSON_IsString(item) ? item->valuestring : "(missing " + std::string(key) + ")";
    }
};

TEST_F(ToolFirmwareTest, InfoTellsTheVersionsTheLastUpdatesInstalled) {
    EXPECT_EQ(InfoMember("firmware"), "1.32");
    EXPECT_EQ(InfoMember("dspFlash"), "1.0.3.2");
    EXPECT_EQ(InfoMember("bootloader"), "2.0");

    // Each update is a run of its own; the amplifier keeps what it installed.
    const std::string mcu = WriteBytes(
        "MCU_UPG.bin", firmware::MakeTestImage({firmware::FW_PART_MCU, firmware::kTestImageModel,
                                                firmware::kMcuImageFileSize, 1, 1, 40}));
    ASSERT_EQ(Run({"--quiet", "firmware", "update", "--mcu", mcu}).code, 0);
    const std::string bootloader =
        WriteImage("BL_UPG.bin", firmware::UpgradeTarget::UPG_DEVICE_MCU_BL);
    ASSERT_EQ(Run({"--quiet", "firmware", "update", "--bootloader", bootloader}).code, 0);
    const std::string flash =
        WriteImage("FLASH_UPG.bin", firmware::UpgradeTarget::UPG_DEVICE_FLASH);
    ASSERT_EQ(Run({"--quiet", "firmware", "update", "--flash", flash}).code, 0);

    EXPECT_EQ(InfoMember("firmware"), "1.40");
    EXPECT_EQ(InfoMember("bootloader"), "2.1");
    EXPECT_EQ(InfoMember("dspFlash"), "1.32.0.0");
    const ToolResult plain = Run({"info"});
    EXPECT_NE(plain.out.find("firmware:     1.40\n"), std::string::npos) << plain.out;
    EXPECT_NE(plain.out.find("bootloader:   2.1\n"), std::string::npos) << plain.out;
}

TEST_F(ToolFirmwareTest, AFlashImageIsInstalledWithProgressLines) {
    const std::string image =
        WriteImage("FLASH_UPG.bin", firmware::UpgradeTarget::UPG_DEVICE_FLASH);
    const ToolResult result = Run({"firmware", "update", "--flash", image});
    ASSERT_EQ(result.code, 0) << result.err;
    // Not a terminal: plain lines, the last one the end.
    EXPECT_NE(result.err.find("updating 100/100\n"), std::string::npos) << result.err;
    EXPECT_EQ(result.err.find('\r'), std::string::npos);
    EXPECT_EQ(Run({"info"}).code, 0);
}

// The cable pulled in the middle of a microcontroller update: the amplifier
// waits in its upgrade program, also in the next run. info says so, the
// commands that need a running amplifier refuse, and a second update
// completes.
TEST_F(ToolFirmwareTest, AnUpdateCutShortIsToldByInfoAndFinishedByASecondUpdate) {
    ASSERT_EQ(Run({"info"}).code, 0);
    const std::string image = WriteImage("MCU_UPG.bin", firmware::UpgradeTarget::UPG_DEVICE_MCU);
    SaveAmplifier(*Amplifier().protocol, 1000);  // well inside the image's 2797 blocks
    ToolResult result = Run({"--quiet", "firmware", "update", "--mcu", image});
    EXPECT_EQ(result.code, 1);
    EXPECT_TRUE(Amplifier().protocol->InUpgradeProgram());

    result = Run({"info"});
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_NE(result.out.find("state:        in its upgrade program; finish the update with "
                              "'tq-dsp firmware update'\n"),
              std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("model:        not reported\n"), std::string::npos) << result.out;
    EXPECT_EQ(InfoMember("firmware"), "");
    result = Run({"--json", "list"});
    EXPECT_NE(result.out.find("\"upgradeProgram\":\ttrue"), std::string::npos) << result.out;
    ExpectRefused({"dump"}, 1,
                  "the amplifier is in its upgrade program; finish it with 'tq-dsp firmware "
                  "update'");

    ASSERT_EQ(Run({"--quiet", "firmware", "update", "--mcu", image}).code, 0);
    EXPECT_FALSE(Amplifier().protocol->InUpgradeProgram());
    result = Run({"info"});
    EXPECT_NE(result.out.find("state:        running\n"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("model:        94 (VTA3300.4-KM)\n"), std::string::npos)
        << result.out;
    EXPECT_EQ(Run({"dump"}).code, 0);
}

// Ctrl-C while an image is being installed does not stop it: the user is
// told why, and the update completes.
TEST_F(ToolFirmwareTest, CtrlCDoesNotCutAnUpdateShort) {
    const std::string image =
        WriteImage("FLASH_UPG.bin", firmware::UpgradeTarget::UPG_DEVICE_FLASH);
    const ToolResult result = RunInterrupted({"--quiet", "firmware", "update", "--flash", image},
                                             SIGINT, std::chrono::milliseconds(1500));
    EXPECT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(result.err,
              "tq-dsp: the update goes on: stopping it now would leave the amplifier in its "
              "upgrade program\n");
    EXPECT_FALSE(Amplifier().protocol->InUpgradeProgram());
    EXPECT_EQ(InfoMember("dspFlash"), "1.32.0.0");
}

TEST_F(ToolFirmwareTest, OnATerminalTheProgressIsOneBarRedrawnInPlace) {
    const std::string image =
        WriteImage("FLASH_UPG.bin", firmware::UpgradeTarget::UPG_DEVICE_FLASH);
    const ToolResult result = RunOnTerminal({"firmware", "update", "--flash", image});
    ASSERT_EQ(result.code, 0) << result.err;
    // Redrawn from the line's start, full at the end, and closed by one line
    // end (a terminal shows "\n" as "\r\n").
    EXPECT_NE(result.err.find("\rupdating [" + std::string(30, '#') + "] 100/100\r\n"),
              std::string::npos)
        << result.err;
    EXPECT_NE(result.err.find("\rupdating [#"), result.err.rfind("\rupdating [#"))
        << "the bar was drawn once: " << result.err;
    EXPECT_EQ(result.err.find("updating 100/100\r\n"), std::string::npos);  // no plain lines
}

TEST_F(ToolFirmwareTest, WrongOrDamagedImagesAreRefused) {
    ASSERT_EQ(Run({"info"}).code, 0);
    const std::string flash =
        WriteImage("FLASH_UPG.bin", firmware::UpgradeTarget::UPG_DEVICE_FLASH);
    ExpectRefused({"firmware", "update", "--mcu", flash}, 4,
                  "'" + flash + "' is not named as a microcontroller image (its name contains " +
                      "MCU_UPG.BIN)");
    const std::string damaged =
        WriteImage("MCU_UPG.bin", firmware::UpgradeTarget::UPG_DEVICE_MCU, true);
    ExpectRefused(
        {"firmware", "update", "--mcu", damaged}, 4,
        "'" + damaged + "' is not a firmware image for this amplifier; use the image made for it");
    ExpectRefused({"firmware", "update", "--flash", Path("FLASH_UPG_missing.bin").string()}, 4,
                  "'" + Path("FLASH_UPG_missing.bin").string() +
                      "' is not named as a DSP flash image (its name contains FLASH_UPG.BIN)");
    ExpectRefused({"firmware", "update", "--dsp", flash}, 2,
                  "unknown option '--dsp'; see 'tq-dsp --help'");
    ExpectRefused({"firmware", "update", "--flash"}, 2,
                  "usage: tq-dsp firmware update --mcu FILE | --bootloader FILE | --flash FILE");
}

}  // namespace
}  // namespace cli::testing
