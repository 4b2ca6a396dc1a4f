// The text dump of the model record: byte-exact lines, the index rule, and
// the file it leaves behind.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "app/model_cfg.h"
#include "testkit/temp_dir.h"

namespace {

// Expected lines in the file's own encoding: GBK comments, tabs, and the
// value rendering of each field kind.
const std::string kMaxDelayLine =
    "\t\t15.00,\t\t\t// mMAX_DELAY_MS - \xD7"
    "\xEE"
    "\xB4"
    "\xF3"
    "\xD1"
    "\xD3"
    "\xCA"
    "\xB1"
    "\n";
const std::string kDisconnectColourLine =
    "\t\t0xFFFF0000,\t\t// mDISCONNECT_BUTTON_COLOR - \xB6"
    "\xCF"
    "\xBF"
    "\xAA"
    "\xB0"
    "\xB4"
    "\xC5"
    "\xA5"
    "\xD1"
    "\xD5"
    "\xC9"
    "\xAB"
    "\n";
const std::string kFirstHeading =
    "\n\t\t// \xBB"
    "\xF9"
    "\xB1"
    "\xBE"
    "\xD0"
    "\xC5"
    "\xCF"
    "\xA2"
    "\n";
const std::string kIconLine =
    "\t\t\"Res\\\\Tessaloran.ico\",\t\t// mMARAVO_ICON - \xCD"
    "\xBC"
    "\xB1"
    "\xEA"
    "\xCE"
    "\xC4"
    "\xBC"
    "\xFE"
    "\n";
const std::string kLogoLine =
    "\t\t_T(\"\"),\t\t// mLOGO_PNG - \xD3"
    "\xC3"
    "\xD3"
    "\xDA"
    "\xB6"
    "\xE0"
    "\xB8"
    "\xF6"
    "\xB2"
    "\xFA"
    "\xC6"
    "\xB7"
    "\xB9"
    "\xB2"
    "\xD3"
    "\xC3"
    "\xC6"
    "\xA4"
    "\xB7"
    "\xF4"
    "\xCA"
    "\xB1"
    ",\xCE"
    "\xAA"
    "\xC4"
    "\xB3"
    "\xB8"
    "\xF6"
    "\xB2"
    "\xFA"
    "\xC6"
    "\xB7"
    "\xD6"
    "\xB8"
    "\xB6"
    "\xA8"
    "logo\xCD"
    "\xBC"
    "\xC6"
    "\xAC"
    "\n";
const std::string kCustomEqLine =
    "\t\t20,\t\t// \xD7"
    "\xD4"
    "\xB6"
    "\xA8"
    "\xD2"
    "\xE5"
    "EQ\xCA"
    "\xFD"
    "\xC1"
    "\xBF"
    " - \xB6"
    "\xD4"
    "\xD3"
    "\xA6"
    "\xBA"
    "\xEA"
    " CUSTOM_EQ_NUM\n";
const std::string kTailLines =
    "\n\t\t// \xCE"
    "\xB2"
    "\xB2"
    "\xBF"
    "\xB6"
    "\xD4"
    "\xC6"
    "\xEB"
    "\xD7"
    "\xD6"
    "\xB7"
    "\xFB"
    "\xB4"
    "\xAE"
    "\n\t_T(\"end\")\t\t\t// mAlignStr - \xCE"
    "\xB2"
    "\xB2"
    "\xBF"
    "\xB6"
    "\xD4"
    "\xC6"
    "\xEB"
    "\xD7"
    "\xD6"
    "\xB7"
    "\xFB"
    "\xB4"
    "\xAE"
    "\n\t}\n";
const std::string kStepLine =
    "\t\t0.05,\t\t// mEQ_FACTOR_STEP - EQ\xD2"
    "\xF2"
    "\xD7"
    "\xD3"
    "\xB2"
    "\xBD"
    "\xB3"
    "\xA4"
    "\n";
const std::string kForceColourLine =
    "\t\t0,\t\t\t// mCRUVE_FORCE_COLOR - \xD6"
    "\xB8"
    "\xB6"
    "\xA8"
    "EQ\xC7"
    "\xFA"
    "\xCC"
    "\xF5"
    "\xD1"
    "\xD5"
    "\xC9"
    "\xAB"
    "\xD6"
    "\xB5"
    ",\xCE"
    "\xAA"
    "0\xCA"
    "\xB9"
    "\xD3"
    "\xC3"
    "\xC4"
    "\xAC"
    "\xC8"
    "\xCF"
    "\xD6"
    "\xB5"
    " - \xB6"
    "\xD4"
    "\xD3"
    "\xA6"
    "\xBA"
    "\xEA"
    " CRUVE_FORCE_COLOR \n";
const std::string kResourcePathLine =
    "\t\t_T(\"skin\\\\Maravo4to10_RB519K_DSP\\\\\"),\t\t// mRESOURCE_PATH - \xD7"
    "\xCA"
    "\xD4"
    "\xB4"
    "\xC2"
    "\xB7"
    "\xBE"
    "\xB6"
    "\n";

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class ModelCfgDumpTest : public ::testing::Test {
protected:
    testkit::TempWorkingDir mDir;  // also the current directory
};

TEST_F(ModelCfgDumpTest, WritesEveryFieldKindByteExact) {
    testing::internal::CaptureStdout();
    app::WriteModelCfgText(0);
    std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(printed, "ModelCfg for model 0 has been written to ./modelCfg/0.txt\n");

    std::string dump = ReadFile("modelCfg/0.txt");
    ASSERT_FALSE(dump.empty());
    EXPECT_EQ(dump.rfind("\t// VTA3300.4-KM\n\t{\n" + kFirstHeading, 0), 0u) << dump.substr(0, 80);
    for (const std::string* line :
         {&kMaxDelayLine, &kDisconnectColourLine, &kIconLine, &kLogoLine, &kCustomEqLine,
          &kStepLine, &kForceColourLine, &kResourcePathLine}) {
        EXPECT_NE(dump.find(*line), std::string::npos) << "missing line: " << *line;
    }
    EXPECT_TRUE(dump.size() >= kTailLines.size() &&
                dump.compare(dump.size() - kTailLines.size(), kTailLines.size(), kTailLines) == 0);
}

TEST_F(ModelCfgDumpTest, HasOneLinePerDumpedFieldAndNoSwitchColourLine) {
    app::WriteModelCfgText(0);
    std::string dump = ReadFile("modelCfg/0.txt");
    EXPECT_EQ(dump.find("mSWITCH_BUTTON_TEXT_COLOR"), std::string::npos);
    // 159 fields in the record; the switch colour is left out and the
    // CUSTOM_EQ_NUM line has no name, so 157 lines carry "// m...".
    size_t namedLines = 0;
    for (size_t at = dump.find("// m"); at != std::string::npos; at = dump.find("// m", at + 1)) {
        ++namedLines;
    }
    EXPECT_EQ(namedLines, 157u);
    // Fifteen section headings, each after an empty line.
    size_t headings = 0;
    for (size_t at = dump.find("\n\n\t\t// "); at != std::string::npos;
         at = dump.find("\n\n\t\t// ", at + 1)) {
        ++headings;
    }
    EXPECT_EQ(headings, 15u);
}

TEST_F(ModelCfgDumpTest, IndexLimits) {
    testing::internal::CaptureStdout();
    app::WriteModelCfgText(178);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "ModelCfg for model 178 has been written to ./modelCfg/178.txt\n");
    EXPECT_TRUE(std::filesystem::exists("modelCfg/178.txt"));

