// The compiled-in configuration of the product model. One build serves one
// model; every model-dependent choice of the program reads this record.
#pragma once

#include <cstdint>

namespace app {

// Plain record of fixed-size fields, in the order of the text dump. Texts are
// zero-terminated; wide texts are UTF-16. Colours are ARGB (alpha on top).
struct ModelCfg {
    // basic information
    int32_t mFw_Model_ID;
    int32_t mSw_Model_ID;
    bool mNO_CHECK_ID;
    char mMODEL_NAME[32];
    char mMODEL_NAME_SHOW[32];
    char16_t mPROGRAM_TITLE[64];
    char16_t mRESOURCE_PATH[128];
    char mMARAVO_ICON[64];
    char16_t mLOGO_PNG[64];
    char16_t mCOMPANY_URL_STR[128];
    // firmware files
    char mMARAVO_MCU[64];
    char mMARAVO_FLASH[64];
    char mUPG_TEXT[128];
    char16_t mMCU_FILE[128];
    char16_t mFLASH_FILE[128];
    char16_t mUPG_FILE[128];
    char16_t mUPG_MCU_FILE[128];
    int32_t mINNER_FW_MAIN_VER;
    int32_t mINNER_FW_SLAVE_VER;
    // channel configuration
    int32_t mOUT_CHANNEL_NUMBER;
    int32_t mOUT_LINK_NUMBER;
    int32_t mOPT_INPUT_CHANNEL_NUMBER;
    int32_t mCOAX_INPUT_CHANNEL_NUMBER;
    int32_t mBT_INPUT_CHANNEL_NUMBER;
    int32_t mAUX_INPUT_CHANNEL_NUMBER;
    int32_t mLOW_INPUT_CHANNEL_NUMBER;
    int32_t mHI_INPUT_CHANNEL_NUMBER;
    int32_t mDMP_INPUT_CHANNEL_NUMBER;
    int32_t mUDP_INPUT_CHANNEL_NUMBER;
    int32_t mSCP_INPUT_CHANNEL_NUMBER;
    int32_t mA2B_INPUT_CHANNEL_NUMBER;
    int32_t mMAX_INPUT_CHANNEL_NUMBER;
    int32_t mAUTO_CAL_CHANNEL_NUM;
    int32_t mOUT_CHANNEL_MONITOR_NUMBER;
    // feature switches
    bool mENABLE_INPUT_MIXER;
    bool mENABLE_MIXER_BUTTON;
    bool mENABLE_CROSS_SOURCE_MIX;
    bool mENABLE_AUTO_CALIBRATION;
    bool mENABLE_NOISE_THRESHOLD;
    bool mENABLE_POWEROFF_DELAY;
    bool mENABLE_DETECT_SUBWOOFER;
    bool mENABLE_DEFAULT_ENG;
    bool mFORCE_LANGUAGE_ENG;
    bool mENABLE_RUSSIA;
    bool mENABLE_BODER;
    bool mENABLE_SOURCE_TICK;
    bool mENABLE_KTV;
    bool mENABLE_COMPRESSOR;
    bool mENABLE_COMPRESSOR2;
    bool mENABLE_COMPRESSOR_ON;
    bool mENABLE_AUTO_ON;
    bool mENABLE_CS_AUTO;
    bool mENABLE_CUSTOM_EQ;
    bool mENABLE_NOISE_SWITCH;
    bool mENABLE_FORCE_UPDATE;
    bool mENABLE_AUTO_RETURN;
    bool mUPDATE_FLASH_FIRST;
    // advanced features
    bool mHAS_LINK_GROUP;
    bool mHAS_LINK_SEL_CH_BUTTON;
    bool mHAS_DELAY_LINK_BUTTON;
    bool mSHOW_PHASE;
    bool mNO_BRIDGE_PHASE;
    bool mSET_OUTPUT_TYPE_NULL_WHEN_UNBRIDGE;
    bool mSET_PHASE_0_WHEN_UNBRIDGE;
    bool mCLEAR_MIXER_WHEN_UNBRIDGE;
    bool mSUPPORT_USB_DEVICE_OPTION;
    bool mSUPPORT_FLOAT_TRIM;
    bool mNOT_SUPPORT_AUX_CROSS_SOURCE_MIXER;
    bool mENABLE_FREQ_ADJUST_SMALL;
    bool mENABLE_IRC_TARGET_CURVE;
    bool mENABLE_FACTORY_TEST;
    bool mENABLE_DETECT_SUBWOOFER_ONLY;
    bool mENABLE_3POINT_SPK_IRC;
    bool mENABLE_TARGET_EQ;
    bool mENABLE_SPLIT_CROSS_SOURCE_MIX;
    int32_t mSPLIT_CROSS_SOURCE_MIX_CH;
    bool mMXIER_CMD_FORMAT_CS47048;
    bool mFORCE_SPLIT_CROSS_SOURCE_MIX_SAME_SOURCE;
    int32_t mFIRST_IN_CH_RUN_ON_DSP2;
    int32_t mMIXER_HI_LEVEL_LIMIT_CH_NUM;
    bool mMIXER_SUPPORT_CHANNEL_NAME_AREA_DIFF;
    bool mSUPPORT_HI_LEVEL_CROSS_SOURCE_MIXER;
    bool mENABLE_VERTICAL_SLIDER;
    bool mNO_LIMIT_OUTPUT_TYPE_SELECTABLE;
    // special configuration
    int32_t mEQ_BANDS_COUNT_TYPE;
    bool mVOLUME_MAP;
    int32_t mCOMPANY_URL;
    bool mEQ_TEXT_LINE_GRAY_CURVE_BLUE;
    uint32_t mCRUVE_FORCE_COLOR;
    bool mUSE_FULL_PASS_FILTER_NAME;
    int32_t mJIELI_PLATFORM;
    int32_t mHAS_MAIN_DLG_VERSION;
    int32_t mHIDE_FORCE_UPDATE_BOX;
    int32_t mEQ_FREQ_MIN;
    int32_t mOUTPUT_EQ_NUMBER;
    bool mEQ_4BANDS_NOT_AJUST;
    bool mHAS_SURROUND;
    bool mUSE_KESTO_OUTPUT_TYPE;
    bool mOUTPUT_VISIBLE;
    // mixer configuration
    bool mUSE_LESS_PERCENT_FOR_WOOFER;
    int32_t mLESS_PERCENT;
    int32_t mWOOFER_OFFSET;
    bool mSUPPORT_LOW_LEVEL_CROSS_SOURCE_MIXER;
    bool mMIXER_NO_EXTRA_COLUMN;
    int32_t mMIXER_CH_WIDTH;
    int32_t mMIXER_CH_HEIGHT;
    int32_t mMIXER_MAX_INPUT_CH;
    int32_t mMIXER_MAX_OUTPUT_CH;
    // link configuration
    bool mLINK_SUB_CH_VOL;
    bool mLINK_LR_CH_VOL;
    bool mSELECT_LINK_CHANNEL;
    bool mLOCK_HIDE;
    bool mLINK_LR_CH_DELAY;
    bool mLINK_SEL_CH_DELAY;
    bool mLINK_CH_VOL_WITH_DELTA;
    bool mLINK_CH_DELAY_WITH_DELTA;
    bool mLINK_SELECTED_CH_EQ_WITH_DELTA;
    bool mONLY_COPY_SELECTED_EQ_POINT_WHEN_LINK;
    bool mDEFAULT_LINK_PHASE;
    bool mDEFAULT_LINK_MUTE;
    int32_t mOUT_LINK_STAGE1_NUM;
    // volume configuration
    bool mVOLUME_SHOW_NO_DB;
    bool mVOLUME_SHOW_NO_OFF;
    int32_t mMAIN_VOLUME_SLIDER_MAX;
    int32_t mMAIN_VOLUME_SLIDER_MIN;
    int32_t mMAIN_VOLUME_SLIDER_DEFAULT;
    int32_t mMAIN_VOLUME_VALUE_DIFF_TO_UI;
    int32_t mMAIN_VOLUME_DEFAULT;
    int32_t mMAIN_VOLUME_MAX;
    int32_t mMAIN_VOLUME_MIN;
    // delay configuration
    float mMAX_DELAY_MS;
    float mMAX_DELAY_CM;
    float mMAX_DELAY_INCH;
    // EQ configuration
    int32_t mEQ_FACTOR_PRECISION;
    float mEQ_FACTOR_MAX;
    float mEQ_FACTOR_MIN;
    float mEQ_FACTOR_STEP;
    int32_t mCUSTOM_EQ_NUM;
    // other configuration
    int32_t mChVolumeStep;
    float mChVolumeEditDiff;
    bool mAlignTrimTo5;
    bool mMixerVol_ShowdB;
    int32_t mMixerVol_Max;
    int32_t mMixerVol_Min;
    bool mSEND_TOGETHER;
    bool mNO_MUTE_ON_MAIN_VOL;
    bool mNOISE_GATE_HAS_TWO_LAYER;
    bool mUNENABLE_INPUT_ZH;
    int32_t mMIN_NOISE_THRESHOLD;
    int32_t mMIX_GAIN_MAX;
    int32_t mDEFAULT_MAIN_VOLUME;
    // colour configuration
    uint32_t mDISCONNECT_BUTTON_COLOR;
    bool mSWITCH_BUTTON_TEXT_COLOR;
    // font configuration
    bool mNEED_NIMBUS_FONT;
    bool mNEED_PER_CH_EQ_PIC;
    bool mNEED_PER_CH_SPK_PIC;
    int32_t mDEFAULT_WINDOW_WIDTH;
    int32_t mDEFAULT_WINDOW_HEIGHT;
    // tail alignment string
    char16_t mAlignStr[64];
};

// The table holds one record; the current model index is 0 for the whole run.
constexpr int kCurrentModelIndex = 0;

// Fills the current model's record. The entry point calls it once, before
// any window exists; nothing writes the record afterwards.
void FillModelCfg();

// The current model's record (read-only).
const ModelCfg& CurrentModelCfg();

// Runs the program under another model's record while it lives: tests of
// the features this model switches off use a record that switches them on.
// Make it before any thread of the program starts and let it go after the
// last one ended; the record the program reads is replaced in place, so
// references taken earlier see the replacement.
class ScopedModelCfg {
public:
    explicit ScopedModelCfg(const ModelCfg& record);
    ~ScopedModelCfg();
    ScopedModelCfg(const ScopedModelCfg&) = delete;
    ScopedModelCfg& operator=(const ScopedModelCfg&) = delete;

private:
    ModelCfg mSaved;
};

// Developer's aid: writes the current record as a source initialiser to
// "./modelCfg/<index>.txt" (comments in GBK). Reports on standard output.
void WriteModelCfgText(int modelIndex);

}  // namespace app
