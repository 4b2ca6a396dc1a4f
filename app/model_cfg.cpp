#include "app/model_cfg.h"

#include <cstring>
#include <mutex>
#include <string_view>

namespace app {
namespace {

ModelCfg gModelCfgTable[1];

template <size_t N>
void CopyText(char (&field)[N], std::string_view text) {
    std::memset(field, 0, N);
    std::memcpy(field, text.data(), text.size() < N ? text.size() : N - 1);
}

template <size_t N>
void CopyText(char16_t (&field)[N], std::u16string_view text) {
    std::memset(field, 0, sizeof(field));
    std::memcpy(field, text.data(), (text.size() < N ? text.size() : N - 1) * sizeof(char16_t));
}

void FillBasicInformation(ModelCfg& c) {
    c.mFw_Model_ID = 94;
    c.mSw_Model_ID = 143;
    c.mNO_CHECK_ID = false;
    CopyText(c.mMODEL_NAME, "VTA3300.4-KM");
    CopyText(c.mMODEL_NAME_SHOW, "VTA3300.4-KM");
    CopyText(c.mPROGRAM_TITLE, u"TQ DSP Audio");
    CopyText(c.mRESOURCE_PATH, u"skin\\Maravo4to10_RB519K_DSP\\");
    CopyText(c.mMARAVO_ICON, "Res\\Tessaloran.ico");
    CopyText(c.mLOGO_PNG, u"");
    CopyText(c.mCOMPANY_URL_STR, u"");
}

void FillFirmwareFiles(ModelCfg& c) {
    CopyText(c.mMARAVO_MCU, "Res\\fw\\VTA33004KM_MCU_UPG.bin");
    CopyText(c.mMARAVO_FLASH, "Res\\fw\\VTA33004KM_FLASH_UPG.bin");
    CopyText(c.mUPG_TEXT, "VTA33004KM");
    CopyText(c.mMCU_FILE, u"VTA33004KM_MCU_UPG.bin");
    CopyText(c.mFLASH_FILE, u"VTA33004KM_FLASH_UPG.bin");
    CopyText(c.mUPG_FILE, u"VTA33004KM_MCU_UPG.bin,VTA33004KM_FLASH_UPG.bin");
    CopyText(c.mUPG_MCU_FILE, u"VTA33004KM_MCU_UPG.bin");
    c.mINNER_FW_MAIN_VER = 1;
    c.mINNER_FW_SLAVE_VER = 32;
}

void FillChannelConfiguration(ModelCfg& c) {
    c.mOUT_CHANNEL_NUMBER = 10;
    c.mOUT_LINK_NUMBER = 10;
    c.mOPT_INPUT_CHANNEL_NUMBER = 2;
    c.mCOAX_INPUT_CHANNEL_NUMBER = 0;
    c.mBT_INPUT_CHANNEL_NUMBER = 2;
    c.mAUX_INPUT_CHANNEL_NUMBER = 0;
    c.mLOW_INPUT_CHANNEL_NUMBER = 8;
    c.mHI_INPUT_CHANNEL_NUMBER = 8;
    c.mDMP_INPUT_CHANNEL_NUMBER = 2;
    c.mUDP_INPUT_CHANNEL_NUMBER = 0;
    c.mSCP_INPUT_CHANNEL_NUMBER = 0;
    c.mA2B_INPUT_CHANNEL_NUMBER = 0;
    c.mMAX_INPUT_CHANNEL_NUMBER = 8;
    c.mAUTO_CAL_CHANNEL_NUM = 8;
    c.mOUT_CHANNEL_MONITOR_NUMBER = 0;
}

void FillFeatureSwitches(ModelCfg& c) {
    c.mENABLE_INPUT_MIXER = true;
    c.mENABLE_MIXER_BUTTON = false;
    c.mENABLE_CROSS_SOURCE_MIX = false;
    c.mENABLE_AUTO_CALIBRATION = true;
    c.mENABLE_NOISE_THRESHOLD = false;
    c.mENABLE_POWEROFF_DELAY = false;
    c.mENABLE_DETECT_SUBWOOFER = true;
    c.mENABLE_DEFAULT_ENG = true;
    c.mFORCE_LANGUAGE_ENG = false;
    c.mENABLE_RUSSIA = true;
    c.mENABLE_BODER = false;
    c.mENABLE_SOURCE_TICK = false;
    c.mENABLE_KTV = false;
    c.mENABLE_COMPRESSOR = false;
    c.mENABLE_COMPRESSOR2 = false;
    c.mENABLE_COMPRESSOR_ON = false;
    c.mENABLE_AUTO_ON = false;
    c.mENABLE_CS_AUTO = false;
    c.mENABLE_CUSTOM_EQ = false;
    c.mENABLE_NOISE_SWITCH = false;
    c.mENABLE_FORCE_UPDATE = true;
    c.mENABLE_AUTO_RETURN = false;
    c.mUPDATE_FLASH_FIRST = false;
}

void FillAdvancedFeatures(ModelCfg& c) {
    c.mHAS_LINK_GROUP = false;
    c.mHAS_LINK_SEL_CH_BUTTON = true;
    c.mHAS_DELAY_LINK_BUTTON = false;
    c.mSHOW_PHASE = false;
    c.mNO_BRIDGE_PHASE = false;
    c.mSET_OUTPUT_TYPE_NULL_WHEN_UNBRIDGE = true;
    c.mSET_PHASE_0_WHEN_UNBRIDGE = true;
    c.mCLEAR_MIXER_WHEN_UNBRIDGE = true;
    c.mSUPPORT_USB_DEVICE_OPTION = false;
    c.mSUPPORT_FLOAT_TRIM = false;
    c.mNOT_SUPPORT_AUX_CROSS_SOURCE_MIXER = false;
    c.mENABLE_FREQ_ADJUST_SMALL = false;
    c.mENABLE_IRC_TARGET_CURVE = true;
    c.mENABLE_FACTORY_TEST = false;
    c.mENABLE_DETECT_SUBWOOFER_ONLY = false;
    c.mENABLE_3POINT_SPK_IRC = true;
    c.mENABLE_TARGET_EQ = true;
    c.mENABLE_SPLIT_CROSS_SOURCE_MIX = true;
    c.mSPLIT_CROSS_SOURCE_MIX_CH = 2;
    c.mMXIER_CMD_FORMAT_CS47048 = true;
    c.mFORCE_SPLIT_CROSS_SOURCE_MIX_SAME_SOURCE = true;
    c.mFIRST_IN_CH_RUN_ON_DSP2 = 0;
    c.mMIXER_HI_LEVEL_LIMIT_CH_NUM = 0;
    c.mMIXER_SUPPORT_CHANNEL_NAME_AREA_DIFF = true;
    c.mSUPPORT_HI_LEVEL_CROSS_SOURCE_MIXER = true;
    c.mENABLE_VERTICAL_SLIDER = false;
    c.mNO_LIMIT_OUTPUT_TYPE_SELECTABLE = true;
}

void FillSpecialConfiguration(ModelCfg& c) {
    c.mEQ_BANDS_COUNT_TYPE = 4;
    c.mVOLUME_MAP = true;
    c.mCOMPANY_URL = 1;
    c.mEQ_TEXT_LINE_GRAY_CURVE_BLUE = false;
    c.mCRUVE_FORCE_COLOR = 0;
    c.mUSE_FULL_PASS_FILTER_NAME = false;
    c.mJIELI_PLATFORM = 0;
    c.mHAS_MAIN_DLG_VERSION = 0;
    c.mHIDE_FORCE_UPDATE_BOX = 0;
    c.mEQ_FREQ_MIN = 20;
    c.mOUTPUT_EQ_NUMBER = 21;
    c.mEQ_4BANDS_NOT_AJUST = false;
    c.mHAS_SURROUND = false;
    c.mUSE_KESTO_OUTPUT_TYPE = false;
    c.mOUTPUT_VISIBLE = true;
}

void FillMixerConfiguration(ModelCfg& c) {
    c.mUSE_LESS_PERCENT_FOR_WOOFER = false;
    c.mLESS_PERCENT = 100;
    c.mWOOFER_OFFSET = 4;
    c.mSUPPORT_LOW_LEVEL_CROSS_SOURCE_MIXER = true;
    c.mMIXER_NO_EXTRA_COLUMN = false;
    c.mMIXER_CH_WIDTH = 105;
    c.mMIXER_CH_HEIGHT = 72;
    c.mMIXER_MAX_INPUT_CH = 8;
    c.mMIXER_MAX_OUTPUT_CH = 10;
}

void FillLinkConfiguration(ModelCfg& c) {
    c.mLINK_SUB_CH_VOL = false;
    c.mLINK_LR_CH_VOL = true;
    c.mSELECT_LINK_CHANNEL = false;
    c.mLOCK_HIDE = false;
    c.mLINK_LR_CH_DELAY = true;
    c.mLINK_SEL_CH_DELAY = true;
    c.mLINK_CH_VOL_WITH_DELTA = true;
    c.mLINK_CH_DELAY_WITH_DELTA = true;
    c.mLINK_SELECTED_CH_EQ_WITH_DELTA = false;
    c.mONLY_COPY_SELECTED_EQ_POINT_WHEN_LINK = true;
    c.mDEFAULT_LINK_PHASE = false;
    c.mDEFAULT_LINK_MUTE = false;
    c.mOUT_LINK_STAGE1_NUM = 4;
}

void FillVolumeConfiguration(ModelCfg& c) {
    c.mVOLUME_SHOW_NO_DB = true;
    c.mVOLUME_SHOW_NO_OFF = false;
    c.mMAIN_VOLUME_SLIDER_MAX = 40;
    c.mMAIN_VOLUME_SLIDER_MIN = 0;
    c.mMAIN_VOLUME_SLIDER_DEFAULT = 30;
    c.mMAIN_VOLUME_VALUE_DIFF_TO_UI = 0;
    c.mMAIN_VOLUME_DEFAULT = 0;
    c.mMAIN_VOLUME_MAX = 6;
    c.mMAIN_VOLUME_MIN = -60;
}

void FillDelayAndEqConfiguration(ModelCfg& c) {
    c.mMAX_DELAY_MS = 15.0f;
    c.mMAX_DELAY_CM = 519.0f;
    c.mMAX_DELAY_INCH = 204.0f;
    c.mEQ_FACTOR_PRECISION = 2;
    c.mEQ_FACTOR_MAX = 9.0f;
    c.mEQ_FACTOR_MIN = 0.5f;
    c.mEQ_FACTOR_STEP = 0.05f;
    c.mCUSTOM_EQ_NUM = 20;
}

void FillOtherConfiguration(ModelCfg& c) {
    c.mChVolumeStep = 10;
    c.mChVolumeEditDiff = 0.0f;
    c.mAlignTrimTo5 = false;
    c.mMixerVol_ShowdB = false;
    c.mMixerVol_Max = 100;
    c.mMixerVol_Min = 0;
    c.mSEND_TOGETHER = false;
    c.mNO_MUTE_ON_MAIN_VOL = false;
    c.mNOISE_GATE_HAS_TWO_LAYER = false;
    c.mUNENABLE_INPUT_ZH = false;
    c.mMIN_NOISE_THRESHOLD = -61;
    c.mMIX_GAIN_MAX = 6;
    c.mDEFAULT_MAIN_VOLUME = -5;
}

void FillLookAndWindow(ModelCfg& c) {
    c.mDISCONNECT_BUTTON_COLOR = 0xFFFF0000u;
    c.mSWITCH_BUTTON_TEXT_COLOR = true;
    c.mNEED_NIMBUS_FONT = false;
    c.mNEED_PER_CH_EQ_PIC = false;
    c.mNEED_PER_CH_SPK_PIC = false;
    c.mDEFAULT_WINDOW_WIDTH = 1280;
    c.mDEFAULT_WINDOW_HEIGHT = 720;
    CopyText(c.mAlignStr, u"end");
}

void FillAll(ModelCfg& c) {
    std::memset(&c, 0, sizeof(c));
    FillBasicInformation(c);
    FillFirmwareFiles(c);
    FillChannelConfiguration(c);
    FillFeatureSwitches(c);
    FillAdvancedFeatures(c);
    FillSpecialConfiguration(c);
    FillMixerConfiguration(c);
    FillLinkConfiguration(c);
    FillVolumeConfiguration(c);
    FillDelayAndEqConfiguration(c);
    FillOtherConfiguration(c);
    FillLookAndWindow(c);
}

std::once_flag gFillOnce;

}  // namespace

// Filling is idempotent and thread-safe, so a test or tool that reads the
// record without going through the entry point still sees the model's values.
void FillModelCfg() {
    std::call_once(gFillOnce, [] { FillAll(gModelCfgTable[kCurrentModelIndex]); });
}

const ModelCfg& CurrentModelCfg() {
    FillModelCfg();
    return gModelCfgTable[kCurrentModelIndex];
}

ScopedModelCfg::ScopedModelCfg(const ModelCfg& record) : mSaved(CurrentModelCfg()) {
    gModelCfgTable[kCurrentModelIndex] = record;
}

ScopedModelCfg::~ScopedModelCfg() {
    gModelCfgTable[kCurrentModelIndex] = mSaved;
}

}  // namespace app