    std::filesystem::remove_all("modelCfg");
    testing::internal::CaptureStdout();
    app::WriteModelCfgText(179);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Invalid model index: 179\n");
    EXPECT_FALSE(std::filesystem::exists("modelCfg"));

    testing::internal::CaptureStdout();
    app::WriteModelCfgText(-1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Invalid model index: -1\n");
    EXPECT_FALSE(std::filesystem::exists("modelCfg"));
}

TEST_F(ModelCfgDumpTest, WritingTwiceReplacesTheFile) {
    std::filesystem::create_directory("modelCfg");
    std::ofstream("modelCfg/5.txt") << std::string(100000, 'x');
    app::WriteModelCfgText(5);
    std::string first = ReadFile("modelCfg/5.txt");
    app::WriteModelCfgText(5);
    EXPECT_EQ(ReadFile("modelCfg/5.txt"), first);
    EXPECT_EQ(first.find('x' + std::string(10, 'x')), std::string::npos);
}

TEST_F(ModelCfgDumpTest, UnwritableFolderIsReported) {
    std::ofstream("modelCfg") << "a file where the folder should be";
    testing::internal::CaptureStdout();
    app::WriteModelCfgText(3);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Failed to open file: ./modelCfg/3.txt\n");
}

TEST(ModelCfgRecord, HoldsTheModelsValuesAndInvariants) {
    const app::ModelCfg& cfg = app::CurrentModelCfg();
    EXPECT_EQ(cfg.mFw_Model_ID, 94);
    EXPECT_STREQ(cfg.mMODEL_NAME, "VTA3300.4-KM");
    EXPECT_EQ(std::u16string(cfg.mPROGRAM_TITLE), u"TQ DSP Audio");
    EXPECT_EQ(std::u16string(cfg.mRESOURCE_PATH), u"skin\\Maravo4to10_RB519K_DSP\\");
    EXPECT_EQ(cfg.mOUT_CHANNEL_NUMBER, 10);
    EXPECT_EQ(cfg.mOUTPUT_EQ_NUMBER, 21);
    EXPECT_TRUE(cfg.mSWITCH_BUTTON_TEXT_COLOR);
    for (int inputs : {cfg.mOPT_INPUT_CHANNEL_NUMBER, cfg.mCOAX_INPUT_CHANNEL_NUMBER,
                       cfg.mBT_INPUT_CHANNEL_NUMBER, cfg.mLOW_INPUT_CHANNEL_NUMBER,
                       cfg.mHI_INPUT_CHANNEL_NUMBER, cfg.mDMP_INPUT_CHANNEL_NUMBER}) {
        EXPECT_LE(inputs, cfg.mMAX_INPUT_CHANNEL_NUMBER);
    }
    EXPECT_FLOAT_EQ(cfg.mMAX_DELAY_CM, cfg.mMAX_DELAY_MS * 34.6f);
    EXPECT_FLOAT_EQ(cfg.mMAX_DELAY_INCH, cfg.mMAX_DELAY_MS * 13.6f);
    // Filling again changes nothing: the record is filled once.
    const app::ModelCfg* before = &cfg;
    app::FillModelCfg();
    EXPECT_EQ(&app::CurrentModelCfg(), before);
    EXPECT_EQ(app::CurrentModelCfg().mFw_Model_ID, 94);
}

}  // namespace
